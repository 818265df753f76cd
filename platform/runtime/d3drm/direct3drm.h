// The retained-mode object, reached as IDirect3DRM and as IDirect3DRM2.
#pragma once

#include <platform/d3drm.h>

#include "common/com_object.h"

namespace zv::d3drm {

class Direct3DRM final : public runtime::ComObject<IDirect3DRM, IDirect3DRM2> {
public:
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
};

} // namespace zv::d3drm
