// Writes Windows bitmap files byte-exactly from an in-memory picture, in every
// layout the platform's reader has to understand, so tests can feed it files
// we made ourselves.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zv::bmp {

// Rows run top to bottom. For an indexed picture (non-empty palette) each
// pixel is a palette index, otherwise it is 0x00RRGGBB.
struct BmpPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB
    std::vector<uint32_t> pixels;

    bool indexed() const { return !palette.empty(); }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

enum class BmpHeader {
    Core, // 12 bytes, 16-bit sizes, 3-byte colour entries
    Info, // 40 bytes (version 3)
    V4,   // 108 bytes
    V5,   // 124 bytes
};

enum class BmpCompression : uint32_t {
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    BitFields = 3,
};

struct BmpFormat {
    uint16_t bitsPerPixel = 24;
    BmpHeader header = BmpHeader::Info;
    BmpCompression compression = BmpCompression::Rgb;
    bool topDown = false;
    // Channel masks written for BitFields; version 4/5 headers carry them
    // inline, version 3 puts them between header and colour table.
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    // Colour table entries written and stored as biClrUsed; 0 writes the full
    // 2^bpp table and stores 0.
    uint32_t colorsUsed = 0;
    // RLE only: runs of index 0 are skipped with delta, end-of-line and
    // end-of-bitmap escapes instead of being encoded, since a reader leaves
    // skipped pixels at index 0.
    bool rleSkipZero = false;
};

// Channel value (0..255) stored in a mask field of the given width: narrower
// fields keep the top bits, wider ones repeat the pattern so 255 stays full
// scale.
uint32_t ReduceChannel(uint32_t value8, int bits);

// Throws std::invalid_argument for a format the picture cannot be stored in.
std::vector<uint8_t> EncodeBmp(const BmpPicture& picture, const BmpFormat& format);

// Returns false when the file cannot be written completely.
bool WriteBinaryFile(const std::string& path, std::span<const uint8_t> bytes);

} // namespace zv::bmp
