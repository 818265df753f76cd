#include "surface.h"

#include <platform/display.h>
#include <platform/gdi_surface.h>

#include <cstring>
#include <new>

namespace zv::ddraw {

namespace {

SurfaceInterfaceProvider g_interfaceProvider = nullptr;

constexpr DWORD kSupportedCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE |
                                 DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE |
                                 DDSCAPS_VIDEOMEMORY | DDSCAPS_ZBUFFER | DDSCAPS_ALLOCONLOAD;
constexpr DWORD kColourCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE;
constexpr DWORD kPlacementCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;

bool WellFormed(const RECT& r) {
    return r.left < r.right && r.top < r.bottom;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The pixel format a sized surface asks for: DD_OK or why it cannot have it.
HRESULT SurfaceFormat(const Display& display, const DDSURFACEDESC& desc, DWORD caps,
                      PixelFormat& format) {
    const bool pixelFormatGiven = (desc.dwFlags & DDSD_PIXELFORMAT) != 0;
    if ((caps & DDSCAPS_ZBUFFER) != 0) {
        if ((caps & kColourCaps) != 0)
            return DDERR_INVALIDCAPS;
        std::optional<PixelFormat> depth;
        if ((desc.dwFlags & DDSD_ZBUFFERBITDEPTH) != 0)
            depth = DepthFormat(desc.dwZBufferBitDepth);
        else if (pixelFormatGiven)
            depth = FormatFromDescription(desc.ddpfPixelFormat);
        else
            return DDERR_INVALIDPARAMS;
        if (!depth || depth->kind != PixelFormat::Kind::Depth)
            return DDERR_INVALIDPIXELFORMAT;
        format = *depth;
        return DD_OK;
    }
    if (!pixelFormatGiven) {
        format = display.format;
        return DD_OK;
    }
    auto given = FormatFromDescription(desc.ddpfPixelFormat);
    if (!given || given->kind == PixelFormat::Kind::Depth)
        return DDERR_INVALIDPIXELFORMAT;
    format = *given;
    return DD_OK;
}

} // namespace

void SetSurfaceInterfaceProvider(SurfaceInterfaceProvider provider) {
    g_interfaceProvider = provider;
}

HRESULT Surface::Create(const std::shared_ptr<Display>& display, const DDSURFACEDESC& desc,
                        LPDIRECTDRAWSURFACE* surface) {
    *surface = nullptr;
    DWORD caps = (desc.dwFlags & DDSD_CAPS) != 0 ? desc.ddsCaps.dwCaps : 0;
    if ((caps & ~kSupportedCaps) != 0 || (caps & kPlacementCaps) == kPlacementCaps)
        return DDERR_INVALIDCAPS;
    // Memory the caller owns is not something this runtime draws into.
    if ((desc.dwFlags & (DDSD_LPSURFACE | DDSD_PITCH)) != 0)
        return DDERR_INVALIDPARAMS;

    int width = 0, height = 0;
    PixelFormat format;
    if ((caps & DDSCAPS_PRIMARYSURFACE) != 0) {
        if ((caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY)) != 0)
            return DDERR_INVALIDCAPS;
        // The screen decides the primary surface's size and format.
        if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_ZBUFFERBITDEPTH)) !=
            0)
            return DDERR_INVALIDPARAMS;
        if (display->primaryExists)
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
        caps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_VISIBLE;
        width = display->screen.width;
        height = display->screen.height;
        format = display->format;
    } else {
        if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
            desc.dwWidth == 0 || desc.dwHeight == 0)
            return DDERR_INVALIDPARAMS;
        if (desc.dwWidth > kMaxSurfaceSide)
            return DDERR_TOOBIGWIDTH;
        if (desc.dwHeight > kMaxSurfaceSide)
            return DDERR_TOOBIGHEIGHT;
        if (HRESULT hr = SurfaceFormat(*display, desc, caps, format); hr != DD_OK)
            return hr;
        width = static_cast<int>(desc.dwWidth);
        height = static_cast<int>(desc.dwHeight);
        if (static_cast<size_t>(RowPitch(width, format)) * height > kMaxSurfaceBytes)
            return DDERR_TOOBIGSIZE;
        if ((caps & (kColourCaps | DDSCAPS_ZBUFFER)) == 0)
            caps |= DDSCAPS_OFFSCREENPLAIN;
        // Video memory is plain memory here, so it never runs out first.
        if ((caps & kPlacementCaps) == 0)
            caps |= DDSCAPS_VIDEOMEMORY;
    }

    auto* created = new (std::nothrow) Surface(display, caps, width, height, format);
    if (created == nullptr)
        return DDERR_OUTOFMEMORY;
    if (!created->IsPrimary() && !created->Allocate()) {
        created->Release();
        return DDERR_OUTOFMEMORY;
    }
    if (created->IsPrimary())
        display->primaryExists = true;
    *surface = created;
    return DD_OK;
}

