#include "dib/dib.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace zv {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint32_t kMaskBlockSize = 12;
// Largest file a valid bitmap needs: the biggest header, masks and colour
// table, then 32-bit rows at the largest size.
constexpr uint64_t kMaxFileSize = kFileHeaderSize + kV5HeaderSize + kMaskBlockSize + 256 * 4 +
                                  uint64_t{kDibMaxDimension} * kDibMaxDimension * 4;

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t ReadU32(const uint8_t* p) {
    return ReadU16(p) | static_cast<uint32_t>(ReadU16(p + 2)) << 16;
}

struct InfoHeader {
    uint32_t size = 0;
    int64_t width = 0;
    int64_t height = 0; // negative for top-down rows
    uint32_t planes = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = kRgb;
    uint32_t sizeImage = 0;
    uint32_t colorsUsed = 0;
};

InfoHeader ParseInfoHeader(const uint8_t* h, uint32_t size) {
    InfoHeader info;
    info.size = size;
    if (size == kCoreHeaderSize) {
        info.width = ReadU16(h + 4);
        info.height = ReadU16(h + 6);
        info.planes = ReadU16(h + 8);
        info.bitsPerPixel = ReadU16(h + 10);
        return info;
    }
    info.width = static_cast<int32_t>(ReadU32(h + 4));
    info.height = static_cast<int32_t>(ReadU32(h + 8));
    info.planes = ReadU16(h + 12);
    info.bitsPerPixel = ReadU16(h + 14);
    info.compression = ReadU32(h + 16);
    info.sizeImage = ReadU32(h + 20);
    info.colorsUsed = ReadU32(h + 32);
    return info;
}

bool ValidDepth(uint32_t bpp, bool core) {
    switch (bpp) {
    case 1:
    case 4:
    case 8:
    case 24:
        return true;
    case 16:
    case 32:
        return !core;
    default:
        return false;
    }
}

bool CompressionFits(const InfoHeader& info) {
    const bool topDown = info.height < 0;
    switch (info.compression) {
    case kRgb:
        return true;
    case kRle8:
        return info.bitsPerPixel == 8 && !topDown;
    case kRle4:
        return info.bitsPerPixel == 4 && !topDown;
    case kBitFields:
        return info.bitsPerPixel == 16 || info.bitsPerPixel == 32;
    default:
        return false;
    }
}

