#include "bmp/bmp_writer.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <stdexcept>

namespace zv::bmp {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kSrgbColorSpace = 0x73524742; // 'sRGB'
constexpr uint32_t kImageIntent = 4;
constexpr int32_t kPixelsPerMetre = 2835; // 72 dpi

class ByteSink {
public:
    explicit ByteSink(std::vector<uint8_t>& out) : out_(out) {}
    void u8(uint32_t v) { out_.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v);
        u16(v >> 16);
    }
    void zeros(size_t n) { out_.insert(out_.end(), n, 0); }

private:
    std::vector<uint8_t>& out_;
};

int HeaderSize(BmpHeader header) {
    switch (header) {
    case BmpHeader::Core:
        return 12;
    case BmpHeader::Info:
        return 40;
    case BmpHeader::V4:
        return 108;
    case BmpHeader::V5:
        return 124;
    }
    throw std::invalid_argument("unknown header");
}

uint32_t TableEntries(const BmpFormat& format) {
    if (format.bitsPerPixel > 8)
        return 0;
    return format.colorsUsed ? format.colorsUsed : 1u << format.bitsPerPixel;
}

struct Masks {
    uint32_t red, green, blue;
};

Masks EffectiveMasks(const BmpFormat& format) {
    if (format.compression == BmpCompression::BitFields)
        return {format.redMask, format.greenMask, format.blueMask};
    if (format.bitsPerPixel == 16)
        return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

uint32_t PackChannel(uint32_t value8, uint32_t mask) {
    if (mask == 0)
        return 0;
    return ReduceChannel(value8, std::popcount(mask)) << std::countr_zero(mask);
}

uint32_t PackRgb(uint32_t rgb, const Masks& masks) {
    return PackChannel((rgb >> 16) & 0xFF, masks.red) |
           PackChannel((rgb >> 8) & 0xFF, masks.green) | PackChannel(rgb & 0xFF, masks.blue);
}

void Validate(const BmpPicture& picture, const BmpFormat& format) {
    const int bpp = format.bitsPerPixel;
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
        throw std::invalid_argument("picture size does not match its pixels");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        throw std::invalid_argument("unsupported bit depth");
    if (picture.indexed() != (bpp <= 8))
        throw std::invalid_argument("indexed pictures need 1, 4 or 8 bpp");
    const bool core = format.header == BmpHeader::Core;
    if (core &&
        (format.topDown || format.compression != BmpCompression::Rgb || bpp == 16 || bpp == 32 ||
         format.colorsUsed != 0 || picture.width > 0xFFFF || picture.height > 0xFFFF))
        throw std::invalid_argument("the core header stores only plain bottom-up 1/4/8/24 bpp");
    switch (format.compression) {
    case BmpCompression::Rgb:
        break;
    case BmpCompression::Rle8:
    case BmpCompression::Rle4:
        if (bpp != (format.compression == BmpCompression::Rle8 ? 8 : 4) || format.topDown)
            throw std::invalid_argument("RLE needs matching depth and bottom-up rows");
        break;
    case BmpCompression::BitFields:
        if (bpp != 16 && bpp != 32)
            throw std::invalid_argument("bit fields need 16 or 32 bpp");
        break;
    default:
        throw std::invalid_argument("unknown compression");
    }
    if (bpp <= 8) {
        const uint32_t entries = TableEntries(format);
        if (entries > (1u << bpp))
            throw std::invalid_argument("colour table longer than the depth allows");
        for (uint32_t index : picture.pixels)
            if (index >= entries)
                throw std::invalid_argument("pixel index outside the colour table");
    }
}

uint32_t Stride(int width, int bpp) {
    return (static_cast<uint32_t>(width) * bpp + 31) / 32 * 4;
}

std::vector<uint8_t> EncodeRows(const BmpPicture& picture, const BmpFormat& format) {
    const int bpp = format.bitsPerPixel;
    const uint32_t stride = Stride(picture.width, bpp);
    const Masks masks = EffectiveMasks(format);
    std::vector<uint8_t> data(static_cast<size_t>(stride) * picture.height, 0);
    for (int fileRow = 0; fileRow < picture.height; ++fileRow) {
        const int y = format.topDown ? fileRow : picture.height - 1 - fileRow;
        uint8_t* row = data.data() + static_cast<size_t>(fileRow) * stride;
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t value = picture.at(x, y);
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                const int bit = x * bpp;
                row[bit / 8] |= static_cast<uint8_t>(value << (8 - bpp - bit % 8));
                break;
            }
            case 16: {
                const uint32_t packed = PackRgb(value, masks);
                row[2 * x] = static_cast<uint8_t>(packed);
                row[2 * x + 1] = static_cast<uint8_t>(packed >> 8);
                break;
            }
            case 24:
                row[3 * x] = static_cast<uint8_t>(value);
                row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
                row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
                break;
            case 32: {
                const uint32_t packed = PackRgb(value, masks);
                for (int i = 0; i < 4; ++i)
                    row[4 * x + i] = static_cast<uint8_t>(packed >> (8 * i));
                break;
            }
            }
        }
    }
    return data;
}

