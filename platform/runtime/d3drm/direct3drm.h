// The retained-mode object, reached as IDirect3DRM and as IDirect3DRM2: it
// makes frames, devices over an Immediate Mode device, and viewports.
#pragma once

#include <platform/d3drm.h>

#include "common/com_object.h"
#include "d3drm/live_object.h"

namespace zv::d3drm {

class Direct3DRM final : public runtime::ComObject<IDirect3DRM, IDirect3DRM2>, private LiveObject {
public:
    Direct3DRM() = default;

    // lpD3DRMFrame: the parent, which keeps a reference to the new frame;
    // null for a root frame.
    HRESULT STDMETHODCALLTYPE CreateFrame(LPDIRECT3DRMFRAME lpD3DRMFrame,
                                          LPDIRECT3DRMFRAME2* lplpD3DRMFrame) override;
    HRESULT STDMETHODCALLTYPE CreateDeviceFromD3D(LPDIRECT3D2 lpD3D, LPDIRECT3DDEVICE2 lpD3DDev,
                                                  LPDIRECT3DRMDEVICE2* lplpD3DRMDevice) override;
    HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DRMDEVICE lpDev, LPDIRECT3DRMFRAME lpCamera,
                                             DWORD dwXPos, DWORD dwYPos, DWORD dwWidth,
                                             DWORD dwHeight,
                                             LPDIRECT3DRMVIEWPORT* lplpD3DRMViewport) override;
    HRESULT STDMETHODCALLTYPE SetDefaultTextureColors(DWORD dwColors) override;
    HRESULT STDMETHODCALLTYPE SetDefaultTextureShades(DWORD dwShades) override;

    DWORD DefaultTextureColors() const { return defaultTextureColors_; }
    DWORD DefaultTextureShades() const { return defaultTextureShades_; }

private:
    ~Direct3DRM() override = default;

    DWORD defaultTextureColors_ = 8;
    DWORD defaultTextureShades_ = 16;
};

} // namespace zv::d3drm
