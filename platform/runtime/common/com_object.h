// Reference counting and QueryInterface for the runtimes' objects.
//
//   class Surface final : public ComObject<IDirectDrawSurface, IDirect3DTexture2> { ... };
//
// The object answers QueryInterface for IUnknown, for each listed interface
// and for every interface those extend, and deletes itself when the last
// reference goes. It starts with one reference, owned by its creator.
#pragma once

#include <platform/com.h>

#include <tuple>
#include <type_traits>

namespace zv::runtime {

template <class... Interfaces> class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr)
            return E_POINTER;
        void* found = IsEqualIID(riid, IID_IUnknown) ? Identity() : nullptr;
        ((found = found ? found : Find<Interfaces, Interfaces>(riid)), ...);
        *ppvObject = found;
        if (found == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    using FirstInterface = std::tuple_element_t<0, std::tuple<Interfaces...>>;

    // One IUnknown pointer per object, whichever interface it is asked from.
    IUnknown* Identity() { return static_cast<FirstInterface*>(this); }

    // Walks from Listed up its chain of extended interfaces.
    template <class Listed, class Current> void* Find(REFIID riid) {
        if constexpr (std::is_same_v<Current, IUnknown>) {
            return nullptr;
        } else {
            if (IsEqualIID(riid, ComInterface<Current>::iid))
                return static_cast<Current*>(static_cast<Listed*>(this));
            return Find<Listed, typename ComInterface<Current>::BaseInterface>(riid);
        }
    }

    ULONG references_ = 1;
};

} // namespace zv::runtime