// Run-length encoder for both RLE flavours. In RLE4 a run repeats a pair of
// pixels alternately, so "run" means an alternating sequence there.
class RleEncoder {
public:
    RleEncoder(const BmpPicture& picture, const BmpFormat& format)
        : picture_(picture), nibbles_(format.compression == BmpCompression::Rle4),
          skipZero_(format.rleSkipZero) {}

    std::vector<uint8_t> Encode() {
        // File rows run bottom-up; position (x, row) counts in file order.
        for (int row = 0; row < picture_.height;) {
            int x = 0;
            while (x < picture_.width) {
                int nextX = 0, nextRow = 0;
                if (skipZero_ && FindNextNonZero(x, row, nextX, nextRow) &&
                    (nextRow > row || nextX - x >= 4)) {
                    MoveTo(x, row, nextX, nextRow);
                    continue;
                }
                if (skipZero_ && !FindNextNonZero(x, row, nextX, nextRow)) {
                    Emit({0, 1});
                    return out_;
                }
                const int end = skipZero_ ? SegmentEnd(x, row) : picture_.width;
                EncodeSegment(row, x, end);
                x = end;
            }
            ++row;
            Emit({0, static_cast<uint8_t>(row == picture_.height ? 1 : 0)});
        }
        return out_;
    }

private:
    uint32_t Pixel(int x, int fileRow) const {
        return picture_.at(x, picture_.height - 1 - fileRow);
    }

    void Emit(std::initializer_list<uint8_t> bytes) { out_.insert(out_.end(), bytes); }

    bool FindNextNonZero(int x, int row, int& outX, int& outRow) const {
        for (; row < picture_.height; ++row, x = 0)
            for (; x < picture_.width; ++x)
                if (Pixel(x, row) != 0) {
                    outX = x;
                    outRow = row;
                    return true;
                }
        return false;
    }

    // Moves the write position with escapes only: end-of-line when the target
    // lies left of us, then deltas of at most 255 in each direction.
    void MoveTo(int& x, int& row, int targetX, int targetRow) {
        if (targetRow > row && targetX < x) {
            Emit({0, 0});
            x = 0;
            ++row;
        }
        while (x != targetX || row != targetRow) {
            const int dx = std::min(targetX - x, 255), dy = std::min(targetRow - row, 255);
            Emit({0, 2, static_cast<uint8_t>(dx), static_cast<uint8_t>(dy)});
            x += dx;
            row += dy;
        }
    }

    // Stops before the first run of four zeros or at the row's end, so the
    // zeros can be skipped instead of encoded.
    int SegmentEnd(int x, int row) const {
        int zeros = 0;
        for (int i = x; i < picture_.width; ++i) {
            zeros = Pixel(i, row) == 0 ? zeros + 1 : 0;
            if (zeros == 4)
                return i - 3;
        }
        return picture_.width - zeros;
    }

    int RunLength(int row, int x, int end) const {
        int n = 1;
        while (x + n < end && n < 255 &&
               Pixel(x + n, row) == Pixel(x + (nibbles_ ? n % 2 : 0), row))
            ++n;
        return n;
    }

    void EmitRun(int row, int x, int n) {
        const uint32_t first = Pixel(x, row);
        const uint32_t value = nibbles_ ? first << 4 | (n > 1 ? Pixel(x + 1, row) : first) : first;
        Emit({static_cast<uint8_t>(n), static_cast<uint8_t>(value)});
    }

    void EmitAbsolute(int row, int x, int n) {
        const size_t start = out_.size();
        Emit({0, static_cast<uint8_t>(n)});
        for (int i = 0; i < n; ++i) {
            if (!nibbles_)
                out_.push_back(static_cast<uint8_t>(Pixel(x + i, row)));
            else if (i % 2 == 0)
                out_.push_back(static_cast<uint8_t>(Pixel(x + i, row) << 4));
            else
                out_.back() |= static_cast<uint8_t>(Pixel(x + i, row));
        }
        if ((out_.size() - start) % 2)
            out_.push_back(0);
    }