Surface::Surface(std::shared_ptr<Display> display, DWORD caps, int width, int height,
                 const PixelFormat& format)
    : display_(std::move(display)), caps_(caps), width_(width), height_(height), format_(format),
      pitch_(RowPitch(width, format)) {}

Surface::~Surface() {
    if (dc_ != nullptr)
        gdi::DeleteSurfaceDC(dc_);
    if (Surface* depth = ZBuffer())
        depth->attached_ = false;
    if (IsPrimary())
        display_->primaryExists = false;
}

Surface* Surface::From(IUnknown* surface) {
    return dynamic_cast<Surface*>(surface);
}

bool Surface::Allocate() {
    // Zeroed pages come from the system untouched, so a large surface costs
    // nothing until it is drawn into.
    memory_.reset(static_cast<std::byte*>(std::calloc(static_cast<size_t>(pitch_) * height_, 1)));
    return memory_ != nullptr;
}

RECT Surface::Bounds() const {
    return {0, 0, width_, height_};
}

std::byte* Surface::PixelAt(LONG x, LONG y) const {
    return memory_.get() + static_cast<ptrdiff_t>(y) * pitch_ + x * format_.bytesPerPixel;
}

void Surface::Describe(DDSURFACEDESC& desc) const {
    const DWORD size = desc.dwSize;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = size;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = width_;
    desc.dwHeight = height_;
    desc.ddsCaps.dwCaps = caps_;
    desc.ddpfPixelFormat = format_.Description();
    if (!IsPrimary()) {
        desc.dwFlags |= DDSD_PITCH;
        desc.lPitch = pitch_;
    }
    if (format_.kind == PixelFormat::Kind::Depth) {
        desc.dwFlags |= DDSD_ZBUFFERBITDEPTH;
        desc.dwZBufferBitDepth = format_.depthBits;
    }
}

void Surface::Lose() {
    if (dc_ != nullptr) {
        gdi::DeleteSurfaceDC(dc_);
        dc_ = nullptr;
    }
    lost_ = true;
    // Whoever holds a lock still writes into the memory; it goes at Unlock.
    if (!locked_)
        memory_.reset();
}

HRESULT Surface::QueryInterface(REFIID riid, void** ppvObject) {
    HRESULT hr = ComObject::QueryInterface(riid, ppvObject);
    if (hr == E_NOINTERFACE && g_interfaceProvider != nullptr)
        hr = g_interfaceProvider(*this, riid, ppvObject);
    return hr;
}

HRESULT Surface::AddAttachedSurface(LPDIRECTDRAWSURFACE lpDDSAttachedSurface) {
    Surface* depth = From(lpDDSAttachedSurface);
    if (depth == nullptr)
        return DDERR_INVALIDPARAMS;
    if (zBuffer_ || depth->attached_)
        return DDERR_SURFACEALREADYATTACHED;
    // Only a Z buffer of the same size goes onto a surface Direct3D renders to.
    if (depth->format_.kind != PixelFormat::Kind::Depth || (caps_ & DDSCAPS_3DDEVICE) == 0 ||
        depth->width_ != width_ || depth->height_ != height_)
        return DDERR_CANNOTATTACHSURFACE;
    zBuffer_ = runtime::Com<IDirectDrawSurface>::Share(depth);
    depth->attached_ = true;
    return DD_OK;
}

