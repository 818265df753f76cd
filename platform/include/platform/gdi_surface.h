// Device contexts over pixels that GDI does not own, such as a DirectDraw
// surface's memory, so that BitBlt can convert a bitmap straight into them.
#pragma once

#include <platform/gdi.h>

namespace zv::gdi {

// Pixels a device context can draw into, owned by someone else (a DirectDraw
// surface). `bits` is the top row; each row is `pitch` bytes further on.
// bitsPerPixel 1, 4 or 8: palettised through `palette` (paletteSize entries,
// copied when the context is made; null: the system palette). 16, 24 or 32:
// the three masks, all zero for the defaults (555 for 16, 888 otherwise).
// Pixel bits outside the three masks (an X or alpha byte, the top bit of
// 1555) are written as ones, so alpha formats come out opaque.
struct SurfacePixels {
    void* bits;
    int pitch;
    int width;
    int height;
    int bitsPerPixel;
    DWORD redMask, greenMask, blueMask;
    const PALETTEENTRY* palette;
    int paletteSize;
};

// Null for formats it cannot draw into: no bits, an empty size, a pitch
// shorter than a row, a depth other than 1, 4, 8, 16, 24 or 32, or masks
// that overlap, have gaps or leave the pixel.
HDC CreateSurfaceDC(const SurfacePixels& pixels);
// Ignores anything that is not a live surface context.
void DeleteSurfaceDC(HDC dc);

} // namespace zv::gdi
