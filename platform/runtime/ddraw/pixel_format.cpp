#include "pixel_format.h"

#include <bit>
#include <cstring>

namespace zv::ddraw {

namespace {

// A channel from its mask: contiguous, at most 8 bits, inside the pixel.
std::optional<Channel> ChannelFromMask(DWORD mask, int pixelBits) {
    if (mask == 0)
        return std::nullopt;
    const int shift = std::countr_zero(mask);
    const DWORD run = mask >> shift;
    if ((run & (run + 1)) != 0)
        return std::nullopt;
    const int bits = std::popcount(run);
    if (bits > 8 || shift + bits > pixelBits)
        return std::nullopt;
    return Channel{shift, bits};
}

std::optional<PixelFormat> RgbFormat(int pixelBits, DWORD red, DWORD green, DWORD blue,
                                     std::optional<DWORD> alpha) {
    if (pixelBits != 8 && pixelBits != 16 && pixelBits != 24 && pixelBits != 32)
        return std::nullopt;
    auto r = ChannelFromMask(red, pixelBits);
    auto g = ChannelFromMask(green, pixelBits);
    auto b = ChannelFromMask(blue, pixelBits);
    if (!r || !g || !b)
        return std::nullopt;
    std::optional<Channel> a;
    if (alpha) {
        a = ChannelFromMask(*alpha, pixelBits);
        if (!a)
            return std::nullopt;
    }
    const DWORD masks[] = {red, green, blue, alpha.value_or(0)};
    DWORD seen = 0;
    for (DWORD mask : masks) {
        if ((seen & mask) != 0)
            return std::nullopt;
        seen |= mask;
    }
    PixelFormat format;
    format.kind = PixelFormat::Kind::Rgb;
    format.bytesPerPixel = pixelBits / 8;
    format.red = *r;
    format.green = *g;
    format.blue = *b;
    format.alpha = a.value_or(Channel{});
    return format;
}

// Exact to the nearest 8-bit value, so that a round trip through the same
// channel width gives the value back.
uint32_t SpreadTo8Bits(uint32_t value, int bits) {
    const uint32_t top = (1u << bits) - 1;
    return (value * 255 + top / 2) / top;
}

uint32_t LoadPixel(const std::byte* p, int bytes) {
    uint32_t value = 0;
    std::memcpy(&value, p, bytes);
    return value;
}

void StorePixel(std::byte* p, uint32_t value, int bytes) {
    std::memcpy(p, &value, bytes);
}

} // namespace

DDPIXELFORMAT PixelFormat::Description() const {
    DDPIXELFORMAT description = {};
    description.dwSize = sizeof(DDPIXELFORMAT);
    switch (kind) {
    case Kind::Palette8:
        description.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
        description.dwRGBBitCount = 8;
        break;
    case Kind::Rgb:
        description.dwFlags = DDPF_RGB | (alpha.bits != 0 ? DDPF_ALPHAPIXELS : 0);
        description.dwRGBBitCount = bytesPerPixel * 8;
        description.dwRBitMask = red.Mask();
        description.dwGBitMask = green.Mask();
        description.dwBBitMask = blue.Mask();
        description.dwRGBAlphaBitMask = alpha.Mask();
        break;
    case Kind::Depth:
        description.dwFlags = DDPF_ZBUFFER;
        description.dwZBufferBitDepth = depthBits;
        break;
    }
    return description;
}

std::optional<PixelFormat> FormatFromDescription(const DDPIXELFORMAT& description) {
    if (description.dwSize != sizeof(DDPIXELFORMAT))
        return std::nullopt;
    const DWORD flags = description.dwFlags;
    if (flags == DDPF_ZBUFFER)
        return DepthFormat(description.dwZBufferBitDepth);
    if ((flags & ~(DDPF_PALETTEINDEXED8 | DDPF_RGB | DDPF_ALPHAPIXELS)) != 0)
        return std::nullopt;
    if ((flags & DDPF_PALETTEINDEXED8) != 0) {
        if ((flags & DDPF_ALPHAPIXELS) != 0 || description.dwRGBBitCount != 8)
            return std::nullopt;
        PixelFormat format;
        format.kind = PixelFormat::Kind::Palette8;
        format.bytesPerPixel = 1;
        return format;
    }
    if ((flags & DDPF_RGB) == 0)
        return std::nullopt;
    std::optional<DWORD> alpha;
    if ((flags & DDPF_ALPHAPIXELS) != 0)
        alpha = description.dwRGBAlphaBitMask;
    return RgbFormat(static_cast<int>(description.dwRGBBitCount), description.dwRBitMask,
                     description.dwGBitMask, description.dwBBitMask, alpha);
}

std::optional<PixelFormat> DepthFormat(DWORD bits) {
    if (bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    PixelFormat format;
    format.kind = PixelFormat::Kind::Depth;
    format.depthBits = static_cast<int>(bits);
    format.bytesPerPixel = bits == 16 ? 2 : 4;
    return format;
}

PixelFormat ScreenPixelFormat(const display::ScreenFormat& screen) {
    if (screen.bitsPerPixel <= 8) {
        PixelFormat format;
        format.kind = PixelFormat::Kind::Palette8;
        format.bytesPerPixel = 1;
        return format;
    }
    if (auto format = RgbFormat(screen.bitsPerPixel, screen.redMask, screen.greenMask,
                                screen.blueMask, std::nullopt))
        return *format;
    // A screen format we cannot describe is drawn as the common one.
    return *RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, std::nullopt);
}

bool PixelConverter::Prepare(const PixelFormat& source, const PixelFormat& destination,
                             std::span<const PALETTEENTRY> sourcePalette) {
    sourceBytes_ = source.bytesPerPixel;
    destinationBytes_ = destination.bytesPerPixel;
    if (source == destination) {
        route_ = Route::Copy;
        return true;
    }
    if (source.kind == PixelFormat::Kind::Depth || destination.kind != PixelFormat::Kind::Rgb)
        return false;

    const Channel* targets[] = {&destination.red, &destination.green, &destination.blue,
                                &destination.alpha};
    // Where 8-bit channel values land in a destination pixel.
    auto place = [&](int channel, uint32_t value8) {
        const Channel& to = *targets[channel];
        return to.bits == 0 ? 0u : (value8 >> (8 - to.bits)) << to.shift;
    };
    constantBits_ = 0;
    if (source.kind == PixelFormat::Kind::Palette8) {
        route_ = Route::FromPalette;
        for (uint32_t index = 0; index < 256; ++index) {
            // Indices past a short palette read as black.
            PALETTEENTRY entry =
                index < sourcePalette.size() ? sourcePalette[index] : PALETTEENTRY{0, 0, 0, 0};
            paletteTable_[index] = place(0, entry.peRed) | place(1, entry.peGreen) |
                                   place(2, entry.peBlue) | destination.alpha.Mask();
        }
        return true;
    }

    route_ = Route::Channels;
    const Channel* from[] = {&source.red, &source.green, &source.blue, &source.alpha};
    for (int channel = 0; channel < 4; ++channel) {
        // A channel one side lacks looks up nothing but a zero.
        Lane& lane = lanes_[channel];
        lane = Lane{};
        if (from[channel]->bits == 0 || targets[channel]->bits == 0)
            continue;
        lane.shift = from[channel]->shift;
        lane.mask = (1u << from[channel]->bits) - 1;
        for (uint32_t value = 0; value <= lane.mask; ++value)
            lane.table[value] = place(channel, SpreadTo8Bits(value, from[channel]->bits));
    }
    if (source.alpha.bits == 0)
        constantBits_ = destination.alpha.Mask();
    return true;
}

template <int SourceBytes, int DestinationBytes>
void PixelConverter::ConvertChannels(const std::byte* source, ptrdiff_t sourcePitch,
                                     std::byte* destination, ptrdiff_t destinationPitch, int width,
                                     int height) const {
    const Lane &r = lanes_[0], &g = lanes_[1], &b = lanes_[2], &a = lanes_[3];
    const int rs = r.shift, gs = g.shift, bs = b.shift, as = a.shift;
    const uint32_t rm = r.mask, gm = g.mask, bm = b.mask, am = a.mask;
    for (int row = 0; row < height; ++row) {
        const std::byte* in = source + row * sourcePitch;
        std::byte* out = destination + row * destinationPitch;
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = LoadPixel(in + x * SourceBytes, SourceBytes);
            const uint32_t result = constantBits_ | r.table[(pixel >> rs) & rm] |
                                    g.table[(pixel >> gs) & gm] | b.table[(pixel >> bs) & bm] |
                                    a.table[(pixel >> as) & am];
            StorePixel(out + x * DestinationBytes, result, DestinationBytes);
        }
    }
}

