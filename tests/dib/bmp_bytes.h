// Hand assembly of bitmap files, independent of the writer under test, for
// fixtures and for damaging files on purpose.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace zv::test {

class Bytes {
public:
    Bytes& u8(std::initializer_list<uint8_t> values) {
        data.insert(data.end(), values);
        return *this;
    }
    Bytes& u16(uint32_t v) { return u8({static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); }
    Bytes& u32(uint32_t v) { return u16(v).u16(v >> 16); }
    Bytes& append(const std::vector<uint8_t>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    std::vector<uint8_t> data;
};

inline void PutU32(std::vector<uint8_t>& file, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        file[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutU16(std::vector<uint8_t>& file, size_t offset, uint32_t v) {
    file[offset] = static_cast<uint8_t>(v);
    file[offset + 1] = static_cast<uint8_t>(v >> 8);
}

// Field offsets of a file with a version 3 info header.
enum Offset : size_t {
    kFileSize = 2,
    kPixelOffset = 10,
    kHeaderSize = 14,
    kWidth = 18,
    kHeight = 22,
    kPlanes = 26,
    kBitCount = 28,
    kCompression = 30,
    kSizeImage = 34,
    kColorsUsed = 46,
    kAfterHeader = 54,
};

struct InfoFields {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 8;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
};

// File header + version 3 info header + `extra` (masks, colour table) + pixels,
// with sizes and offsets filled in consistently.
inline std::vector<uint8_t> InfoFile(const InfoFields& f, const std::vector<uint8_t>& extra,
                                     const std::vector<uint8_t>& pixels) {
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(extra.size());
    Bytes b;
    b.u8({'B', 'M'}).u32(offset + static_cast<uint32_t>(pixels.size())).u32(0).u32(offset);
    b.u32(40).u32(f.width).u32(f.height).u16(1).u16(f.bitCount).u32(f.compression);
    b.u32(static_cast<uint32_t>(pixels.size())).u32(0).u32(0).u32(f.colorsUsed).u32(0);
    return b.append(extra).append(pixels).data;
}

// Colour table entries 0x00RRGGBB as RGBQUADs.
inline std::vector<uint8_t> Table(std::initializer_list<uint32_t> colours) {
    Bytes b;
    for (uint32_t c : colours)
        b.u8({static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16),
              0});
    return b.data;
}

} // namespace zv::test
