// Reads Windows bitmap files into device-independent bitmaps: the pixel store
// behind the platform's DIB sections. Untrusted input: every size is checked
// against the file before anything is allocated or read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace zv {

struct DibRgbQuad {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

enum class DibError {
    None,
    Unreadable,       // no such file, not a regular file, or a read error
    Truncated,        // ends inside headers, masks or the RLE stream
    BadMagic,         // does not start with "BM"
    BadHeaderSize,    // info header neither 12, 40, 108 nor 124 bytes
    BadDimensions,    // width <= 0, height 0, or height out of range
    TooLarge,         // a side beyond kDibMaxDimension, or a file larger than any valid bitmap
    BadPlanes,        // planes other than 1
    UnsupportedDepth, // bits per pixel not 1, 4, 8, 16, 24 or 32
    UnsupportedCompression, // unknown scheme, or one that does not fit the depth or row order
    BadMasks,               // bit-field masks not contiguous, overlapping or wider than a pixel
    ColorTableOverrun,      // colour table runs past the end of the file
    BadPixelOffset,         // pixel data would start inside the headers or past the file
    PixelDataOverrun,       // pixel rows or the declared RLE stream run past the file
    RleOverrun,             // an RLE run or delta leaves the image
};

const char* DibErrorName(DibError error);

// Keeps every row size and the whole pixel store far inside 32-bit arithmetic
// and makes the largest allocation a small RLE file can ask for bounded.
constexpr int32_t kDibMaxDimension = 16384;

struct Dib {
    int32_t width = 0;
    int32_t height = 0;        // always positive
    uint16_t bitsPerPixel = 0; // 1, 4, 8, 16, 24 or 32; RLE8 and RLE4 files decode to 8 and 4
    uint32_t redMask = 0;      // 16 and 32 bpp only: 555 and 888 unless the file gives bit fields
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    std::vector<DibRgbQuad>
        colorTable;            // as many entries as the file has, at most 2^bpp; empty above 8 bpp
    uint32_t stride = 0;       // bytes per row: width * bpp bits rounded up to 4 bytes
    std::vector<uint8_t> bits; // height rows of stride bytes, top row first, padding zero

    const uint8_t* Row(int y) const { return bits.data() + static_cast<size_t>(y) * stride; }
};

// On failure `out` is left empty.
DibError DecodeDib(std::span<const uint8_t> file, Dib& out);
DibError LoadDibFile(const std::filesystem::path& path, Dib& out);

// Pixel (x, y), counted from the top-left corner, as 0x00RRGGBB. An index past
// the colour table reads as black.
uint32_t DibPixelXrgb(const Dib& dib, int x, int y);
// Row y as `width` 0x00RRGGBB values.
void DibRowToXrgb(const Dib& dib, int y, uint32_t* out);

} // namespace zv
