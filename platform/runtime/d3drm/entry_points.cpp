// The exported entry points of the "d3drm.dll" module.
#include "d3drm/direct3drm.h"

#include <cmath>
#include <new>

namespace {

// 0.0 to 1.0 onto 0 to 255, rounded; out-of-range values are clamped and NaN
// counts as 0.
BYTE ToChannel(D3DVALUE value) {
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return static_cast<BYTE>(std::lround(value * 255.0f));
}

D3DVALUE FromChannel(BYTE channel) {
    return static_cast<D3DVALUE>(channel) / 255.0f;
}

} // namespace

extern "C" HRESULT WINAPI Direct3DRMCreate(LPDIRECT3DRM* lplpDirect3DRM) {
    if (lplpDirect3DRM == nullptr)
        return D3DRMERR_BADVALUE;
    auto* retainedMode = new (std::nothrow) zv::d3drm::Direct3DRM;
    *lplpDirect3DRM = retainedMode;
    return retainedMode != nullptr ? D3DRM_OK : D3DRMERR_BADALLOC;
}

extern "C" D3DCOLOR WINAPI D3DRMCreateColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    return RGB_MAKE(ToChannel(red), ToChannel(green), ToChannel(blue));
}

extern "C" D3DVALUE WINAPI D3DRMColorGetRed(D3DCOLOR color) {
    return FromChannel(RGBA_GETRED(color));
}

extern "C" D3DVALUE WINAPI D3DRMColorGetGreen(D3DCOLOR color) {
    return FromChannel(RGBA_GETGREEN(color));
}

extern "C" D3DVALUE WINAPI D3DRMColorGetBlue(D3DCOLOR color) {
    return FromChannel(RGBA_GETBLUE(color));
}
