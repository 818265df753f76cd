#include "d3d/viewport.h"

#include "d3d/device.h"
#include "d3d/handles.h"
#include "d3d/material.h"

#include <cstdint>

namespace zv::d3d {

namespace {

constexpr DWORD kClearFlags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;
constexpr D3DCOLOR kBlack = RGBA_MAKE(0, 0, 0, 255);

} // namespace

Viewport* Viewport::From(IUnknown* viewport) {
    return dynamic_cast<Viewport*>(viewport);
}

HRESULT Viewport::SetBackground(D3DMATERIALHANDLE hMat) {
    // Without a device the handle cannot be checked yet; Clear looks it up.
    if (hMat != 0 && device_ != nullptr && FindMaterial(hMat, *device_) == nullptr)
        return DDERR_INVALIDPARAMS;
    background_ = hMat;
    return D3D_OK;
}

HRESULT Viewport::GetBackground(LPD3DMATERIALHANDLE lphMat, LPBOOL lpValid) {
    if (lphMat == nullptr)
        return DDERR_INVALIDPARAMS;
    *lphMat = background_;
    if (lpValid != nullptr)
        *lpValid = background_ != 0 ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Viewport::Clear(DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags) {
    if ((dwFlags & ~kClearFlags) != 0 || (dwCount != 0 && lpRects == nullptr))
        return DDERR_INVALIDPARAMS;
    if (device_ == nullptr)
        return D3DERR_VIEWPORTHASNODEVICE;
    const Material* background = FindMaterial(background_, *device_);
    const D3DCOLOR colour = background != nullptr ? DiffuseColour(background->Description()) : kBlack;
    return device_->Clear(Area(), lpRects, dwCount, dwFlags, colour);
}

HRESULT Viewport::GetViewport(LPD3DVIEWPORT lpData) {
    if (lpData == nullptr || lpData->dwSize != sizeof(D3DVIEWPORT))
        return DDERR_INVALIDPARAMS;
    if (!data_)
        return D3DERR_VIEWPORTDATANOTSET;
    *lpData = *data_;
    return D3D_OK;
}

HRESULT Viewport::SetViewport(LPD3DVIEWPORT lpData) {
    if (lpData == nullptr || lpData->dwSize != sizeof(D3DVIEWPORT) || lpData->dwWidth == 0 ||
        lpData->dwHeight == 0)
        return DDERR_INVALIDPARAMS;
    // The far edges must stay representable as pixel coordinates.
    constexpr uint64_t kLimit = INT32_MAX;
    if (uint64_t{lpData->dwX} + lpData->dwWidth > kLimit ||
        uint64_t{lpData->dwY} + lpData->dwHeight > kLimit)
        return DDERR_INVALIDPARAMS;
    data_ = *lpData;
    return D3D_OK;
}

raster::Rect Viewport::Area() const {
    if (!data_)
        return device_ != nullptr ? device_->TargetBounds() : raster::Rect{};
    const auto x = static_cast<int32_t>(data_->dwX), y = static_cast<int32_t>(data_->dwY);
    return {x, y, x + static_cast<int32_t>(data_->dwWidth), y + static_cast<int32_t>(data_->dwHeight)};
}

} // namespace zv::d3d