    void EncodeSegment(int row, int x, int end) {
        while (x < end) {
            const int run = RunLength(row, x, end);
            if (run >= 3) {
                EmitRun(row, x, run);
                x += run;
                continue;
            }
            int literal = 0;
            while (x + literal < end && literal < 255 && RunLength(row, x + literal, end) < 3)
                ++literal;
            if (literal >= 3) {
                EmitAbsolute(row, x, literal);
                x += literal;
            } else {
                // Absolute mode needs at least three pixels; shorter stretches go as runs.
                const int n = RunLength(row, x, x + literal);
                EmitRun(row, x, n);
                x += n;
            }
        }
    }

    const BmpPicture& picture_;
    const bool nibbles_;
    const bool skipZero_;
    std::vector<uint8_t> out_;
};

} // namespace

uint32_t ReduceChannel(uint32_t value8, int bits) {
    if (bits <= 8)
        return value8 >> (8 - bits);
    uint64_t wide = 0;
    for (int shift = bits - 8; shift > -8; shift -= 8)
        wide |= shift >= 0 ? uint64_t{value8} << shift : value8 >> -shift;
    return static_cast<uint32_t>(wide);
}

std::vector<uint8_t> EncodeBmp(const BmpPicture& picture, const BmpFormat& format) {
    Validate(picture, format);
    const bool rle =
        format.compression == BmpCompression::Rle8 || format.compression == BmpCompression::Rle4;
    const std::vector<uint8_t> pixels =
        rle ? RleEncoder(picture, format).Encode() : EncodeRows(picture, format);

    const bool core = format.header == BmpHeader::Core;
    const uint32_t headerSize = HeaderSize(format.header);
    const bool separateMasks =
        format.header == BmpHeader::Info && format.compression == BmpCompression::BitFields;
    const uint32_t entries = TableEntries(format);
    const uint32_t tableSize = entries * (core ? 3 : 4);
    const uint32_t pixelOffset =
        kFileHeaderSize + headerSize + (separateMasks ? 12 : 0) + tableSize;
    const uint32_t fileSize = pixelOffset + static_cast<uint32_t>(pixels.size());

    std::vector<uint8_t> file;
    file.reserve(fileSize);
    ByteSink out(file);
    out.u8('B');
    out.u8('M');
    out.u32(fileSize);
    out.u32(0);
    out.u32(pixelOffset);

    out.u32(headerSize);
    if (core) {
        out.u16(picture.width);
        out.u16(picture.height);
        out.u16(1);
        out.u16(format.bitsPerPixel);
    } else {
        out.u32(picture.width);
        out.u32(format.topDown ? -static_cast<uint32_t>(picture.height) : picture.height);
        out.u16(1);
        out.u16(format.bitsPerPixel);
        out.u32(static_cast<uint32_t>(format.compression));
        out.u32(static_cast<uint32_t>(pixels.size()));
        out.u32(kPixelsPerMetre);
        out.u32(kPixelsPerMetre);
        out.u32(format.colorsUsed);
        out.u32(0);
    }
    const Masks masks =
        format.compression == BmpCompression::BitFields ? EffectiveMasks(format) : Masks{0, 0, 0};
    if (separateMasks) {
        out.u32(masks.red);
        out.u32(masks.green);
        out.u32(masks.blue);
    }
    if (format.header == BmpHeader::V4 || format.header == BmpHeader::V5) {
        out.u32(masks.red);
        out.u32(masks.green);
        out.u32(masks.blue);
        out.u32(0); // alpha
        out.u32(kSrgbColorSpace);
        out.zeros(36 + 12); // endpoints and gamma, unused for sRGB
        if (format.header == BmpHeader::V5) {
            out.u32(kImageIntent);
            out.zeros(12); // no profile, reserved
        }
    }
    for (uint32_t i = 0; i < entries; ++i) {
        const uint32_t rgb = i < picture.palette.size() ? picture.palette[i] : 0;
        out.u8(rgb);
        out.u8(rgb >> 8);
        out.u8(rgb >> 16);
        if (!core)
            out.u8(0);
    }
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

bool WriteBinaryFile(const std::string& path, std::span<const uint8_t> bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    // fwrite must not see the null data pointer of an empty span.
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace zv::bmp
