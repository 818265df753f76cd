#include "x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::vector<uint32_t> ScreenPixels(const RECT& area) {
    std::vector<uint32_t> pixels;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return pixels;
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (XImage* image = XGetImage(display, DefaultRootWindow(display), area.left, area.top,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap)) {
        pixels.reserve(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return pixels;
}