bool ValidMasks(uint32_t red, uint32_t green, uint32_t blue, uint32_t bpp) {
    const uint32_t pixelBits = bpp == 32 ? 0xFFFFFFFFu : (1u << bpp) - 1;
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

void PutPixel(uint8_t* row, int x, uint32_t bpp, uint8_t index) {
    if (bpp == 8) {
        row[x] = index;
    } else {
        const int shift = x % 2 ? 0 : 4;
        row[x / 2] = static_cast<uint8_t>((row[x / 2] & ~(0xF << shift)) | (index & 0xF) << shift);
    }
}

// RLE rows run bottom-up; pixels nothing writes keep index 0.
DibError DecodeRle(std::span<const uint8_t> data, Dib& dib) {
    const uint32_t bpp = dib.bitsPerPixel;
    int x = 0;
    int fileRow = 0;
    size_t pos = 0;
    auto row = [&] {
        return dib.bits.data() + static_cast<size_t>(dib.height - 1 - fileRow) * dib.stride;
    };
    auto fitsInRow = [&](int count) { return fileRow < dib.height && x + count <= dib.width; };

    while (pos + 2 <= data.size()) {
        const uint8_t count = data[pos];
        const uint8_t code = data[pos + 1];
        pos += 2;
        if (count > 0) {
            if (!fitsInRow(count))
                return DibError::RleOverrun;
            uint8_t* out = row();
            for (int i = 0; i < count; ++i)
                PutPixel(out, x + i, bpp, bpp == 8 ? code : (i % 2 ? code & 0xF : code >> 4));
            x += count;
            continue;
        }
        switch (code) {
        case 0: // end of line
            if (fileRow >= dib.height)
                return DibError::RleOverrun;
            x = 0;
            ++fileRow;
            break;
        case 1: // end of bitmap
            return DibError::None;
        case 2: { // delta
            if (pos + 2 > data.size())
                return DibError::Truncated;
            const int dx = data[pos], dy = data[pos + 1];
            pos += 2;
            if (x + dx > dib.width || fileRow + dy > dib.height)
                return DibError::RleOverrun;
            x += dx;
            fileRow += dy;
            break;
        }
        default: { // absolute run of `code` pixels, padded to a 16-bit boundary
            const size_t bytes = bpp == 8 ? code : (code + 1u) / 2;
            if (pos + bytes > data.size())
                return DibError::Truncated;
            if (!fitsInRow(code))
                return DibError::RleOverrun;
            uint8_t* out = row();
            for (int i = 0; i < code; ++i) {
                const uint8_t byte = data[pos + (bpp == 8 ? i : i / 2)];
                PutPixel(out, x + i, bpp, bpp == 8 ? byte : (i % 2 ? byte & 0xF : byte >> 4));
            }
            x += code;
            pos += bytes + bytes % 2;
            break;
        }
        }
    }
    // A stream that ends without end-of-bitmap is complete only if every row was closed.
    return fileRow >= dib.height ? DibError::None : DibError::Truncated;
}

DibError Decode(std::span<const uint8_t> file, Dib& dib) {
    if (file.size() < 2)
        return DibError::Truncated;
    if (file[0] != 'B' || file[1] != 'M')
        return DibError::BadMagic;
    if (file.size() < kFileHeaderSize + 4)
        return DibError::Truncated;
    const uint32_t pixelOffset = ReadU32(&file[10]);
    const uint32_t headerSize = ReadU32(&file[kFileHeaderSize]);
    if (headerSize != kCoreHeaderSize && headerSize != kInfoHeaderSize &&
        headerSize != kV4HeaderSize && headerSize != kV5HeaderSize)
        return DibError::BadHeaderSize;
    if (file.size() < kFileHeaderSize + headerSize)
        return DibError::Truncated;
    const uint8_t* header = &file[kFileHeaderSize];
    const InfoHeader info = ParseInfoHeader(header, headerSize);
    const bool core = headerSize == kCoreHeaderSize;

    if (info.planes != 1)
        return DibError::BadPlanes;
    if (info.width <= 0 || info.height == 0 || info.height == INT32_MIN)
        return DibError::BadDimensions;
    const int64_t absHeight = info.height < 0 ? -info.height : info.height;
    if (info.width > kDibMaxDimension || absHeight > kDibMaxDimension)
        return DibError::TooLarge;
    if (!ValidDepth(info.bitsPerPixel, core))
        return DibError::UnsupportedDepth;
    if (!CompressionFits(info))
        return DibError::UnsupportedCompression;

    dib.width = static_cast<int32_t>(info.width);
    dib.height = static_cast<int32_t>(absHeight);
    dib.bitsPerPixel = static_cast<uint16_t>(info.bitsPerPixel);
    dib.stride = (static_cast<uint32_t>(dib.width) * dib.bitsPerPixel + 31) / 32 * 4;

    uint64_t tableStart = kFileHeaderSize + headerSize;
    if (info.bitsPerPixel == 16) {
        dib.redMask = 0x7C00;
        dib.greenMask = 0x03E0;
        dib.blueMask = 0x001F;
    } else if (info.bitsPerPixel == 32) {
        dib.redMask = 0xFF0000;
        dib.greenMask = 0x00FF00;
        dib.blueMask = 0x0000FF;
    }
    if (info.compression == kBitFields) {
        // Version 4 and 5 headers carry the masks; version 3 puts them right after itself.
        const uint8_t* masks = header + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) {
            if (file.size() < tableStart + kMaskBlockSize)
                return DibError::Truncated;
            tableStart += kMaskBlockSize;
        }
        dib.redMask = ReadU32(masks);
        dib.greenMask = ReadU32(masks + 4);
        dib.blueMask = ReadU32(masks + 8);
        if (!ValidMasks(dib.redMask, dib.greenMask, dib.blueMask, info.bitsPerPixel))
            return DibError::BadMasks;
    }

    uint64_t tableEnd = tableStart;
    if (info.bitsPerPixel <= 8) {
        const uint32_t fullTable = 1u << info.bitsPerPixel;
        const uint32_t entries =
            info.colorsUsed != 0 && info.colorsUsed < fullTable ? info.colorsUsed : fullTable;
        const uint32_t entrySize = core ? 3 : 4;
        tableEnd = tableStart + uint64_t{entries} * entrySize;
        if (tableEnd > file.size())
            return DibError::ColorTableOverrun;
        dib.colorTable.resize(entries);
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* entry = &file[tableStart + i * entrySize];
            dib.colorTable[i] = {entry[0], entry[1], entry[2], 0};
        }
    }
    if (pixelOffset < tableEnd || pixelOffset > file.size())
        return DibError::BadPixelOffset;

    const size_t imageBytes = static_cast<size_t>(dib.stride) * dib.height;
    const std::span<const uint8_t> pixels = file.subspan(pixelOffset);
    if (info.compression == kRle8 || info.compression == kRle4) {
        if (info.sizeImage > pixels.size())
            return DibError::PixelDataOverrun;
        dib.bits.assign(imageBytes, 0);
        return DecodeRle(info.sizeImage ? pixels.first(info.sizeImage) : pixels, dib);
    }
    if (imageBytes > pixels.size())
        return DibError::PixelDataOverrun;
    dib.bits.resize(imageBytes);
    // Padding bits past a row's last pixel are not picture data; keep them zero.
    const uint32_t usedBits = static_cast<uint32_t>(dib.width) * dib.bitsPerPixel;
    const uint32_t partialByte = usedBits / 8;
    const auto partialKeep = static_cast<uint8_t>(0xFF00 >> (usedBits % 8));
    for (int y = 0; y < dib.height; ++y) {
        const int fileRow = info.height < 0 ? y : dib.height - 1 - y;
        uint8_t* row = &dib.bits[static_cast<size_t>(y) * dib.stride];
        std::memcpy(row, &pixels[static_cast<size_t>(fileRow) * dib.stride], dib.stride);
        if (partialByte < dib.stride) {
            row[partialByte] &= partialKeep;
            std::memset(row + partialByte + 1, 0, dib.stride - partialByte - 1);
        }
    }
    return DibError::None;
}