template <int DestinationBytes>
void PixelConverter::ConvertFromPalette(const std::byte* source, ptrdiff_t sourcePitch,
                                        std::byte* destination, ptrdiff_t destinationPitch,
                                        int width, int height) const {
    for (int row = 0; row < height; ++row) {
        const auto* in = reinterpret_cast<const uint8_t*>(source + row * sourcePitch);
        std::byte* out = destination + row * destinationPitch;
        for (int x = 0; x < width; ++x)
            StorePixel(out + x * DestinationBytes, paletteTable_[in[x]], DestinationBytes);
    }
}

void PixelConverter::Convert(const std::byte* source, ptrdiff_t sourcePitch, std::byte* destination,
                             ptrdiff_t destinationPitch, int width, int height) const {
    switch (route_) {
    case Route::Copy:
        for (int row = 0; row < height; ++row)
            std::memmove(destination + row * destinationPitch, source + row * sourcePitch,
                         static_cast<size_t>(width) * sourceBytes_);
        return;
    case Route::FromPalette: {
        using Loop = void (PixelConverter::*)(const std::byte*, ptrdiff_t, std::byte*, ptrdiff_t,
                                              int, int) const;
        static constexpr Loop loops[4] = {
            &PixelConverter::ConvertFromPalette<1>, &PixelConverter::ConvertFromPalette<2>,
            &PixelConverter::ConvertFromPalette<3>, &PixelConverter::ConvertFromPalette<4>};
        (this->*loops[destinationBytes_ - 1])(source, sourcePitch, destination, destinationPitch,
                                              width, height);
        return;
    }
    case Route::Channels:
        break;
    }
    // One loop per pair of pixel sizes, so that loads and stores are plain.
    using Loop = void (PixelConverter::*)(const std::byte*, ptrdiff_t, std::byte*, ptrdiff_t, int,
                                          int) const;
    static constexpr Loop loops[4][4] = {
        {&PixelConverter::ConvertChannels<1, 1>, &PixelConverter::ConvertChannels<1, 2>,
         &PixelConverter::ConvertChannels<1, 3>, &PixelConverter::ConvertChannels<1, 4>},
        {&PixelConverter::ConvertChannels<2, 1>, &PixelConverter::ConvertChannels<2, 2>,
         &PixelConverter::ConvertChannels<2, 3>, &PixelConverter::ConvertChannels<2, 4>},
        {&PixelConverter::ConvertChannels<3, 1>, &PixelConverter::ConvertChannels<3, 2>,
         &PixelConverter::ConvertChannels<3, 3>, &PixelConverter::ConvertChannels<3, 4>},
        {&PixelConverter::ConvertChannels<4, 1>, &PixelConverter::ConvertChannels<4, 2>,
         &PixelConverter::ConvertChannels<4, 3>, &PixelConverter::ConvertChannels<4, 4>},
    };
    (this->*loops[sourceBytes_ - 1][destinationBytes_ - 1])(source, sourcePitch, destination,
                                                            destinationPitch, width, height);
}

} // namespace zv::ddraw
