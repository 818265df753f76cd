// Device contexts of the screen and of windows: what GDI tells about the
// display. Drawing goes to windows through DirectDraw, not through these.
#include "objects.h"

#include <platform/display.h>
#include <platform/gdi.h>
#include <platform/user.h>

#include <algorithm>

using namespace zv::gdi;

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd && !IsWindow(hWnd))
        return nullptr;
    DeviceContext dc;
    dc.kind = hWnd ? DcKind::Window : DcKind::Screen;
    dc.window = hWnd;
    auto lock = LockObjects();
    return AddDeviceContext(std::move(dc));
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    auto lock = LockObjects();
    const DeviceContext* dc = FindDeviceContext(hDC);
    if (!dc || (dc->kind != DcKind::Screen && dc->kind != DcKind::Window) || dc->window != hWnd)
        return 0;
    RemoveObject(hDC);
    return 1;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    int bitsPerPixel, width, height;
    {
        auto lock = LockObjects();
        const DeviceContext* dc = FindDeviceContext(hdc);
        if (!dc)
            return 0;
        bitsPerPixel = dc->kind == DcKind::Surface ? dc->surfaceFormat.bitsPerPixel : 0;
        width = dc->surfaceWidth;
        height = dc->surfaceHeight;
    }
    // Screen, window and memory contexts all describe the screen.
    if (bitsPerPixel == 0) {
        const zv::display::ScreenFormat screen = zv::display::GetScreenFormat();
        bitsPerPixel = screen.bitsPerPixel;
        width = screen.width;
        height = screen.height;
    }
    const bool palettised = bitsPerPixel <= 8;
    switch (index) {
    case HORZRES:
        return width;
    case VERTRES:
        return height;
    case BITSPIXEL:
        return bitsPerPixel;
    case PLANES:
        return 1;
    case NUMCOLORS:
        // Palettised devices count their static colours; others have no
        // colour table (-1).
        return palettised ? std::min(20, 1 << bitsPerPixel) : -1;
    case RASTERCAPS:
        return palettised ? RC_PALETTE : 0;
    case SIZEPALETTE:
        return palettised ? 1 << bitsPerPixel : 0;
    case NUMRESERVED:
        return palettised ? std::min(20, 1 << bitsPerPixel) : 0;
    default:
        return 0;
    }
}

UINT WINAPI GetSystemPaletteEntries(HDC hdc, UINT iStart, UINT cEntries,
                                    LPPALETTEENTRY pPalEntries) {
    {
        auto lock = LockObjects();
        if (!FindDeviceContext(hdc))
            return 0;
    }
    const std::vector<uint32_t>& palette = SystemPalette();
    if (!pPalEntries)
        return static_cast<UINT>(palette.size());
    if (iStart >= palette.size())
        return 0;
    const UINT count = std::min<UINT>(cEntries, static_cast<UINT>(palette.size() - iStart));
    for (UINT i = 0; i < count; ++i) {
        const uint32_t colour = palette[iStart + i];
        pPalEntries[i] = PALETTEENTRY{static_cast<BYTE>(colour >> 16), static_cast<BYTE>(colour >> 8),
                                      static_cast<BYTE>(colour), 0};
    }
    return count;
}