// Scales one mask field to 8 bits: wide fields keep their top bits, narrow
// ones repeat their pattern so full scale reads as 255.
class ChannelReader {
public:
    explicit ChannelReader(uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), bits_(std::popcount(mask)) {}

    uint32_t operator()(uint32_t pixel) const {
        if (bits_ == 0)
            return 0;
        const uint32_t value = (pixel & mask_) >> shift_;
        if (bits_ >= 8)
            return value >> (bits_ - 8);
        uint32_t scaled = 0;
        for (int shift = 8 - bits_; shift > -bits_; shift -= bits_)
            scaled |= shift >= 0 ? value << shift : value >> -shift;
        return scaled & 0xFF;
    }

private:
    uint32_t mask_;
    int shift_;
    int bits_;
};

class PixelConverter {
public:
    explicit PixelConverter(const Dib& dib)
        : dib_(dib), red_(dib.redMask), green_(dib.greenMask), blue_(dib.blueMask) {}

    uint32_t operator()(const uint8_t* row, int x) const {
        switch (dib_.bitsPerPixel) {
        case 1:
            return Indexed(row[x / 8] >> (7 - x % 8) & 1);
        case 4:
            return Indexed(row[x / 2] >> (x % 2 ? 0 : 4) & 0xF);
        case 8:
            return Indexed(row[x]);
        case 16:
            return Masked(ReadU16(row + 2 * x));
        case 24:
            return uint32_t{row[3 * x + 2]} << 16 | uint32_t{row[3 * x + 1]} << 8 | row[3 * x];
        case 32:
            return Masked(ReadU32(row + 4 * x));
        default:
            return 0;
        }
    }

private:
    uint32_t Indexed(uint32_t index) const {
        if (index >= dib_.colorTable.size())
            return 0;
        const DibRgbQuad& c = dib_.colorTable[index];
        return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
    }
    uint32_t Masked(uint32_t pixel) const {
        return red_(pixel) << 16 | green_(pixel) << 8 | blue_(pixel);
    }

    const Dib& dib_;
    ChannelReader red_, green_, blue_;
};

} // namespace

const char* DibErrorName(DibError error) {
    switch (error) {
    case DibError::None:
        return "None";
    case DibError::Unreadable:
        return "Unreadable";
    case DibError::Truncated:
        return "Truncated";
    case DibError::BadMagic:
        return "BadMagic";
    case DibError::BadHeaderSize:
        return "BadHeaderSize";
    case DibError::BadDimensions:
        return "BadDimensions";
    case DibError::TooLarge:
        return "TooLarge";
    case DibError::BadPlanes:
        return "BadPlanes";
    case DibError::UnsupportedDepth:
        return "UnsupportedDepth";
    case DibError::UnsupportedCompression:
        return "UnsupportedCompression";
    case DibError::BadMasks:
        return "BadMasks";
    case DibError::ColorTableOverrun:
        return "ColorTableOverrun";
    case DibError::BadPixelOffset:
        return "BadPixelOffset";
    case DibError::PixelDataOverrun:
        return "PixelDataOverrun";
    case DibError::RleOverrun:
        return "RleOverrun";
    }
    return "Unknown";
}

DibError DecodeDib(std::span<const uint8_t> file, Dib& out) {
    out = Dib{};
    const DibError error = Decode(file, out);
    if (error != DibError::None)
        out = Dib{};
    return error;
}

DibError LoadDibFile(const std::filesystem::path& path, Dib& out) {
    out = Dib{};
    struct FileCloser {
        void operator()(FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return DibError::Unreadable;
    // Directories and devices open fine on POSIX; only a regular file has a
    // size to trust.
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
        return DibError::Unreadable;
    if (static_cast<uint64_t>(info.st_size) > kMaxFileSize)
        return DibError::TooLarge;
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return DibError::Unreadable;
    return DecodeDib(bytes, out);
}

uint32_t DibPixelXrgb(const Dib& dib, int x, int y) {
    return PixelConverter(dib)(dib.Row(y), x);
}

void DibRowToXrgb(const Dib& dib, int y, uint32_t* out) {
    const PixelConverter convert(dib);
    const uint8_t* row = dib.Row(y);
    for (int x = 0; x < dib.width; ++x)
        out[x] = convert(row, x);
}

} // namespace zv
