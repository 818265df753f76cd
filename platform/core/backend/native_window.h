// The toolkit's side of one window, for the backend's own sources.
#pragma once

#include "window.h"

#include <wx/dialog.h>
#include <wx/window.h>

#include <cairo.h>

#include <vector>

namespace zv::backend {

// The last picture presented to a window, kept for repainting on expose.
class Frame {
public:
    Frame() = default;
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
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

class NativeWindow;

// Every top-level window is a toolkit dialog, the only kind that can run
// modally; the key and close handling are ours, never the toolkit's.
class TopWindow : public wxDialog {
public:
    TopWindow(NativeWindow* native, wxWindow* parent, const wxString& caption, DWORD style);
    // Null once the window is destroyed on the core's side.
    NativeWindow* native;
    // Moves the focus to the control that had it last, or to the first one
    // that takes it; nothing without controls.
    void FocusControl();
    // The window styles it was made with, for the window manager's hints.
    DWORD styles;

private:
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMove(wxMoveEvent& event);
    void OnIconize(wxIconizeEvent& event);
    void OnActivate(wxActivateEvent& event);
    void OnChildFocus(wxChildFocusEvent& event);

    // Where the focus goes back to when the window is active again.
    wxWindow* m_lastFocus = nullptr;
};

class NativeWindow {
public:
    HWND hwnd = nullptr;
    // Top-level windows: the toolkit window and the focusable child that
    // fills its client area. Controls: top is null and client is the control.
    TopWindow* top = nullptr;
    wxWindow* client = nullptr;
    bool dialog = false;
    int controlId = 0;

    Frame frame;
    // Set while WM_PAINT is being handled: paint on this, not on a new context.
    cairo_t* paintContext = nullptr;

    // What WM_SIZE and WM_MOVE said last; reports start with the first
    // ReportGeometry, so creation decides when the first ones arrive.
    bool reportsGeometry = false;
    WPARAM lastSizeType = 0;
    SIZE lastSize{-1, -1};
    POINT lastOrigin{-1, -1};
    bool originReported = false;

    // Where the window was last placed: window managers that ignore the
    // position of an unmapped window get it again once it is mapped.
    bool hasPlacement = false;
    POINT placement{0, 0};
    // A centred placement was worked out for this outer size; the manager's
    // frame, known only once mapped, may make the window larger.
    bool placementCentred = false;
    SIZE placementSize{0, 0};

    // Mapped as the server reported it: the toolkit calls a window mapped
    // as soon as it asked for it, before the window manager has placed it.
    bool mapped = false;
    bool modalRunning = false;
    // Dialogs: the command Enter sends when no push button has the focus.
    int defaultId = 1;
    HWND defaultButton = nullptr;

    wxWindow* Widget() const;
};

// The registered window behind a toolkit window or any of its ancestors.
NativeWindow* FindNative(wxWindow* window);
void Register(wxWindow* window, NativeWindow* native);
void Unregister(wxWindow* window);

// The system menu of the window as a popup at a client position; the choice
// arrives as WM_SYSCOMMAND.
void ShowSystemMenu(NativeWindow& window, wxPoint clientPosition, bool fromMouse);

// Key translation and the "pressed since the last poll" latch.
int VirtualKeyOf(int toolkitKey);
void LatchKeyDown(int virtualKey);

wxBitmap BitmapOf(const IconPixels& icon);

} // namespace zv::backend
