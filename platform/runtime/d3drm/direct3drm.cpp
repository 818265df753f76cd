#include "d3drm/direct3drm.h"

#include "d3drm/device.h"
#include "d3drm/frame.h"
#include "d3drm/setting.h"
#include "d3drm/viewport.h"

#include <cstdint>
#include <limits>

namespace zv::d3drm {

namespace {

// Out-parameters are cleared first, so a failed call never leaves a stale
// pointer behind.
template <class Interface> bool Clear(Interface** out) {
    if (out == nullptr)
        return false;
    *out = nullptr;
    return true;
}

} // namespace

HRESULT Direct3DRM::CreateFrame(LPDIRECT3DRMFRAME lpD3DRMFrame,
                                LPDIRECT3DRMFRAME2* lplpD3DRMFrame) {
    if (!Clear(lplpD3DRMFrame))
        return D3DRMERR_BADVALUE;
    Frame* parent = Frame::From(lpD3DRMFrame);
    if (lpD3DRMFrame != nullptr && parent == nullptr)
        return D3DRMERR_BADOBJECT;
    *lplpD3DRMFrame = Frame::Create(parent);
    return D3DRM_OK;
}

HRESULT Direct3DRM::CreateDeviceFromD3D(LPDIRECT3D2 lpD3D, LPDIRECT3DDEVICE2 lpD3DDev,
                                        LPDIRECT3DRMDEVICE2* lplpD3DRMDevice) {
    if (!Clear(lplpD3DRMDevice))
        return D3DRMERR_BADVALUE;
    if (lpD3D == nullptr || lpD3DDev == nullptr)
        return D3DRMERR_BADOBJECT;
    *lplpD3DRMDevice = new Device(lpD3D, lpD3DDev);
    return D3DRM_OK;
}

HRESULT Direct3DRM::CreateViewport(LPDIRECT3DRMDEVICE lpDev, LPDIRECT3DRMFRAME lpCamera,
                                   DWORD dwXPos, DWORD dwYPos, DWORD dwWidth, DWORD dwHeight,
                                   LPDIRECT3DRMVIEWPORT* lplpD3DRMViewport) {
    if (!Clear(lplpD3DRMViewport))
        return D3DRMERR_BADVALUE;
    Device* device = Device::From(lpDev);
    Frame* camera = Frame::From(lpCamera);
    if (device == nullptr || camera == nullptr)
        return D3DRMERR_BADOBJECT;
    // The rectangle's far corner must be a device coordinate too.
    constexpr std::uint64_t kLimit = std::numeric_limits<LONG>::max();
    if (dwWidth == 0 || dwHeight == 0 || std::uint64_t{dwXPos} + dwWidth > kLimit ||
        std::uint64_t{dwYPos} + dwHeight > kLimit)
        return D3DRMERR_BADVALUE;
    const D3DRECT rect = {static_cast<LONG>(dwXPos), static_cast<LONG>(dwYPos),
                          static_cast<LONG>(dwXPos + dwWidth),
                          static_cast<LONG>(dwYPos + dwHeight)};
    Viewport* viewport = nullptr;
    HRESULT hr = Viewport::Create(device, camera, rect, &viewport);
    *lplpD3DRMViewport = viewport;
    return hr;
}

HRESULT Direct3DRM::SetDefaultTextureColors(DWORD dwColors) {
    return KeepIf(dwColors != 0, defaultTextureColors_, dwColors);
}

HRESULT Direct3DRM::SetDefaultTextureShades(DWORD dwShades) {
    return KeepIf(dwShades != 0, defaultTextureShades_, dwShades);
}

} // namespace zv::d3drm
