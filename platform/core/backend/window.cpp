// Geometry and presentation of the toolkit's windows.
#include "native_window.h"

#include <wx/bitmap.h>
#include <wx/image.h>

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
    m_surface =
        cairo_image_surface_create_for_data(m_pixels.data(), format, client.cx, client.cy, stride);
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

namespace {

// A context on the window's client area: the one of the paint in progress,
// or a new one outside the toolkit's paint cycle, which is what keeps a
// presented frame's cost low.
class ClientContext {
public:
    explicit ClientContext(NativeWindow& window) {
        if (window.paintContext != nullptr) {
            m_cr = window.paintContext;
            cairo_save(m_cr);
            return;
        }
        GdkWindow* target = window.client->GTKGetDrawingWindow();
        if (target == nullptr || !window.client->IsShownOnScreen())
            return;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        m_cr = gdk_cairo_create(target);
#pragma GCC diagnostic pop
        m_owned = true;
    }
    ~ClientContext() {
        if (m_cr == nullptr)
            return;
        if (m_owned)
            cairo_destroy(m_cr);
        else
            cairo_restore(m_cr);
    }
    ClientContext(const ClientContext&) = delete;
    ClientContext& operator=(const ClientContext&) = delete;

    cairo_t* get() const {
        return m_cr;
    }

private:
    cairo_t* m_cr = nullptr;
    bool m_owned = false;
};

} // namespace

wxWindow* NativeWindow::Widget() const {
    return top != nullptr ? static_cast<wxWindow*>(top) : client;
}

SIZE ClientSize(const NativeWindow& window) {
    wxSize size = window.Widget()->GetClientSize();
    return {size.x, size.y};
}

POINT ClientOrigin(const NativeWindow& window) {
    if (window.top != nullptr && !window.mapped) {
        // The server cannot place a window that is not mapped yet: work
        // from where it will go, with the frame the toolkit expects.
        wxPoint at = window.top->GetPosition();
        wxSize frame = window.top->GetSize() - window.top->GetClientSize();
        int side = frame.x / 2;
        return {at.x + side, at.y + frame.y - side};
    }
    wxPoint origin = window.Widget()->ClientToScreen(wxPoint(0, 0));
    return {origin.x, origin.y};
}

RECT WindowRect(const NativeWindow& window) {
    wxRect rect = window.Widget()->GetScreenRect();
    return {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
}

void SetClientSize(NativeWindow& window, SIZE size) {
    window.Widget()->SetClientSize(size.cx, size.cy);
}

void MoveTo(NativeWindow& window, POINT topLeft) {
    window.Widget()->Move(topLeft.x, topLeft.y);
    if (window.top != nullptr && !window.mapped) {
        window.hasPlacement = true;
        window.placement = topLeft;
        window.placementCentred = false;
    }
}

void MoveCentredTo(NativeWindow& window, POINT topLeft) {
    MoveTo(window, topLeft);
    if (window.hasPlacement && !window.mapped) {
        RECT outer = WindowRect(window);
        window.placementCentred = true;
        window.placementSize = {outer.right - outer.left, outer.bottom - outer.top};
    }
}

void Present(NativeWindow& window, int clientX, int clientY, int width, int height,
             const void* pixels, int pitch, int bitsPerPixel) {
    if (!window.frame.Store(ClientSize(window), bitsPerPixel, clientX, clientY, width, height,
                            pixels, pitch))
        return;
    ClientContext cr(window);
    if (cr.get() == nullptr)
        return;
    cairo_rectangle(cr.get(), clientX, clientY, width, height);
    cairo_clip(cr.get());
    window.frame.PaintOn(cr.get());
    // The frame goes to the server now, not when the loop next waits.
    cairo_surface_flush(cairo_get_target(cr.get()));
    gdk_display_flush(gdk_display_get_default());
}

void RepaintKeptFrame(NativeWindow& window) {
    ClientContext cr(window);
    if (cr.get() != nullptr)
        window.frame.PaintOn(cr.get());
}

void EraseBackground(NativeWindow& window) {
    ClientContext cr(window);
    if (cr.get() == nullptr)
        return;
    wxColour face = window.client->GetBackgroundColour();
    cairo_set_source_rgb(cr.get(), face.Red() / 255.0, face.Green() / 255.0, face.Blue() / 255.0);
    cairo_paint(cr.get());
}

void DrawIcon(NativeWindow& window, int x, int y, const IconPixels& icon) {
    ClientContext cr(window);
    if (cr.get() == nullptr || icon.width <= 0 || icon.height <= 0)
        return;
    // Cairo wants premultiplied alpha: transparent pixels must be all zero.
    std::vector<uint32_t> premultiplied(icon.argb);
    for (uint32_t& pixel : premultiplied)
        if ((pixel >> 24) == 0)
            pixel = 0;
    cairo_surface_t* image = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(premultiplied.data()), CAIRO_FORMAT_ARGB32, icon.width,
        icon.height, icon.width * 4);
    cairo_set_source_surface(cr.get(), image, x, y);
    cairo_paint(cr.get());
    cairo_surface_destroy(image);
}

void Invalidate(NativeWindow& window) {
    window.client->Refresh(false);
}

void Update(NativeWindow& window) {
    window.client->Update();
}

wxBitmap BitmapOf(const IconPixels& icon) {
    wxImage image(icon.width, icon.height);
    image.InitAlpha();
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x) {
            uint32_t pixel = icon.argb[static_cast<size_t>(y) * icon.width + x];
            image.SetRGB(x, y, (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
            image.SetAlpha(x, y, pixel >> 24);
        }
    return wxBitmap(image);
}

} // namespace zv::backend
