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

// GetDeviceCaps indices.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int RASTERCAPS = 38;
inline constexpr int SIZEPALETTE = 104;
inline constexpr int NUMRESERVED = 106;

// RASTERCAPS bit of a palettised device.
inline constexpr int RC_PALETTE = 0x0100;

// Raster operations: copy the source; fill with black or white.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Handles are opaque and checked on every call: a deleted, released or
// foreign handle makes the call fail, never crash.
extern "C" {

// Device contexts of a window (null: the whole screen), given back with
// ReleaseDC. GetDC is null for a handle that is not a window; ReleaseDC is 1
// when the context was released, else 0.
HDC WINAPI GetDC(HWND hWnd);
int WINAPI ReleaseDC(HWND hWnd, HDC hDC);

// HORZRES, VERTRES, BITSPIXEL and the palette capabilities of the screen
// (or, for a surface context, of the surface); PLANES is 1. 0 for unknown
// indices and invalid contexts.
int WINAPI GetDeviceCaps(HDC hdc, int index);

// A memory context (compatible with the screen for null) holding a 1 x 1
// monochrome bitmap until another is selected.
HDC WINAPI CreateCompatibleDC(HDC hdc);
// Memory contexts only; the selected bitmap becomes free again.
BOOL WINAPI DeleteDC(HDC hdc);
// Selects a bitmap into a memory context and returns the one it replaces;
// null when the bitmap is selected into another context or either handle is
// not what it must be.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h);
// FALSE for a bitmap still selected into a context and for non-bitmaps.
BOOL WINAPI DeleteObject(HGDIOBJ ho);
// Fills a BITMAP (c at least its size) and returns its size; null pv asks
// for the size. 0 for anything that is not a bitmap.
int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv);
// Colour-table entries of the DIB section selected into a memory context;
// returns how many were copied, 0 above 8 bits per pixel.
UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq);
// Entries of the screen's system palette; returns how many were copied.
UINT WINAPI GetSystemPaletteEntries(HDC hdc, UINT iStart, UINT cEntries,
                                    LPPALETTEENTRY pPalEntries);

// Copies between contexts that hold pixels (memory and surface contexts),
// converting to the destination's format and clipping to both. SRCCOPY,
// BLACKNESS and WHITENESS; FALSE for other operations.
BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);

// IMAGE_BITMAP only, cx and cy 0: a DIB section of the depth and colour
// table of the bitmap resource `name` of hInst or, with LR_LOADFROMFILE, of
// the file `name`. Null when there is none or it is unreadable.
HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad);
}

static_assert(sizeof(PALETTEENTRY) == 4);
static_assert(sizeof(RGBQUAD) == 4);
