#include "direct3drm.h"

namespace zv::d3drm {

// Frames, devices and viewports are not there yet: every operation says so
// instead of pretending to succeed.

HRESULT Direct3DRM::CreateFrame(LPDIRECT3DRMFRAME, LPDIRECT3DRMFRAME2* lplpD3DRMFrame) {
    if (lplpD3DRMFrame != nullptr)
        *lplpD3DRMFrame = nullptr;
    return D3DRMERR_NOTDONEYET;
}

HRESULT Direct3DRM::CreateDeviceFromD3D(LPDIRECT3D2, LPDIRECT3DDEVICE2,
                                        LPDIRECT3DRMDEVICE2* lplpD3DRMDevice) {
    if (lplpD3DRMDevice != nullptr)
        *lplpD3DRMDevice = nullptr;
    return D3DRMERR_NOTDONEYET;
}

HRESULT Direct3DRM::CreateViewport(LPDIRECT3DRMDEVICE, LPDIRECT3DRMFRAME, DWORD, DWORD, DWORD,
                                   DWORD, LPDIRECT3DRMVIEWPORT* lplpD3DRMViewport) {
    if (lplpD3DRMViewport != nullptr)
        *lplpD3DRMViewport = nullptr;
    return D3DRMERR_NOTDONEYET;
}

HRESULT Direct3DRM::SetDefaultTextureColors(DWORD) {
    return D3DRMERR_NOTDONEYET;
}

HRESULT Direct3DRM::SetDefaultTextureShades(DWORD) {
    return D3DRMERR_NOTDONEYET;
}

} // namespace zv::d3drm