HRESULT Surface::PrepareConverter(const Surface& source, PixelConverter& converter) const {
    const Palette* palette = source.AttachedPalette();
    std::span<const PALETTEENTRY> entries;
    if (palette != nullptr)
        entries = palette->Entries();
    else if (source.format_.kind == PixelFormat::Kind::Palette8 &&
             format_.kind != PixelFormat::Kind::Palette8)
        return DDERR_NOPALETTEATTACHED;
    if (!converter.Prepare(source.format_, format_, entries))
        return DDERR_INVALIDPIXELFORMAT;
    return DD_OK;
}

HRESULT Surface::Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE lpDDSrcSurface, LPRECT lpSrcRect,
                     DWORD dwFlags, LPDDBLTFX lpDDBltFx) {
    // Never busy for long, so DDBLT_WAIT has nothing to wait for; effects
    // (fills, raster operations, colour keys) are not offered.
    if ((dwFlags & ~DDBLT_WAIT) != 0 || lpDDBltFx != nullptr)
        return DDERR_UNSUPPORTED;
    Surface* source = From(lpDDSrcSurface);
    if (source == nullptr)
        return DDERR_INVALIDPARAMS;
    // The screen's pixels cannot be read back.
    if (source->IsPrimary())
        return DDERR_UNSUPPORTED;
    if (lost_ || source->lost_)
        return DDERR_SURFACELOST;
    if (Busy() || source->Busy())
        return DDERR_SURFACEBUSY;

    const RECT from = lpSrcRect != nullptr ? *lpSrcRect : source->Bounds();
    RECT to = lpDestRect != nullptr ? *lpDestRect : Bounds();
    if (!WellFormed(from) || !Inside(from, source->Bounds()) || !WellFormed(to))
        return DDERR_INVALIDRECT;
    if (to.right - to.left != from.right - from.left ||
        to.bottom - to.top != from.bottom - from.top)
        return DDERR_NOSTRETCHHW;
    if (IsPrimary())
        return BlitToScreen(to, *source, from);
    if (!Inside(to, Bounds()))
        return DDERR_INVALIDRECT;

    PixelConverter converter;
    if (HRESULT hr = PrepareConverter(*source, converter); hr != DD_OK)
        return hr;

    const int width = from.right - from.left, height = from.bottom - from.top;
    const std::byte* in = source->PixelAt(from.left, from.top);
    std::byte* out = PixelAt(to.left, to.top);
    ptrdiff_t inPitch = source->pitch_, outPitch = pitch_;
    // Within one surface, rows moving down are copied from the bottom up so
    // that none is overwritten before it is read.
    if (source == this && to.top > from.top) {
        in += (height - 1) * inPitch;
        out += (height - 1) * outPitch;
        inPitch = -inPitch;
        outPitch = -outPitch;
    }
    converter.Convert(in, inPitch, out, outPitch, width, height);
    return DD_OK;
}

HRESULT Surface::BlitToScreen(const RECT& to, const Surface& source, const RECT& from) {
    Clipper* clipper = Clipper::From(clipper_.Get());
    // Without a window the blit would land on other programs' windows.
    if (clipper == nullptr)
        return DDERR_NOCLIPPERATTACHED;
    if (clipper->Window() == nullptr)
        return DDERR_NOCLIPLIST;

    const int width = from.right - from.left, height = from.bottom - from.top;
    const std::byte* pixels = source.PixelAt(from.left, from.top);
    int pitch = source.pitch_;
    if (source.format_ != format_) {
        PixelConverter converter;
        if (HRESULT hr = PrepareConverter(source, converter); hr != DD_OK)
            return hr;
        pitch = RowPitch(width, format_);
        const size_t bytes = static_cast<size_t>(pitch) * height;
        if (screenPixels_.size() < bytes)
            screenPixels_ = std::vector<std::byte>(bytes);
        converter.Convert(pixels, source.pitch_, screenPixels_.data(), pitch, width, height);
        pixels = screenPixels_.data();
    }
    // In the screen's format the source's own rows go straight to the window.
    if (!display::PresentToWindow(clipper->Window(), to.left, to.top, width, height, pixels, pitch))
        return DDERR_NOHWND;
    return DD_OK;
}

