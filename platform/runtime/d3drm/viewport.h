// A retained-mode viewport: a rectangle of a device seen from a camera
// frame, over an Immediate Mode viewport that it creates on the device's
// Direct3D object and adds to the Immediate Mode device.
//
// GetDirect3DViewport lends that Immediate Mode viewport without adding a
// reference: the retained viewport keeps the one it owns, and a caller that
// wants to keep the interface longer takes a reference of its own.
#pragma once

#include <platform/d3drm.h>

#include "common/com_object.h"
#include "common/com_ptr.h"
#include "d3drm/device.h"
#include "d3drm/frame.h"
#include "d3drm/live_object.h"

namespace zv::d3drm {

class Viewport final : public runtime::ComObject<IDirect3DRMViewport>, private LiveObject {
public:
    // The front clipping plane stays here; the back one must lie beyond it.
    static constexpr D3DVALUE kFront = 1.0f;
    static constexpr D3DVALUE kDefaultBack = 100.0f;

    // rect is in device pixels and not empty. Keeps references to the
    // device and the camera. A failure of the Immediate Mode runtime comes
    // back as its own result.
    static HRESULT Create(Device* device, Frame* camera, const D3DRECT& rect, Viewport** created);

    // Fills the rectangle with the Immediate Mode viewport's background
    // material and resets its depth.
    HRESULT STDMETHODCALLTYPE Clear() override;
    // Adds the area, clipped to the viewport, to what the device's next
    // Update brings up to date.
    HRESULT STDMETHODCALLTYPE ForceUpdate(DWORD dwX1, DWORD dwY1, DWORD dwX2, DWORD dwY2) override;
    // Beyond the front plane.
    HRESULT STDMETHODCALLTYPE SetBack(D3DVALUE rvBack) override;
    D3DVALUE STDMETHODCALLTYPE GetBack() override { return back_; }
    HRESULT STDMETHODCALLTYPE GetDirect3DViewport(LPDIRECT3DVIEWPORT* lplpD3DViewport) override;

    const D3DRECT& Rect() const { return rect_; }
    Frame* Camera() const { return camera_.Get(); }
    // The area forced since the last call, which is then forgotten.
    D3DRECT TakeUpdateRegion();

private:
    Viewport(Device* device, Frame* camera, const D3DRECT& rect,
             runtime::Com<IDirect3DViewport2> immediate);
    ~Viewport() override;

    runtime::Com<Device> device_;
    runtime::Com<Frame> camera_;
    runtime::Com<IDirect3DViewport2> immediate_;
    D3DRECT rect_;
    D3DVALUE back_ = kDefaultBack;
    D3DRECT pending_ = {};
};

} // namespace zv::d3drm
