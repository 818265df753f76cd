#include "d3drm/device.h"

#include "d3drm/region.h"
#include "d3drm/setting.h"
#include "d3drm/viewport.h"

#include <bit>

namespace zv::d3drm {

namespace {

bool IsRenderQuality(D3DRMRENDERQUALITY quality) {
    const DWORD shade = quality & D3DRMSHADE_MASK;
    const DWORD light = quality & D3DRMLIGHT_MASK;
    const DWORD fill = quality & D3DRMFILL_MASK;
    const DWORD known = D3DRMSHADE_MASK | D3DRMLIGHT_MASK | D3DRMFILL_MASK;
    return (quality & ~known) == 0 && shade <= D3DRMSHADE_PHONG &&
           (light == D3DRMLIGHT_OFF || light == D3DRMLIGHT_ON) &&
           (fill == D3DRMFILL_POINTS || fill == D3DRMFILL_WIREFRAME || fill == D3DRMFILL_SOLID);
}

} // namespace

Device::Device(IDirect3D2* d3d, IDirect3DDevice2* device)
    : d3d_(runtime::Com<IDirect3D2>::Share(d3d)),
      device_(runtime::Com<IDirect3DDevice2>::Share(device)) {}

Device* Device::From(IDirect3DRMDevice* device) {
    return dynamic_cast<Device*>(device);
}

HRESULT Device::SetBufferCount(DWORD dwCount) {
    return KeepIf(dwCount != 0, bufferCount_, dwCount);
}

HRESULT Device::SetDither(BOOL bDither) {
    dither_ = bDither ? TRUE : FALSE;
    return D3DRM_OK;
}

HRESULT Device::SetShades(DWORD dwShades) {
    return KeepIf(std::has_single_bit(dwShades), shades_, dwShades);
}

HRESULT Device::SetQuality(D3DRMRENDERQUALITY rqQuality) {
    return KeepIf(IsRenderQuality(rqQuality), quality_, rqQuality);
}

HRESULT Device::SetTextureQuality(D3DRMTEXTUREQUALITY tqTextureQuality) {
    return KeepIf(tqTextureQuality <= D3DRMTEXTURE_LINEARMIPLINEAR, textureQuality_,
                  tqTextureQuality);
}

HRESULT Device::Update() {
    D3DRECT updated = {};
    for (Viewport* viewport : viewports_)
        updated = Unite(updated, viewport->TakeUpdateRegion());
    lastUpdate_ = updated;
    return D3DRM_OK;
}

void Device::Attach(Viewport* viewport) {
    viewports_.push_back(viewport);
}

void Device::Detach(Viewport* viewport) {
    std::erase(viewports_, viewport);
}

} // namespace zv::d3drm
