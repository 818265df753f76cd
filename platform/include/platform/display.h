// The display as the runtime modules and GDI see it: the screen's pixel
// format and the one way pixels reach a window.
#pragma once

#include <platform/types.h>

namespace zv::display {

struct ScreenFormat {
    int bitsPerPixel;
    DWORD redMask, greenMask, blueMask;
    int width, height;
};

// The X screen's format: depth 24 reports 32 bits per pixel with
// 0xFF0000/0xFF00/0xFF masks, depth 16 reports 16 (565). Without a display:
// 32-bit XRGB, 640 x 480, so off-screen tests run anywhere.
ScreenFormat GetScreenFormat();

// Copies a width x height block of pixels in the screen format (pitch in
// bytes) to the screen rectangle whose top-left corner is (screenX, screenY),
// clipped to the visible part of hwnd's client area. False when hwnd is not a
// window. Called once per frame: it must be fast.
bool PresentToWindow(HWND hwnd, int screenX, int screenY, int width, int height, const void* pixels,
                     int pitch);

} // namespace zv::display
