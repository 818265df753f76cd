#include "d3d/device.h"

#include "d3d/handles.h"
#include "d3d/viewport.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace zv::d3d {

namespace {

static_assert(sizeof(raster::TLVertex) == sizeof(D3DTLVERTEX));
static_assert(offsetof(raster::TLVertex, color) == offsetof(D3DTLVERTEX, color));
static_assert(offsetof(raster::TLVertex, tu) == offsetof(D3DTLVERTEX, tu));

// The values D3D5 defines for the states that take one of a list.
struct StateRange {
    D3DRENDERSTATETYPE state;
    DWORD low;
    DWORD high;
};

constexpr StateRange kStateRanges[] = {
    {D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_WRAP, D3DTADDRESS_BORDER},
    {D3DRENDERSTATE_TEXTUREADDRESSU, D3DTADDRESS_WRAP, D3DTADDRESS_BORDER},
    {D3DRENDERSTATE_TEXTUREADDRESSV, D3DTADDRESS_WRAP, D3DTADDRESS_BORDER},
    {D3DRENDERSTATE_FILLMODE, D3DFILL_POINT, D3DFILL_SOLID},
    {D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT, D3DSHADE_PHONG},
    {D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_NEAREST, D3DFILTER_LINEARMIPLINEAR},
    {D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_NEAREST, D3DFILTER_LINEARMIPLINEAR},
    {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO, D3DBLEND_BOTHINVSRCALPHA},
    {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO, D3DBLEND_BOTHINVSRCALPHA},
    {D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL, D3DTBLEND_ADD},
    {D3DRENDERSTATE_CULLMODE, D3DCULL_NONE, D3DCULL_CCW},
    {D3DRENDERSTATE_ZFUNC, D3DCMP_NEVER, D3DCMP_ALWAYS},
    {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_NEVER, D3DCMP_ALWAYS},
};

bool KnownRenderState(DWORD state) {
    return state >= D3DRENDERSTATE_TEXTUREHANDLE && state < raster::kRenderStateCount;
}

bool ValidValue(D3DRENDERSTATETYPE state, DWORD value) {
    for (const StateRange& range : kStateRanges)
        if (range.state == state)
            return value >= range.low && value <= range.high;
    return true;
}

bool KnownLightState(DWORD state) {
    return state >= D3DLIGHTSTATE_MATERIAL && state <= D3DLIGHTSTATE_FOGDENSITY;
}

// The attached Z buffer and its format: D3D_OK with none, or an error for one
// the rasteriser cannot use.
HRESULT FindDepth(const ddraw::Surface& target, ddraw::Surface*& depth,
                  raster::PixelFormat& format) {
    depth = target.ZBuffer();
    if (depth == nullptr)
        return D3D_OK;
    auto known = RasterFormat(depth->Format());
    if (!known || !IsDepthFormat(*known)) {
        depth = nullptr;
        return DDERR_INVALIDPIXELFORMAT;
    }
    format = *known;
    return D3D_OK;
}

raster::Rect Intersect(const raster::Rect& area, const D3DRECT& r) {
    return {std::max<int32_t>(area.left, r.x1), std::max<int32_t>(area.top, r.y1),
            std::min<int32_t>(area.right, r.x2), std::min<int32_t>(area.bottom, r.y2)};
}

bool Empty(const raster::Rect& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

// In the mono colour model a colour is an intensity, carried in blue.
uint32_t MonoColour(uint32_t colour) {
    return (colour & 0xFF000000u) | (colour & 0xFFu) * 0x010101u;
}

} // namespace

HRESULT Device::Create(const SoftwareDevice& kind, IDirectDrawSurface* target,
                       LPDIRECT3DDEVICE2* created) {
    *created = nullptr;
    ddraw::Surface* surface = ddraw::Surface::From(target);
    if (surface == nullptr)
        return DDERR_INVALIDPARAMS;
    if ((surface->Caps() & DDSCAPS_3DDEVICE) == 0)
        return DDERR_INVALIDCAPS;
    auto format = RasterFormat(surface->Format());
    if (!format || !IsRenderTargetFormat(*format))
        return DDERR_INVALIDPIXELFORMAT;
    if (surface->Lost())
        return DDERR_SURFACELOST;
    ddraw::Surface* depth = nullptr;
    raster::PixelFormat depthFormat = raster::PixelFormat::Z16;
    if (HRESULT hr = FindDepth(*surface, depth, depthFormat); FAILED(hr))
        return hr;
    auto* device = new (std::nothrow) Device(kind, *surface, *format, depth, depthFormat);
    if (device == nullptr)
        return DDERR_OUTOFMEMORY;
    *created = device;
    return D3D_OK;
}

Device::Device(const SoftwareDevice& kind, ddraw::Surface& target,
               raster::PixelFormat targetFormat, ddraw::Surface* depth,
               raster::PixelFormat depthFormat)
    : kind_(kind), targetReference_(runtime::Com<IDirectDrawSurface>::Share(&target)),
      target_(target), targetFormat_(targetFormat), depth_(depth), depthFormat_(depthFormat),
      initialDepth_(depth != nullptr ? RasterSurface(*depth, depthFormat) : raster::Surface{}),
      // A depth buffer given here starts Z testing on, as an attached Z
      // buffer does.
      raster_(kind.Backend(), RasterSurface(target, targetFormat), nullptr,
              depth != nullptr ? &initialDepth_ : nullptr) {
    lightStates_[D3DLIGHTSTATE_COLORMODEL] = kind.colorModel;
}

Device::~Device() {
    ForgetDevice(*this);
    for (auto& viewport : viewports_)
        Viewport::From(viewport.Get())->SetOwner(nullptr);
}

Device* Device::From(IUnknown* device) {
    return dynamic_cast<Device*>(device);
}

raster::Rect Device::TargetBounds() const {
    return {0, 0, target_.Width(), target_.Height()};
}

HRESULT Device::BindSurfaces() {
    const std::byte* pixels = target_.Pixels();
    if (pixels == nullptr)
        return DDERR_SURFACELOST;
    // A Z buffer can be attached after the device was made, never removed.
    if (depth_ == nullptr)
        if (HRESULT hr = FindDepth(target_, depth_, depthFormat_); FAILED(hr))
            return hr;
    const std::byte* depthPixels = depth_ != nullptr ? depth_->Pixels() : nullptr;
    if (depth_ != nullptr && depthPixels == nullptr)
        return DDERR_SURFACELOST;
    raster::Palette* palette = nullptr;
    if (targetFormat_ == raster::PixelFormat::Pal8) {
        palette = targetPalette_.Sync(target_.AttachedPalette());
        if (palette == nullptr)
            return DDERR_NOPALETTEATTACHED;
    }
    // A restored surface has new memory.
    if (pixels != boundTarget_ || depthPixels != boundDepth_ || palette != boundTargetPalette_) {
        raster_.set_render_target(RasterSurface(target_, targetFormat_), palette);
        if (depth_ != nullptr) {
            const raster::Surface depth = RasterSurface(*depth_, depthFormat_);
            raster_.set_depth_buffer(&depth);
        }
        boundTarget_ = pixels;
        boundDepth_ = depthPixels;
        boundTargetPalette_ = palette;
        // A new target resets the rasteriser's viewport to the whole target.
        boundViewport_ = TargetBounds();
    }
    return D3D_OK;
}

void Device::SelectTexture(D3DTEXTUREHANDLE handle, ddraw::Surface* surface) {
    textureHandle_ = handle;
    textureSurface_ = surface;
    textureGeneration_ = TexturesGeneration();
    // Handles are only given to surfaces in a format the rasteriser samples,
    // and a surface keeps its format.
    if (surface != nullptr)
        textureFormat_ = *RasterFormat(surface->Format());
}

HRESULT Device::BindTexture() {
    if (textureGeneration_ != TexturesGeneration())
        SelectTexture(textureHandle_, FindTexture(textureHandle_, *this));
    if (textureSurface_ == nullptr) {
        raster_.set_texture(nullptr);
        return D3D_OK;
    }
    if (textureSurface_->Pixels() == nullptr)
        return DDERR_SURFACELOST;
    texture_.surface = RasterSurface(*textureSurface_, textureFormat_);
    // A palettised texture without a palette has no colours: it is left out
    // and the vertices' own colours show.
    texture_.palette = textureFormat_ == raster::PixelFormat::Pal8
                           ? texturePalette_.Sync(textureSurface_->AttachedPalette())
                           : nullptr;
    raster_.set_texture(&texture_);
    return D3D_OK;
}

HRESULT Device::GetCaps(LPD3DDEVICEDESC lpD3DHWDevDesc, LPD3DDEVICEDESC lpD3DHELDevDesc) {
    if (lpD3DHWDevDesc == nullptr || lpD3DHELDevDesc == nullptr ||
        lpD3DHWDevDesc->dwSize != sizeof(D3DDEVICEDESC) ||
        lpD3DHELDevDesc->dwSize != sizeof(D3DDEVICEDESC))
        return DDERR_INVALIDPARAMS;
    *lpD3DHWDevDesc = NoCapabilities();
    *lpD3DHELDevDesc = kind_.Capabilities();
    return D3D_OK;
}

HRESULT Device::AddViewport(LPDIRECT3DVIEWPORT2 lpDirect3DViewport2) {
    Viewport* viewport = Viewport::From(lpDirect3DViewport2);
    if (viewport == nullptr || viewport->Owner() != nullptr)
        return DDERR_INVALIDPARAMS;
    viewports_.push_back(runtime::Com<IDirect3DViewport2>::Share(viewport));
    viewport->SetOwner(this);
    return D3D_OK;
}

HRESULT Device::DeleteViewport(LPDIRECT3DVIEWPORT2 lpDirect3DViewport2) {
    Viewport* viewport = Viewport::From(lpDirect3DViewport2);
    if (viewport == nullptr || viewport->Owner() != this)
        return DDERR_INVALIDPARAMS;
    if (current_ == viewport)
        current_ = nullptr;
    viewport->SetOwner(nullptr);
    std::erase_if(viewports_, [viewport](const runtime::Com<IDirect3DViewport2>& held) {
        return held.Get() == viewport;
    });
    return D3D_OK;
}

HRESULT Device::EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK lpD3DEnumTextureProc,
                                   LPVOID lpArg) {
    if (lpD3DEnumTextureProc == nullptr)
        return DDERR_INVALIDPARAMS;
    for (const DDPIXELFORMAT& format : TextureFormats()) {
        DDSURFACEDESC desc = {};
        desc.dwSize = DDSURFACEDESC_SIZE;
        desc.dwFlags = DDSD_CAPS | DDSD_PIXELFORMAT;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        desc.ddpfPixelFormat = format;
        if (lpD3DEnumTextureProc(&desc, lpArg) == D3DENUMRET_CANCEL)
            break;
    }
    return D3D_OK;
}

