// Viewports: the part of a device's render target that drawing and clearing
// are limited to, with the material whose colour clears it.
#pragma once

#include <platform/d3d.h>

#include "common/com_object.h"

#include <zv/raster.h>

#include <optional>

namespace zv::d3d {

class Device;

class Viewport final : public runtime::ComObject<IDirect3DViewport2> {
public:
    Viewport() = default;

    // Null for viewports this module did not make.
    static Viewport* From(IUnknown* viewport);

    HRESULT STDMETHODCALLTYPE SetBackground(D3DMATERIALHANDLE hMat) override;
    HRESULT STDMETHODCALLTYPE GetBackground(LPD3DMATERIALHANDLE lphMat, LPBOOL lpValid) override;
    // D3DCLEAR_TARGET fills with the background material's diffuse colour
    // (black without one), D3DCLEAR_ZBUFFER sets the depth to 1.0; both only
    // where the rectangles overlap the viewport.
    HRESULT STDMETHODCALLTYPE Clear(DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags) override;
    HRESULT STDMETHODCALLTYPE GetViewport(LPD3DVIEWPORT lpData) override;
    HRESULT STDMETHODCALLTYPE SetViewport(LPD3DVIEWPORT lpData) override;

    // The device it was added to, or null. Set and cleared by that device,
    // which holds a reference to the viewport meanwhile.
    Device* Owner() const { return device_; }
    void SetOwner(Device* device) { device_ = device; }

    // Where it lies on its device's render target; the whole target until
    // SetViewport gives it a place.
    raster::Rect Area() const;

private:
    ~Viewport() override = default;

    Device* device_ = nullptr;
    std::optional<D3DVIEWPORT> data_;
    D3DMATERIALHANDLE background_ = 0;
};

} // namespace zv::d3d
