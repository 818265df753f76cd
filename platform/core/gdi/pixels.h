// Pixel formats GDI reads and writes, and the converting copy behind BitBlt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zv::gdi {

struct PixelFormat {
    int bitsPerPixel = 0;
    // 16, 24 and 32 bits: contiguous, disjoint fields inside the pixel; a
    // zero mask is a channel the format lacks.
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    // 1, 4 and 8 bits: 0x00RRGGBB per index; indices past the end read black.
    std::vector<uint32_t> palette;

    bool Indexed() const { return bitsPerPixel <= 8; }
};

// A direct format with the masks given, or the defaults when all are zero:
// 555 for 16 bits, 888 for 24 and 32. False for an unusable depth or masks
// that overlap, have gaps or leave the pixel.
bool MakeDirectFormat(int bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue,
                      PixelFormat& out);

struct PixelView {
    const PixelFormat* format = nullptr;
    uint8_t* top = nullptr; // row 0, the top row
    ptrdiff_t pitch = 0;    // negative for bottom-up storage
    int width = 0;
    int height = 0;

    uint8_t* Row(int y) const { return top + pitch * y; }
};

// Copies a w x h block that lies inside both views, converting each pixel
// from the source's format to the destination's. Indexed destinations take
// the entry of equal colour at the same index where the source is indexed
// too, else the nearest colour of their palette (first of equals).
void CopyPixels(const PixelView& dst, int dx, int dy, const PixelView& src, int sx, int sy, int w,
                int h);

// Fills a w x h block inside the view with the colour (0x00RRGGBB), or with
// the nearest palette entry.
void FillPixels(const PixelView& dst, int x, int y, int w, int h, uint32_t xrgb);

// The screen's 256 palette entries as 0x00RRGGBB: the 20 static colours at
// 0-9 and 246-255, a 6 x 6 x 6 colour cube and 20 greys between them.
const std::vector<uint32_t>& SystemPalette();

// Index of the palette entry nearest to the colour (squared RGB distance).
uint8_t NearestIndex(const std::vector<uint32_t>& palette, uint32_t xrgb);

} // namespace zv::gdi
