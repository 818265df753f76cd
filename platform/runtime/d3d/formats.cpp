#include "d3d/formats.h"

#include <cstring>

namespace zv::d3d {

namespace {

using ddraw::Channel;

constexpr Channel kRed8 = {16, 8}, kGreen8 = {8, 8}, kBlue8 = {0, 8}, kAlpha8 = {24, 8};
constexpr Channel kRed5 = {11, 5}, kGreen6 = {5, 6}, kBlue5 = {0, 5};
constexpr Channel kRed555 = {10, 5}, kGreen555 = {5, 5}, kAlpha1 = {15, 1};

bool Channels(const ddraw::PixelFormat& f, Channel red, Channel green, Channel blue,
              Channel alpha) {
    return f.red == red && f.green == green && f.blue == blue && f.alpha == alpha;
}

constexpr DDPIXELFORMAT Rgb(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB | (alpha != 0 ? DDPF_ALPHAPIXELS : 0);
    format.dwRGBBitCount = bits;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    format.dwRGBAlphaBitMask = alpha;
    return format;
}

constexpr DDPIXELFORMAT Palettised() {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
    format.dwRGBBitCount = 8;
    return format;
}

constexpr DDPIXELFORMAT kTextureFormats[] = {
    Palettised(),
    Rgb(16, 0xF800, 0x07E0, 0x001F),
    Rgb(16, 0x7C00, 0x03E0, 0x001F),
    Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
    Rgb(24, 0xFF0000, 0xFF00, 0xFF),
    Rgb(32, 0xFF0000, 0xFF00, 0xFF),
    Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
};

} // namespace

std::optional<raster::PixelFormat> RasterFormat(const ddraw::PixelFormat& f) {
    using K = ddraw::PixelFormat::Kind;
    using R = raster::PixelFormat;
    switch (f.kind) {
    case K::Palette8:
        return R::Pal8;
    case K::Depth:
        if (f.depthBits == 16)
            return R::Z16;
        // Both keep 24 significant bits in a 32-bit word.
        if (f.depthBits == 24 || f.depthBits == 32)
            return R::Z32;
        return std::nullopt;
    case K::Rgb:
        break;
    }
    const Channel none = {};
    switch (f.bytesPerPixel) {
    case 4:
        if (Channels(f, kRed8, kGreen8, kBlue8, none))
            return R::XRGB8888;
        if (Channels(f, kRed8, kGreen8, kBlue8, kAlpha8))
            return R::ARGB8888;
        break;
    case 3:
        if (Channels(f, kRed8, kGreen8, kBlue8, none))
            return R::RGB888;
        break;
    case 2:
        if (Channels(f, kRed5, kGreen6, kBlue5, none))
            return R::RGB565;
        if (Channels(f, kRed555, kGreen555, kBlue5, none))
            return R::XRGB1555;
        if (Channels(f, kRed555, kGreen555, kBlue5, kAlpha1))
            return R::ARGB1555;
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool IsRenderTargetFormat(raster::PixelFormat format) {
    using R = raster::PixelFormat;
    return format == R::XRGB8888 || format == R::RGB565 || format == R::XRGB1555 ||
           format == R::Pal8;
}

bool IsDepthFormat(raster::PixelFormat format) {
    return format == raster::PixelFormat::Z16 || format == raster::PixelFormat::Z32;
}

bool IsTextureFormat(raster::PixelFormat format) {
    return !IsDepthFormat(format);
}

raster::Surface RasterSurface(const ddraw::Surface& surface, raster::PixelFormat format) {
    return {surface.Pixels(), surface.Pitch(), surface.Width(), surface.Height(), format};
}

std::span<const DDPIXELFORMAT> TextureFormats() {
    return kTextureFormats;
}

raster::Palette* PaletteMirror::Sync(const ddraw::Palette* palette) {
    if (palette == nullptr)
        return nullptr;
    if (palette->Stamp() == seen_)
        return &palette_;
    seen_ = palette->Stamp();
    // Indices past a 16-colour palette have no colour of their own: black.
    static_assert(sizeof(PALETTEENTRY) == sizeof(raster::PaletteEntry));
    raster::PaletteEntry converted[256] = {};
    const std::span<const PALETTEENTRY> entries = palette->Entries();
    std::memcpy(converted, entries.data(), entries.size_bytes());
    palette_.set_entries(0, converted, 256);
    return &palette_;
}

} // namespace zv::d3d
