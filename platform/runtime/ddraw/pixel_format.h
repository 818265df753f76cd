// How the module stores and converts the pixels of its surfaces.
#pragma once

#include <platform/ddraw.h>
#include <platform/display.h>
#include <platform/gdi.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zv::ddraw {

// Where one colour channel sits in a pixel; bits 0 when the format has none.
struct Channel {
    int shift = 0;
    int bits = 0;

    DWORD Mask() const { return bits == 0 ? 0 : ((1u << bits) - 1) << shift; }
    bool operator==(const Channel&) const = default;
};

struct PixelFormat {
    enum class Kind { Palette8, Rgb, Depth };

    Kind kind = Kind::Rgb;
    // Bytes one pixel occupies: 1 for Palette8; 2, 3 or 4 for Rgb (1 for
    // 3-3-2); 2 for a 16-bit depth, 4 for 24 and 32 bits (a 24-bit depth
    // lives in the low 24 bits of a 32-bit word).
    int bytesPerPixel = 4;
    // Bits of depth for Kind::Depth.
    int depthBits = 0;
    Channel red, green, blue, alpha;

    // As GetSurfaceDesc and Lock report it.
    DDPIXELFORMAT Description() const;
    bool operator==(const PixelFormat&) const = default;
};

// The formats a surface can be created in: 8-bit palettised and RGB of 8, 16,
// 24 or 32 bits with contiguous channels of at most 8 bits, alpha optional.
// Nothing for anything else (FourCC, alpha-only, fewer palette bits).
std::optional<PixelFormat> FormatFromDescription(const DDPIXELFORMAT& description);
// 16, 24 or 32 bits of depth; nothing for other depths.
std::optional<PixelFormat> DepthFormat(DWORD bits);
// The screen's format; depths of 8 bits and less are palettised.
PixelFormat ScreenPixelFormat(const display::ScreenFormat& screen);

// Bytes from one row of pixels to the next: whole 32-bit words.
inline int RowPitch(int width, const PixelFormat& format) {
    return (width * format.bytesPerPixel + 3) & ~3;
}

// Copies pixels from one format into another, row by row. Prepared once for a
// pair of formats (and the source's palette), then run on any rectangle.
class PixelConverter {
public:
    // False when there is no sensible conversion: into a palettised format
    // from anything but itself, between depth and colour, between depths of
    // different sizes.
    bool Prepare(const PixelFormat& source, const PixelFormat& destination,
                 std::span<const PALETTEENTRY> sourcePalette);
    void Convert(const std::byte* source, ptrdiff_t sourcePitch, std::byte* destination,
                 ptrdiff_t destinationPitch, int width, int height) const;

private:
    enum class Route { Copy, FromPalette, Channels };

    template <int SourceBytes, int DestinationBytes>
    void ConvertChannels(const std::byte* source, ptrdiff_t sourcePitch, std::byte* destination,
                         ptrdiff_t destinationPitch, int width, int height) const;
    template <int DestinationBytes>
    void ConvertFromPalette(const std::byte* source, ptrdiff_t sourcePitch, std::byte* destination,
                            ptrdiff_t destinationPitch, int width, int height) const;

    // One source channel, looked up into its destination channel in place.
    struct Lane {
        int shift = 0;
        uint32_t mask = 0;
        uint32_t table[256] = {};
    };

    Route route_ = Route::Copy;
    int sourceBytes_ = 0;
    int destinationBytes_ = 0;
    // Red, green, blue, alpha.
    Lane lanes_[4];
    // Destination bits that no source channel feeds: an alpha the source lacks
    // is opaque.
    uint32_t constantBits_ = 0;
    // FromPalette: the destination pixel of every index.
    uint32_t paletteTable_[256] = {};
};

} // namespace zv::ddraw
