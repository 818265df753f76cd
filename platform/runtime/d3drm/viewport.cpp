#include "d3drm/viewport.h"

#include "d3drm/region.h"
#include "d3drm/setting.h"

#include <limits>
#include <cmath>
#include <utility>

namespace zv::d3drm {

HRESULT Viewport::Create(Device* device, Frame* camera, const D3DRECT& rect, Viewport** created) {
    *created = nullptr;
    runtime::Com<IDirect3DViewport2> immediate;
    if (HRESULT hr = device->Direct3D()->CreateViewport(immediate.Put(), nullptr); FAILED(hr))
        return hr;
    if (!immediate)
        return D3DRMERR_BADDEVICE;
    // Drawing and clears of the Immediate Mode viewport keep to the rectangle.
    const auto width = static_cast<DWORD>(rect.x2 - rect.x1);
    const auto height = static_cast<DWORD>(rect.y2 - rect.y1);
    D3DVIEWPORT area = {};
    area.dwSize = sizeof area;
    area.dwX = static_cast<DWORD>(rect.x1);
    area.dwY = static_cast<DWORD>(rect.y1);
    area.dwWidth = width;
    area.dwHeight = height;
    area.dvScaleX = static_cast<D3DVALUE>(width) / 2;
    area.dvScaleY = static_cast<D3DVALUE>(height) / 2;
    area.dvMaxX = 1;
    area.dvMaxY = 1;
    area.dvMinZ = 0;
    area.dvMaxZ = 1;
    if (HRESULT hr = immediate->SetViewport(&area); FAILED(hr))
        return hr;
    if (HRESULT hr = device->Direct3DDevice()->AddViewport(immediate.Get()); FAILED(hr))
        return hr;
    *created = new Viewport(device, camera, rect, std::move(immediate));
    return D3DRM_OK;
}

Viewport::Viewport(Device* device, Frame* camera, const D3DRECT& rect,
                   runtime::Com<IDirect3DViewport2> immediate)
    : device_(runtime::Com<Device>::Share(device)), camera_(runtime::Com<Frame>::Share(camera)),
      immediate_(std::move(immediate)), rect_(rect) {
    device_->Attach(this);
}

Viewport::~Viewport() {
    device_->Detach(this);
    device_->Direct3DDevice()->DeleteViewport(immediate_.Get());
}

HRESULT Viewport::Clear() {
    D3DRECT whole = rect_;
    return immediate_->Clear(1, &whole, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
}

HRESULT Viewport::ForceUpdate(DWORD dwX1, DWORD dwY1, DWORD dwX2, DWORD dwY2) {
    constexpr DWORD kLimit = std::numeric_limits<LONG>::max();
    if (dwX1 > dwX2 || dwY1 > dwY2 || dwX2 > kLimit || dwY2 > kLimit)
        return D3DRMERR_BADVALUE;
    const D3DRECT area = {static_cast<LONG>(dwX1), static_cast<LONG>(dwY1), static_cast<LONG>(dwX2),
                          static_cast<LONG>(dwY2)};
    pending_ = Unite(pending_, Intersect(area, rect_));
    return D3DRM_OK;
}

HRESULT Viewport::SetBack(D3DVALUE rvBack) {
    return KeepIf(std::isfinite(rvBack) && rvBack > kFront, back_, rvBack);
}

HRESULT Viewport::GetDirect3DViewport(LPDIRECT3DVIEWPORT* lplpD3DViewport) {
    if (lplpD3DViewport == nullptr)
        return D3DRMERR_BADVALUE;
    *lplpD3DViewport = immediate_.Get();
    return D3DRM_OK;
}

D3DRECT Viewport::TakeUpdateRegion() {
    return std::exchange(pending_, D3DRECT{});
}

} // namespace zv::d3drm