HRESULT Device::BeginScene() {
    if (inScene_)
        return D3DERR_SCENE_IN_SCENE;
    // Textures released since the last scene stop being drawn from here on.
    SweepTextures();
    inScene_ = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!inScene_)
        return D3DERR_SCENE_NOT_IN_SCENE;
    inScene_ = false;
    return D3D_OK;
}

HRESULT Device::SetCurrentViewport(LPDIRECT3DVIEWPORT2 lpd3dViewport2) {
    Viewport* viewport = Viewport::From(lpd3dViewport2);
    if (viewport == nullptr || viewport->Owner() != this)
        return DDERR_INVALIDPARAMS;
    current_ = viewport;
    return D3D_OK;
}

HRESULT Device::GetCurrentViewport(LPDIRECT3DVIEWPORT2* lplpd3dViewport2) {
    if (lplpd3dViewport2 == nullptr)
        return DDERR_INVALIDPARAMS;
    *lplpd3dViewport2 = current_;
    if (current_ == nullptr)
        return D3DERR_NOCURRENTVIEWPORT;
    current_->AddRef();
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE dwRenderStateType, LPDWORD lpdwRenderState) {
    if (lpdwRenderState == nullptr || !KnownRenderState(dwRenderStateType))
        return DDERR_INVALIDPARAMS;
    *lpdwRenderState = dwRenderStateType == D3DRENDERSTATE_TEXTUREHANDLE
                           ? textureHandle_
                           : raster_.render_state(dwRenderStateType);
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE dwRenderStateType, DWORD dwRenderState) {
    if (!KnownRenderState(dwRenderStateType) || !ValidValue(dwRenderStateType, dwRenderState))
        return DDERR_INVALIDPARAMS;
    if (dwRenderStateType == D3DRENDERSTATE_TEXTUREHANDLE) {
        SweepTextures();
        ddraw::Surface* surface = FindTexture(dwRenderState, *this);
        if (dwRenderState != 0 && surface == nullptr)
            return DDERR_INVALIDPARAMS;
        SelectTexture(dwRenderState, surface);
        return D3D_OK;
    }
    raster_.set_render_state(dwRenderStateType, dwRenderState);
    return D3D_OK;
}

