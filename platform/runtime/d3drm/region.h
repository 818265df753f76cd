// Rectangles of device pixels, right and bottom exclusive.
#pragma once

#include <platform/d3dtypes.h>

#include <algorithm>

namespace zv::d3drm {

inline bool IsEmpty(const D3DRECT& r) {
    return r.x1 >= r.x2 || r.y1 >= r.y2;
}

// The smallest rectangle holding both; an empty one adds nothing.
inline D3DRECT Unite(const D3DRECT& a, const D3DRECT& b) {
    if (IsEmpty(a))
        return b;
    if (IsEmpty(b))
        return a;
    return {std::min(a.x1, b.x1), std::min(a.y1, b.y1), std::max(a.x2, b.x2), std::max(a.y2, b.y2)};
}

inline D3DRECT Intersect(const D3DRECT& a, const D3DRECT& b) {
    D3DRECT r = {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2),
                 std::min(a.y2, b.y2)};
    return IsEmpty(r) ? D3DRECT{} : r;
}

} // namespace zv::d3drm
