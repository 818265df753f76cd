// An owning interface pointer for the runtimes' own bookkeeping.
#pragma once

#include <platform/com.h>

#include <cstddef>
#include <utility>

namespace zv::runtime {

template <class Interface> class Com {
public:
    Com() = default;
    Com(std::nullptr_t) {}

    // Takes over a reference the caller owns.
    static Com Adopt(Interface* pointer) {
        Com com;
        com.pointer_ = pointer;
        return com;
    }

    // Adds a reference of its own.
    static Com Share(Interface* pointer) {
        if (pointer != nullptr)
            pointer->AddRef();
        return Adopt(pointer);
    }

    Com(const Com& other) : pointer_(other.pointer_) {
        if (pointer_ != nullptr)
            pointer_->AddRef();
    }
    Com(Com&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    Com& operator=(Com other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~Com() { Reset(); }

    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // Drops the current reference and hands out the slot for an out-parameter.
    Interface** Put() {
        Reset();
        return &pointer_;
    }

    // Gives the reference to the caller.
    Interface* Detach() { return std::exchange(pointer_, nullptr); }

    void Reset() {
        if (Interface* old = std::exchange(pointer_, nullptr))
            old->Release();
    }

    // The same object through another of its interfaces; empty when it has
    // no such interface.
    template <class Other> Com<Other> As() const {
        Com<Other> other;
        if (pointer_ != nullptr)
            pointer_->QueryInterface(ComInterface<Other>::iid,
                                     reinterpret_cast<void**>(other.Put()));
        return other;
    }

private:
    Interface* pointer_ = nullptr;
};

} // namespace zv::runtime
