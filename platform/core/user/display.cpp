// The display: the screen's format and presenting pixels into a window.
#include <platform/display.h>

#include "../backend/toolkit.h"
#include "../backend/window.h"
#include "window_table.h"

namespace zv::display {

ScreenFormat GetScreenFormat() {
    // Asked once: the runtime modules query it for every surface they make.
    static const ScreenFormat format = [] {
        ScreenFormat screen{32, 0xFF0000, 0xFF00, 0xFF, 640, 480};
        backend::QueryScreenFormat(screen);
        return screen;
    }();
    return format;
}

bool PresentToWindow(HWND hwnd, int screenX, int screenY, int width, int height, const void* pixels,
                     int pitch) {
    auto* native = user::NativeOf(hwnd);
    if (native == nullptr)
        return false;
    if (width <= 0 || height <= 0 || pixels == nullptr)
        return true;
    POINT origin = backend::ClientOrigin(*native);
    backend::Present(*native, screenX - origin.x, screenY - origin.y, width, height, pixels, pitch,
                     GetScreenFormat().bitsPerPixel);
    return true;
}

} // namespace zv::display
