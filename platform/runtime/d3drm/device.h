// A retained-mode device over an Immediate Mode device of any
// implementation.
//
// With no retained visuals to render, Update only brings the device's view
// up to date: it takes the regions forced on its viewports and marks them
// valid.
#pragma once

#include <platform/d3drm.h>

#include "common/com_object.h"
#include "common/com_ptr.h"
#include "d3drm/live_object.h"

#include <vector>

namespace zv::d3drm {

class Viewport;

class Device final : public runtime::ComObject<IDirect3DRMDevice2>, private LiveObject {
public:
    // Keeps a reference to both.
    Device(IDirect3D2* d3d, IDirect3DDevice2* device);

    // This runtime's device behind the interface; null for null and for
    // devices of any other implementation.
    static Device* From(IDirect3DRMDevice* device);

    HRESULT STDMETHODCALLTYPE SetBufferCount(DWORD dwCount) override;
    HRESULT STDMETHODCALLTYPE SetDither(BOOL bDither) override;
    // A power of two.
    HRESULT STDMETHODCALLTYPE SetShades(DWORD dwShades) override;
    HRESULT STDMETHODCALLTYPE SetQuality(D3DRMRENDERQUALITY rqQuality) override;
    HRESULT STDMETHODCALLTYPE SetTextureQuality(D3DRMTEXTUREQUALITY tqTextureQuality) override;
    HRESULT STDMETHODCALLTYPE Update() override;

    DWORD BufferCount() const { return bufferCount_; }
    BOOL Dither() const { return dither_; }
    DWORD Shades() const { return shades_; }
    D3DRMRENDERQUALITY Quality() const { return quality_; }
    D3DRMTEXTUREQUALITY TextureQuality() const { return textureQuality_; }
    // What the last Update brought up to date, across all viewports; all
    // zeros when nothing was pending.
    D3DRECT LastUpdate() const { return lastUpdate_; }

    IDirect3D2* Direct3D() const { return d3d_.Get(); }
    IDirect3DDevice2* Direct3DDevice() const { return device_.Get(); }

    // Viewports tell their device when they come and go.
    void Attach(Viewport* viewport);
    void Detach(Viewport* viewport);

private:
    ~Device() override = default;

    runtime::Com<IDirect3D2> d3d_;
    runtime::Com<IDirect3DDevice2> device_;
    // Not owned: each viewport holds its device.
    std::vector<Viewport*> viewports_;
    DWORD bufferCount_ = 1;
    BOOL dither_ = TRUE;
    DWORD shades_ = 32;
    D3DRMRENDERQUALITY quality_ = D3DRMRENDER_FLAT;
    D3DRMTEXTUREQUALITY textureQuality_ = D3DRMTEXTURE_NEAREST;
    D3DRECT lastUpdate_ = {};
};

} // namespace zv::d3drm
