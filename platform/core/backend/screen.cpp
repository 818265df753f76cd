// The X screen's pixel format, read on a connection of its own so that the
// runtime modules can ask before (or without) any window being opened.
#include "toolkit.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>

bool zv::backend::QueryScreenFormat(display::ScreenFormat& format) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
        return false;
    Display* x = XOpenDisplay(name);
    if (x == nullptr)
        return false;
    int screen = DefaultScreen(x);
    Visual* visual = DefaultVisual(x, screen);
    int depth = DefaultDepth(x, screen);
    // The depth says how many bits carry colour; the pixmap format says how
    // many a pixel occupies in memory (24-bit colour lives in 32-bit pixels).
    int bitsPerPixel = depth;
    int count = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(x, &count)) {
        for (int i = 0; i < count; ++i)
            if (formats[i].depth == depth)
                bitsPerPixel = formats[i].bits_per_pixel;
        XFree(formats);
    }
    format = {bitsPerPixel,
              static_cast<DWORD>(visual->red_mask),
              static_cast<DWORD>(visual->green_mask),
              static_cast<DWORD>(visual->blue_mask),
              DisplayWidth(x, screen),
              DisplayHeight(x, screen)};
    XCloseDisplay(x);
    return true;
}
