// The toolkit's side of one window, for the backend's own sources.
#pragma once

#include "window.h"

#include <wx/toplevel.h>
#include <wx/window.h>

#include <cairo.h>

#include <vector>

namespace zv::backend {

// The last picture presented to a window, kept for repainting on expose.
class Frame {
public:
    ~Frame();
    // Stores the pixels at (x, y) in a buffer of the client's size; false
    // when none of them falls inside it.
    bool Store(SIZE client, int bitsPerPixel, int x, int y, int width, int height,
               const void* pixels, int pitch);
    // Paints the stored picture; nothing before the first Store.
    void PaintOn(cairo_t* cr) const;

private:
    void Resize(SIZE client, int bitsPerPixel);

    std::vector<unsigned char> m_pixels;
    cairo_surface_t* m_surface = nullptr;
    SIZE m_size{0, 0};
    int m_bitsPerPixel = 0;
    int m_stride = 0;
};

class NativeWindow {
public:
    HWND hwnd = nullptr;
    wxTopLevelWindow* top = nullptr;
    // The focusable child that fills the top-level window's client area.
    wxWindow* client = nullptr;
    Frame frame;
};

} // namespace zv::backend