HRESULT Device::GetLightState(D3DLIGHTSTATETYPE dwLightStateType, LPDWORD lpdwLightState) {
    if (lpdwLightState == nullptr || !KnownLightState(dwLightStateType))
        return DDERR_INVALIDPARAMS;
    *lpdwLightState = lightStates_[dwLightStateType];
    return D3D_OK;
}

HRESULT Device::SetLightState(D3DLIGHTSTATETYPE dwLightStateType, DWORD dwLightState) {
    if (!KnownLightState(dwLightStateType))
        return DDERR_INVALIDPARAMS;
    // Transformed-and-lit vertices carry their own colours: the material only
    // matters to vertices this device does not draw, so it is only recorded.
    if (dwLightStateType == D3DLIGHTSTATE_MATERIAL && dwLightState != 0 &&
        FindMaterial(dwLightState, *this) == nullptr)
        return DDERR_INVALIDPARAMS;
    if (dwLightStateType == D3DLIGHTSTATE_COLORMODEL && dwLightState != kind_.colorModel)
        return DDERR_INVALIDPARAMS;
    lightStates_[dwLightStateType] = dwLightState;
    return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE d3dptPrimitiveType, D3DVERTEXTYPE d3dvtVertexType,
                              LPVOID lpvVertices, DWORD dwVertexCount, DWORD) {
    if (lpvVertices == nullptr)
        return DDERR_INVALIDPARAMS;
    if (!inScene_)
        return D3DERR_SCENE_NOT_IN_SCENE;
    if (d3dvtVertexType != D3DVT_TLVERTEX)
        return D3DERR_INVALIDVERTEXTYPE;
    if (d3dptPrimitiveType != D3DPT_TRIANGLELIST && d3dptPrimitiveType != D3DPT_TRIANGLESTRIP &&
        d3dptPrimitiveType != D3DPT_TRIANGLEFAN)
        return D3DERR_INVALIDPRIMITIVETYPE;
    if (current_ == nullptr)
        return D3DERR_NOCURRENTVIEWPORT;
    if (dwVertexCount < 3)
        return D3D_OK;
    if (HRESULT hr = BindSurfaces(); FAILED(hr))
        return hr;
    if (HRESULT hr = BindTexture(); FAILED(hr))
        return hr;
    const raster::Rect area = current_->Area();
    if (area.left != boundViewport_.left || area.top != boundViewport_.top ||
        area.right != boundViewport_.right || area.bottom != boundViewport_.bottom) {
        raster_.set_viewport(area);
        boundViewport_ = area;
    }

    const auto* vertices = static_cast<const raster::TLVertex*>(lpvVertices);
    if (kind_.colorModel == D3DCOLOR_MONO) {
        monoVertices_.assign(vertices, vertices + dwVertexCount);
        for (raster::TLVertex& v : monoVertices_)
            v.color = MonoColour(v.color);
        vertices = monoVertices_.data();
    }
    raster_.draw(d3dptPrimitiveType, vertices, dwVertexCount);
    return D3D_OK;
}

HRESULT Device::Clear(const raster::Rect& area, const D3DRECT* rects, DWORD count, DWORD flags,
                      D3DCOLOR colour) {
    if (count == 0 || flags == 0)
        return D3D_OK;
    if (HRESULT hr = BindSurfaces(); FAILED(hr))
        return hr;
    for (DWORD i = 0; i < count; ++i) {
        const raster::Rect r = Intersect(area, rects[i]);
        if (!Empty(r))
            raster_.clear(r, flags, colour, 1.0f);
    }
    return D3D_OK;
}

} // namespace zv::d3d
