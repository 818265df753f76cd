// Geometry and presentation of the toolkit's windows.
#include "native_window.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>

namespace zv::backend {

Frame::~Frame() {
    if (m_surface != nullptr)
        cairo_surface_destroy(m_surface);
}

void Frame::Resize(SIZE client, int bitsPerPixel) {
    cairo_format_t format = bitsPerPixel == 16 ? CAIRO_FORMAT_RGB16_565 : CAIRO_FORMAT_RGB24;
    int stride = cairo_format_stride_for_width(format, client.cx);
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * client.cy);
    // What was shown stays where it overlaps, so an expose right after a
    // resize still shows the last picture rather than garbage.
    if (bitsPerPixel == m_bitsPerPixel) {
        int rows = std::min(client.cy, m_size.cy);
        size_t bytes = std::min(stride, m_stride);
        for (int row = 0; row < rows; ++row)
            std::memcpy(&pixels[static_cast<size_t>(row) * stride],
                        &m_pixels[static_cast<size_t>(row) * m_stride], bytes);
    }
    if (m_surface != nullptr)
        cairo_surface_destroy(m_surface);
    m_pixels = std::move(pixels);
    m_surface = cairo_image_surface_create_for_data(m_pixels.data(), format, client.cx,
                                                    client.cy, stride);
    m_size = client;
    m_bitsPerPixel = bitsPerPixel;
    m_stride = stride;
}

bool Frame::Store(SIZE client, int bitsPerPixel, int x, int y, int width, int height,
                  const void* pixels, int pitch) {
    if (client.cx != m_size.cx || client.cy != m_size.cy || bitsPerPixel != m_bitsPerPixel)
        Resize(client, bitsPerPixel);
    int left = std::max(x, 0), top = std::max(y, 0);
    int right = std::min(x + width, static_cast<int>(client.cx));
    int bottom = std::min(y + height, static_cast<int>(client.cy));
    if (left >= right || top >= bottom)
        return false;
    const int bytesPerPixel = bitsPerPixel / 8;
    const auto* source = static_cast<const unsigned char*>(pixels);
    const size_t rowBytes = static_cast<size_t>(right - left) * bytesPerPixel;
    cairo_surface_flush(m_surface);
    for (int row = top; row < bottom; ++row)
        std::memcpy(&m_pixels[static_cast<size_t>(row) * m_stride + left * bytesPerPixel],
                    source + static_cast<ptrdiff_t>(row - y) * pitch +
                        static_cast<ptrdiff_t>(left - x) * bytesPerPixel,
                    rowBytes);
    cairo_surface_mark_dirty_rectangle(m_surface, left, top, right - left, bottom - top);
    return true;
}

void Frame::PaintOn(cairo_t* cr) const {
    if (m_surface == nullptr)
        return;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, m_surface, 0, 0);
    cairo_rectangle(cr, 0, 0, m_size.cx, m_size.cy);
    cairo_fill(cr);
}

SIZE ClientSize(const NativeWindow& window) {
    wxSize size = window.top->GetClientSize();
    return {size.x, size.y};
}

POINT ClientOrigin(const NativeWindow& window) {
    wxPoint origin = window.top->ClientToScreen(wxPoint(0, 0));
    return {origin.x, origin.y};
}

void Present(NativeWindow& window, int clientX, int clientY, int width, int height,
             const void* pixels, int pitch, int bitsPerPixel) {
    if (!window.frame.Store(ClientSize(window), bitsPerPixel, clientX, clientY, width, height,
                            pixels, pitch))
        return;
    GdkWindow* target = window.client->GTKGetDrawingWindow();
    if (target == nullptr || !window.top->IsShownOnScreen())
        return;
    // Painting right away, outside the toolkit's paint cycle, is what keeps a
    // frame's cost low; the frame-clock path would add a frame of latency.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    cairo_t* cr = gdk_cairo_create(target);
#pragma GCC diagnostic pop
    cairo_rectangle(cr, clientX, clientY, width, height);
    cairo_clip(cr);
    window.frame.PaintOn(cr);
    cairo_destroy(cr);
}

} // namespace zv::backend
