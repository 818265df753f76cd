// IDirect3DDevice2 over the software rasteriser: transformed-and-lit
// triangles into a DDSCAPS_3DDEVICE surface, with the Z buffer attached to it.
//
// The surfaces' memory is looked up afresh for every draw and clear, so a
// surface restored after a loss is drawn into where its memory now is.
#pragma once

#include <platform/d3d.h>

#include "common/com_object.h"
#include "common/com_ptr.h"
#include "d3d/formats.h"
#include "d3d/software_devices.h"
#include "ddraw/surface.h"

#include <zv/raster.h>

#include <array>
#include <vector>

namespace zv::d3d {

class Viewport;

class Device final : public runtime::ComObject<IDirect3DDevice2> {
public:
    // D3D_OK and the device rendering into the surface, or why there is none.
    static HRESULT Create(const SoftwareDevice& kind, IDirectDrawSurface* target,
                          LPDIRECT3DDEVICE2* created);

    // Null for devices this module did not make.
    static Device* From(IUnknown* device);

    HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC lpD3DHWDevDesc,
                                      LPD3DDEVICEDESC lpD3DHELDevDesc) override;
    HRESULT STDMETHODCALLTYPE AddViewport(LPDIRECT3DVIEWPORT2 lpDirect3DViewport2) override;
    HRESULT STDMETHODCALLTYPE DeleteViewport(LPDIRECT3DVIEWPORT2 lpDirect3DViewport2) override;
    HRESULT STDMETHODCALLTYPE EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK lpD3DEnumTextureProc,
                                                 LPVOID lpArg) override;
    HRESULT STDMETHODCALLTYPE BeginScene() override;
    HRESULT STDMETHODCALLTYPE EndScene() override;
    HRESULT STDMETHODCALLTYPE SetCurrentViewport(LPDIRECT3DVIEWPORT2 lpd3dViewport2) override;
    HRESULT STDMETHODCALLTYPE GetCurrentViewport(LPDIRECT3DVIEWPORT2* lplpd3dViewport2) override;
    HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE dwRenderStateType,
                                             LPDWORD lpdwRenderState) override;
    HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE dwRenderStateType,
                                             DWORD dwRenderState) override;
    HRESULT STDMETHODCALLTYPE GetLightState(D3DLIGHTSTATETYPE dwLightStateType,
                                            LPDWORD lpdwLightState) override;
    HRESULT STDMETHODCALLTYPE SetLightState(D3DLIGHTSTATETYPE dwLightStateType,
                                            DWORD dwLightState) override;
    HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE d3dptPrimitiveType,
                                            D3DVERTEXTYPE d3dvtVertexType, LPVOID lpvVertices,
                                            DWORD dwVertexCount, DWORD dwFlags) override;

    raster::Rect TargetBounds() const;
    // Clears the parts of the rectangles inside the area (the viewport's).
    HRESULT Clear(const raster::Rect& area, const D3DRECT* rects, DWORD count, DWORD flags,
                  D3DCOLOR colour);

private:
    Device(const SoftwareDevice& kind, ddraw::Surface& target, raster::PixelFormat targetFormat,
           ddraw::Surface* depth, raster::PixelFormat depthFormat);
    ~Device() override;

    // Points the rasteriser at the surfaces' memory as it is now.
    HRESULT BindSurfaces();
    // Points the rasteriser at the current texture's memory, or at none.
    HRESULT BindTexture();
    void SelectTexture(D3DTEXTUREHANDLE handle, ddraw::Surface* surface);

    const SoftwareDevice& kind_;
    // Keeps the target, and so its Z buffer, alive.
    runtime::Com<IDirectDrawSurface> targetReference_;
    ddraw::Surface& target_;
    raster::PixelFormat targetFormat_;
    ddraw::Surface* depth_;
    raster::PixelFormat depthFormat_;
    // What the rasteriser starts with; every use binds the surfaces afresh.
    raster::Surface initialDepth_;
    raster::Device raster_;
    PaletteMirror targetPalette_;
    PaletteMirror texturePalette_;
    // What the rasteriser was last pointed at: most draws need no new
    // binding.
    const std::byte* boundTarget_ = nullptr;
    const std::byte* boundDepth_ = nullptr;
    const raster::Palette* boundTargetPalette_ = nullptr;
    raster::Rect boundViewport_ = {};
    D3DTEXTUREHANDLE textureHandle_ = 0;
    // The handle's surface, kept alive by the handle registry for as long as
    // its generation stays the same.
    ddraw::Surface* textureSurface_ = nullptr;
    raster::PixelFormat textureFormat_ = raster::PixelFormat::Pal8;
    unsigned textureGeneration_ = 0;
    raster::Texture texture_;
    std::vector<runtime::Com<IDirect3DViewport2>> viewports_;
    Viewport* current_ = nullptr;
    bool inScene_ = false;
    std::array<DWORD, D3DLIGHTSTATE_FOGDENSITY + 1> lightStates_ = {};
    // The mono colour model's copy of the vertices, kept between draws.
    std::vector<raster::TLVertex> monoVertices_;
};

} // namespace zv::d3d
