// Graphics device interface: colour records, bitmaps and the constants the
// program passes to GDI.
#pragma once

#include <platform/types.h>

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};
using LPPALETTEENTRY = PALETTEENTRY*;

// Palette-entry flags.
inline constexpr BYTE PC_RESERVED = 0x01;
inline constexpr BYTE PC_EXPLICIT = 0x02;
inline constexpr BYTE PC_NOCOLLAPSE = 0x04;

// A colour-table entry of a device-independent bitmap (blue first).
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
using LPBITMAP = BITMAP*;

// GetDeviceCaps index of the colour depth.
inline constexpr int BITSPIXEL = 12;

// Raster operation: copy the source.
inline constexpr DWORD SRCCOPY = 0x00CC0020;

static_assert(sizeof(PALETTEENTRY) == 4);
static_assert(sizeof(RGBQUAD) == 4);
