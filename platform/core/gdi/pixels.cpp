#include "pixels.h"

#include <bit>

namespace zv::gdi {
namespace {

bool ValidMasks(uint32_t red, uint32_t green, uint32_t blue, int bitsPerPixel) {
    const uint32_t pixelBits = bitsPerPixel == 32 ? 0xFFFFFFFFu : (1u << bitsPerPixel) - 1;
    for (uint32_t mask : {red, green, blue}) {
        if (mask & ~pixelBits)
            return false;
        // Contiguous: shifting out the trailing zeros leaves 2^n - 1.
        const uint32_t field = mask ? mask >> std::countr_zero(mask) : 0;
        if (field & (field + 1))
            return false;
    }
    return !(red & green) && !(red & blue) && !(green & blue);
}

// A channel without a mask reads as 0 and is never written.
class Channel {
public:
    explicit Channel(uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), bits_(std::popcount(mask)) {}

    // Narrow fields repeat their pattern so that full scale reads as 255.
    uint32_t Read(uint32_t pixel) const {
        if (bits_ == 0)
            return 0;
        const uint32_t value = (pixel & mask_) >> shift_;
        return Rescale(value, bits_, 8);
    }

    // Narrow fields keep the top bits; wide ones repeat the 8 bits given.
    uint32_t Write(uint32_t value8) const {
        return bits_ == 0 ? 0 : Rescale(value8, 8, bits_) << shift_ & mask_;
    }

private:
    static uint32_t Rescale(uint32_t value, int from, int to) {
        if (from >= to)
            return value >> (from - to);
        uint32_t scaled = 0;
        for (int shift = to - from; shift > -from; shift -= from)
            scaled |= shift >= 0 ? value << shift : value >> -shift;
        return scaled & ((1u << to) - 1);
    }

    uint32_t mask_;
    int shift_;
    int bits_;
};

class DirectCodec {
public:
    explicit DirectCodec(const PixelFormat& format)
        : red_(format.redMask), green_(format.greenMask), blue_(format.blueMask),
          spare_(PixelBits(format.bitsPerPixel) &
                 ~(format.redMask | format.greenMask | format.blueMask)) {}

    uint32_t ToXrgb(uint32_t pixel) const {
        return red_.Read(pixel) << 16 | green_.Read(pixel) << 8 | blue_.Read(pixel);
    }
    // Bits of no channel (X, alpha) are set, so alpha formats come out opaque.
    uint32_t FromXrgb(uint32_t xrgb) const {
        return red_.Write(xrgb >> 16 & 0xFF) | green_.Write(xrgb >> 8 & 0xFF) |
               blue_.Write(xrgb & 0xFF) | spare_;
    }

private:
    static uint32_t PixelBits(int bitsPerPixel) {
        return bitsPerPixel == 32 ? 0xFFFFFFFFu : (1u << bitsPerPixel) - 1;
    }

    Channel red_, green_, blue_;
    uint32_t spare_;
};

// Raw pixel values: an index for palettised rows, the packed bits otherwise.
// Multi-byte pixels are little-endian; sub-byte pixels fill a byte from its
// top bits.
uint32_t LoadPixel(const uint8_t* row, int x, int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return row[x / 8] >> (7 - x % 8) & 1;
    case 4:
        return row[x / 2] >> (x % 2 ? 0 : 4) & 0xF;
    case 8:
        return row[x];
    case 16:
        return uint32_t{row[2 * x]} | uint32_t{row[2 * x + 1]} << 8;
    case 24:
        return uint32_t{row[3 * x]} | uint32_t{row[3 * x + 1]} << 8 | uint32_t{row[3 * x + 2]} << 16;
    default:
        return uint32_t{row[4 * x]} | uint32_t{row[4 * x + 1]} << 8 |
               uint32_t{row[4 * x + 2]} << 16 | uint32_t{row[4 * x + 3]} << 24;
    }
}

void StorePixel(uint8_t* row, int x, int bitsPerPixel, uint32_t value) {
    switch (bitsPerPixel) {
    case 1: {
        const int shift = 7 - x % 8;
        row[x / 8] = static_cast<uint8_t>((row[x / 8] & ~(1u << shift)) | (value & 1) << shift);
        break;
    }
    case 4: {
        const int shift = x % 2 ? 0 : 4;
        row[x / 2] = static_cast<uint8_t>((row[x / 2] & ~(0xFu << shift)) | (value & 0xF) << shift);
        break;
    }
    default:
        for (int i = 0; i < bitsPerPixel / 8; ++i)
            row[bitsPerPixel / 8 * x + i] = static_cast<uint8_t>(value >> 8 * i);
        break;
    }
}

uint32_t PaletteColour(const PixelFormat& format, uint32_t index) {
    return index < format.palette.size() ? format.palette[index] : 0;
}

} // namespace