HRESULT Surface::GetDC(HDC* lphDC) {
    if (lphDC == nullptr)
        return DDERR_INVALIDPARAMS;
    *lphDC = nullptr;
    if (IsPrimary() || format_.kind == PixelFormat::Kind::Depth)
        return DDERR_CANTCREATEDC;
    if (lost_)
        return DDERR_SURFACELOST;
    if (dc_ != nullptr)
        return DDERR_DCALREADYCREATED;
    if (locked_)
        return DDERR_SURFACEBUSY;
    gdi::SurfacePixels pixels = {};
    pixels.bits = memory_.get();
    pixels.pitch = pitch_;
    pixels.width = width_;
    pixels.height = height_;
    pixels.bitsPerPixel = format_.bytesPerPixel * 8;
    pixels.redMask = format_.red.Mask();
    pixels.greenMask = format_.green.Mask();
    pixels.blueMask = format_.blue.Mask();
    if (const Palette* palette = AttachedPalette()) {
        pixels.palette = palette->Entries().data();
        pixels.paletteSize = static_cast<int>(palette->Entries().size());
    }
    dc_ = gdi::CreateSurfaceDC(pixels);
    if (dc_ == nullptr)
        return DDERR_CANTCREATEDC;
    *lphDC = dc_;
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC hDC) {
    if (dc_ == nullptr)
        return DDERR_NODC;
    if (hDC != dc_)
        return DDERR_INVALIDPARAMS;
    gdi::DeleteSurfaceDC(dc_);
    dc_ = nullptr;
    return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT lpDDPixelFormat) {
    if (lpDDPixelFormat == nullptr || lpDDPixelFormat->dwSize != sizeof(DDPIXELFORMAT))
        return DDERR_INVALIDPARAMS;
    *lpDDPixelFormat = format_.Description();
    return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC lpDDSurfaceDesc) {
    if (lpDDSurfaceDesc == nullptr || lpDDSurfaceDesc->dwSize != DDSURFACEDESC_SIZE)
        return DDERR_INVALIDPARAMS;
    Describe(*lpDDSurfaceDesc);
    return DD_OK;
}

HRESULT Surface::IsLost() {
    return lost_ ? DDERR_SURFACELOST : DD_OK;
}

HRESULT Surface::Restore() {
    if (!lost_)
        return DD_OK;
    // A surface still locked while it was lost kept its memory.
    if (!IsPrimary() && memory_ == nullptr && !Allocate())
        return DDERR_OUTOFMEMORY;
    lost_ = false;
    return DD_OK;
}

HRESULT Surface::Lock(LPRECT lpDestRect, LPDDSURFACEDESC lpDDSurfaceDesc, DWORD, HANDLE) {
    if (lpDDSurfaceDesc == nullptr || lpDDSurfaceDesc->dwSize != DDSURFACEDESC_SIZE)
        return DDERR_INVALIDPARAMS;
    if (IsPrimary())
        return DDERR_CANTLOCKSURFACE;
    if (lost_)
        return DDERR_SURFACELOST;
    if (Busy())
        return DDERR_SURFACEBUSY;
    const RECT area = lpDestRect != nullptr ? *lpDestRect : Bounds();
    if (!WellFormed(area) || !Inside(area, Bounds()))
        return DDERR_INVALIDRECT;
    Describe(*lpDDSurfaceDesc);
    lpDDSurfaceDesc->dwFlags |= DDSD_LPSURFACE;
    lpDDSurfaceDesc->lpSurface = PixelAt(area.left, area.top);
    locked_ = true;
    return DD_OK;
}

HRESULT Surface::Unlock(LPVOID) {
    if (!locked_)
        return DDERR_NOTLOCKED;
    locked_ = false;
    if (lost_)
        memory_.reset();
    return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper) {
    if (lpDDClipper != nullptr && Clipper::From(lpDDClipper) == nullptr)
        return DDERR_INVALIDPARAMS;
    // Only the primary surface clips by its clipper; elsewhere rectangles
    // must lie inside the surface.
    clipper_ = runtime::Com<IDirectDrawClipper>::Share(lpDDClipper);
    return DD_OK;
}

HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) {
    if (lpDDPalette == nullptr) {
        palette_.Reset();
        return DD_OK;
    }
    if (Palette::From(lpDDPalette) == nullptr)
        return DDERR_INVALIDPARAMS;
    if (format_.kind != PixelFormat::Kind::Palette8)
        return DDERR_NOTPALETTIZED;
    palette_ = runtime::Com<IDirectDrawPalette>::Share(lpDDPalette);
    return DD_OK;
}

} // namespace zv::ddraw
