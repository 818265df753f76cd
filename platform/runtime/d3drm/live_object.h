// Every object of this runtime counts itself, so that releasing the last
// outside reference to a scene can be seen to free all of it.
#pragma once

namespace zv::d3drm {

class LiveObject {
public:
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;

    // Objects of this runtime that exist right now.
    static int Count() { return count_; }

protected:
    LiveObject() { ++count_; }
    ~LiveObject() { --count_; }

private:
    static inline int count_ = 0;
};

} // namespace zv::d3drm