bool MakeDirectFormat(int bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue,
                      PixelFormat& out) {
    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return false;
    if (red == 0 && green == 0 && blue == 0) {
        const bool is555 = bitsPerPixel == 16;
        red = is555 ? 0x7C00 : 0xFF0000;
        green = is555 ? 0x03E0 : 0x00FF00;
        blue = is555 ? 0x001F : 0x0000FF;
    }
    if (!ValidMasks(red, green, blue, bitsPerPixel))
        return false;
    out = PixelFormat{bitsPerPixel, red, green, blue, {}};
    return true;
}

uint8_t NearestIndex(const std::vector<uint32_t>& palette, uint32_t xrgb) {
    uint32_t bestDistance = UINT32_MAX;
    uint8_t best = 0;
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        const int dr = static_cast<int>(palette[i] >> 16 & 0xFF) - static_cast<int>(xrgb >> 16 & 0xFF);
        const int dg = static_cast<int>(palette[i] >> 8 & 0xFF) - static_cast<int>(xrgb >> 8 & 0xFF);
        const int db = static_cast<int>(palette[i] & 0xFF) - static_cast<int>(xrgb & 0xFF);
        const auto distance = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<uint8_t>(i);
            if (distance == 0)
                break;
        }
    }
    return best;
}

void CopyPixels(const PixelView& dst, int dx, int dy, const PixelView& src, int sx, int sy, int w,
                int h) {
    const PixelFormat& from = *src.format;
    const PixelFormat& to = *dst.format;
    const DirectCodec fromCodec = from.Indexed() ? DirectCodec(PixelFormat{32, 0xFF0000, 0xFF00, 0xFF, {}})
                                                 : DirectCodec(from);
    auto sourceColour = [&](uint32_t raw) {
        return from.Indexed() ? PaletteColour(from, raw) : fromCodec.ToXrgb(raw);
    };

    if (to.Indexed()) {
        // An index whose colour the destination has at the same index keeps
        // its number, so matching palettes copy indices exactly.
        std::vector<uint8_t> translate;
        if (from.Indexed()) {
            translate.resize(size_t{1} << from.bitsPerPixel);
            for (uint32_t i = 0; i < translate.size(); ++i) {
                const uint32_t colour = PaletteColour(from, i);
                translate[i] = i < to.palette.size() && to.palette[i] == colour
                                   ? static_cast<uint8_t>(i)
                                   : NearestIndex(to.palette, colour);
            }
        }
        uint32_t lastColour = 0;
        uint8_t lastIndex = NearestIndex(to.palette, 0);
        for (int y = 0; y < h; ++y) {
            const uint8_t* in = src.Row(sy + y);
            uint8_t* out = dst.Row(dy + y);
            for (int x = 0; x < w; ++x) {
                const uint32_t raw = LoadPixel(in, sx + x, from.bitsPerPixel);
                uint8_t index;
                if (from.Indexed()) {
                    index = translate[raw];
                } else {
                    const uint32_t colour = fromCodec.ToXrgb(raw);
                    if (colour != lastColour) {
                        lastColour = colour;
                        lastIndex = NearestIndex(to.palette, colour);
                    }
                    index = lastIndex;
                }
                StorePixel(out, dx + x, to.bitsPerPixel, index);
            }
        }
        return;
    }

    const DirectCodec toCodec(to);
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = src.Row(sy + y);
        uint8_t* out = dst.Row(dy + y);
        for (int x = 0; x < w; ++x)
            StorePixel(out, dx + x, to.bitsPerPixel,
                       toCodec.FromXrgb(sourceColour(LoadPixel(in, sx + x, from.bitsPerPixel))));
    }
}

void FillPixels(const PixelView& dst, int x, int y, int w, int h, uint32_t xrgb) {
    const PixelFormat& to = *dst.format;
    const uint32_t value = to.Indexed() ? NearestIndex(to.palette, xrgb) : DirectCodec(to).FromXrgb(xrgb);
    for (int row = 0; row < h; ++row)
        for (int column = 0; column < w; ++column)
            StorePixel(dst.Row(y + row), x + column, to.bitsPerPixel, value);
}

const std::vector<uint32_t>& SystemPalette() {
    static const std::vector<uint32_t> palette = [] {
        // The static colours every palettised display reserves.
        constexpr uint32_t kLow[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                       0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
        constexpr uint32_t kHigh[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                        0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        std::vector<uint32_t> entries(kLow, kLow + 10);
        for (uint32_t r = 0; r < 6; ++r)
            for (uint32_t g = 0; g < 6; ++g)
                for (uint32_t b = 0; b < 6; ++b)
                    entries.push_back(r * 51 << 16 | g * 51 << 8 | b * 51);
        // Greys off the cube's own levels, which are multiples of 51.
        for (uint32_t k = 1; k <= 20; ++k) {
            const uint32_t grey = (255 * k + 10) / 21;
            entries.push_back(grey << 16 | grey << 8 | grey);
        }
        entries.insert(entries.end(), kHigh, kHigh + 10);
        return entries;
    }();
    return palette;
}

} // namespace zv::gdi
