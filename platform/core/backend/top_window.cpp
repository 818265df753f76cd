// Top-level windows and dialog controls over the toolkit, and the messages
// their events become.
#include "native_window.h"
#include "toolkit.h"

#include <platform/user.h>

#include <wx/dcclient.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/iconbndl.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <unordered_map>

namespace zv::backend {

namespace {

std::unordered_map<wxWindow*, NativeWindow*>& Natives() {
    static auto* natives = new std::unordered_map<wxWindow*, NativeWindow*>;
    return *natives;
}

// Fills the client area of a top-level window. It takes the keyboard focus
// for the window (a top-level window without a focused child gets no key
// events), paints the kept frame and opens the system menu on a right click.
class ClientArea : public wxWindow {
public:
    ClientArea(TopWindow* parent)
        : wxWindow(parent, wxID_ANY, wxPoint(0, 0), parent->GetClientSize(),
                   wxWANTS_CHARS | wxTAB_TRAVERSAL) {
        Bind(wxEVT_PAINT, &ClientArea::OnPaint, this);
        Bind(wxEVT_RIGHT_UP, &ClientArea::OnRightUp, this);
        Bind(wxEVT_SET_FOCUS, &ClientArea::OnSetFocus, this);
    }
    bool AcceptsFocus() const override { return true; }

private:
    NativeWindow* Native() { return static_cast<TopWindow*>(GetParent())->native; }

    void OnPaint(wxPaintEvent&) {
        wxPaintDC dc(this);
        NativeWindow* native = Native();
        if (native == nullptr)
            return;
        native->paintContext = static_cast<cairo_t*>(dc.GetImpl()->GetCairoContext());
        HWND hwnd = native->hwnd;
        SendMessageA(hwnd, WM_PAINT, 0, 0);
        // The handler may have destroyed the window.
        if (NativeWindow* still = Native())
            still->paintContext = nullptr;
    }

    // A dialog with controls keeps the focus on one of them, the one that
    // had it last, as the original platform does.
    void OnSetFocus(wxFocusEvent& event) {
        static_cast<TopWindow*>(GetParent())->FocusControl();
        event.Skip();
    }

    void OnRightUp(wxMouseEvent& event) {
        if (NativeWindow* native = Native())
            ShowSystemMenu(*native, event.GetPosition(), true);
    }
};

long FrameStyle(DWORD style) {
    long frame = 0;
    if ((style & WS_CAPTION) == WS_CAPTION)
        frame |= wxCAPTION;
    if (style & WS_SYSMENU)
        frame |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (style & WS_THICKFRAME)
        frame |= wxRESIZE_BORDER;
    // The box bits mean something else without a caption.
    if ((style & WS_CAPTION) == WS_CAPTION) {
        if (style & WS_MINIMIZEBOX)
            frame |= wxMINIMIZE_BOX;
        if (style & WS_MAXIMIZEBOX)
            frame |= wxMAXIMIZE_BOX;
    }
    return frame;
}

// A window with a minimise box is an application window to the window
// manager, not a transient dialog it may refuse to minimise.
void MarkAsNormalWindow(TopWindow* top) {
    gtk_window_set_type_hint(GTK_WINDOW(top->GetHandle()), GDK_WINDOW_TYPE_HINT_NORMAL);
}

gboolean OnUnmapped(GtkWidget*, GdkEvent*, gpointer data) {
    if (auto* top = static_cast<TopWindow*>(data); top->native != nullptr)
        top->native->mapped = false;
    return FALSE;
}

// The window manager offers only what the styles allow; the toolkit's own
// hints leave a dialog's minimise and maximise buttons in place.
void OnRealized(GtkWidget* widget, gpointer data) {
    DWORD style = static_cast<TopWindow*>(data)->styles;
    int functions = GDK_FUNC_MOVE | GDK_FUNC_CLOSE;
    if (style & WS_THICKFRAME)
        functions |= GDK_FUNC_RESIZE;
    if ((style & WS_CAPTION) == WS_CAPTION && (style & WS_MINIMIZEBOX))
        functions |= GDK_FUNC_MINIMIZE;
    if ((style & WS_CAPTION) == WS_CAPTION && (style & WS_MAXIMIZEBOX))
        functions |= GDK_FUNC_MAXIMIZE;
    gdk_window_set_functions(gtk_widget_get_window(widget), static_cast<GdkWMFunction>(functions));
}

// The manager's frame is there by the time the window is mapped: a centred
// window moves back by half of whatever the frame added to its size.
POINT KeepCentredInFrame(GtkWidget* widget, const NativeWindow& native) {
    POINT at = native.placement;
    GdkRectangle frame{};
    gdk_window_get_frame_extents(gtk_widget_get_window(widget), &frame);
    at.x -= (frame.width - native.placementSize.cx) / 2;
    at.y -= (frame.height - native.placementSize.cy) / 2;
    RECT area = WorkArea();
    at.x = std::max(area.left, std::min<LONG>(at.x, area.right - frame.width));
    at.y = std::max(area.top, std::min<LONG>(at.y, area.bottom - frame.height));
    return at;
}

gboolean OnMapped(GtkWidget* widget, GdkEvent*, gpointer data) {
    auto* top = static_cast<TopWindow*>(data);
    NativeWindow* native = top->native;
    if (native == nullptr)
        return FALSE;
    native->mapped = true;
    // Only the first mapping: a window restored from the task bar stays
    // where the user last put it.
    if (native->hasPlacement) {
        native->hasPlacement = false;
        POINT at = native->placement;
        if (native->placementCentred)
            at = KeepCentredInFrame(widget, *native);
        top->Move(at.x, at.y);
    }
    return FALSE;
}

// The toolkit reports a move only when the position differs from the one it
// last asked for, and a window manager may put the window elsewhere (after
// a restore, say): every configuration from the server is checked.
gboolean OnConfigured(GtkWidget*, GdkEvent*, gpointer data) {
    auto* top = static_cast<TopWindow*>(data);
    if (top->native != nullptr && top->native->reportsGeometry && top->native->mapped)
        top->CallAfter([top] {
            if (top->native != nullptr && top->native->reportsGeometry)
                ReportGeometry(*top->native);
        });
    return FALSE;
}

// Compares pointers only: `window` may be a child that is gone.
bool Contains(wxWindow* root, wxWindow* window) {
    if (root == window)
        return true;
    for (wxWindow* child : root->GetChildren())
        if (Contains(child, window))
            return true;
    return false;
}

bool Pressed(const wxKeyEvent& event, int key) {
    return event.GetKeyCode() == key && event.GetModifiers() == wxMOD_NONE;
}

// The button Enter presses: the focused push button, else the default one.
std::pair<int, HWND> EnterCommand(const NativeWindow& dialog) {
    if (auto* button = dynamic_cast<wxButton*>(wxWindow::FindFocus()))
        if (NativeWindow* control = FindNative(button); control != nullptr && control != &dialog)
            return {control->controlId, control->hwnd};
    return {dialog.defaultId, dialog.defaultButton};
}

} // namespace

TopWindow::TopWindow(NativeWindow* owner, wxWindow* parent, const wxString& caption, DWORD style)
    : wxDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, FrameStyle(style)),
      native(owner), styles(style) {
    Bind(wxEVT_CHAR_HOOK, &TopWindow::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &TopWindow::OnClose, this);
    Bind(wxEVT_SIZE, &TopWindow::OnSize, this);
    Bind(wxEVT_MOVE, &TopWindow::OnMove, this);
    Bind(wxEVT_ICONIZE, &TopWindow::OnIconize, this);
    Bind(wxEVT_ACTIVATE, &TopWindow::OnActivate, this);
    Bind(wxEVT_CHILD_FOCUS, &TopWindow::OnChildFocus, this);
    g_signal_connect(GetHandle(), "map-event", G_CALLBACK(OnMapped), this);
    g_signal_connect(GetHandle(), "unmap-event", G_CALLBACK(OnUnmapped), this);
    g_signal_connect(GetHandle(), "configure-event", G_CALLBACK(OnConfigured), this);
    if (gtk_widget_get_realized(GetHandle()))
        OnRealized(GetHandle(), this);
    else
        g_signal_connect_after(GetHandle(), "realize", G_CALLBACK(OnRealized), this);
}

void TopWindow::OnCharHook(wxKeyEvent& event) {
    if (native == nullptr) {
        event.Skip();
        return;
    }
    HWND hwnd = native->hwnd;
    int key = event.GetKeyCode();
    if (int vk = VirtualKeyOf(key))
        LatchKeyDown(vk);
    if (key == WXK_SPACE && event.GetModifiers() == wxMOD_ALT) {
        ShowSystemMenu(*native, wxPoint(0, 0), false);
        return;
    }
    if (Pressed(event, WXK_F1)) {
        SendMessageA(hwnd, WM_HELP, 0, 0);
        return;
    }
    bool enter = Pressed(event, WXK_RETURN) || Pressed(event, WXK_NUMPAD_ENTER);
    bool escape = Pressed(event, WXK_ESCAPE);
    if (native->dialog && enter) {
        auto [id, button] = EnterCommand(*native);
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return;
    }
    if (native->dialog && escape) {
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    if (!native->dialog) {
        if (int vk = VirtualKeyOf(key))
            SendMessageA(hwnd, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
        // The toolkit's dialog would hide the window on Escape.
        if (enter || escape)
            return;
    }
    event.Skip();
}

void TopWindow::OnClose(wxCloseEvent& event) {
    // The window's procedure decides; the toolkit never closes it by itself.
    if (event.CanVeto())
        event.Veto();
    if (native != nullptr && IsEnabled())
        SendMessageA(native->hwnd, WM_CLOSE, 0, 0);
}

void TopWindow::OnSize(wxSizeEvent& event) {
    if (native != nullptr) {
        native->client->SetSize(GetClientSize());
        if (native->reportsGeometry)
            ReportGeometry(*native);
    }
    event.Skip();
}

void TopWindow::OnMove(wxMoveEvent& event) {
    if (native != nullptr && native->reportsGeometry)
        ReportGeometry(*native);
    event.Skip();
}

void TopWindow::OnIconize(wxIconizeEvent& event) {
    if (native != nullptr && native->reportsGeometry)
        ReportGeometry(*native);
    event.Skip();
}

void TopWindow::OnActivate(wxActivateEvent& event) {
    // Focus is lost while a window is disabled (under a modal box, say);
    // an active window gets it back, so that keys reach it again.
    wxWindow* focus = FindFocus();
    if (event.GetActive() && native != nullptr &&
        (focus == nullptr || wxGetTopLevelParent(focus) != this)) {
        (Contains(native->client, m_lastFocus) ? m_lastFocus : native->client)->SetFocus();
    }
    event.Skip();
}

void TopWindow::OnChildFocus(wxChildFocusEvent& event) {
    // The event names only our direct child; the control itself has the focus.
    wxWindow* focus = FindFocus();
    if (focus != nullptr && native != nullptr && focus != native->client &&
        wxGetTopLevelParent(focus) == this)
        m_lastFocus = focus;
    event.Skip();
}

void TopWindow::FocusControl() {
    if (native == nullptr)
        return;
    wxWindow* target = Contains(native->client, m_lastFocus) ? m_lastFocus : nullptr;
    for (wxWindow* child : native->client->GetChildren())
        if (target == nullptr && child->IsShown() && child->IsEnabled() && child->AcceptsFocus())
            target = child;
    if (target != nullptr)
        target->SetFocus();
}

NativeWindow* FindNative(wxWindow* window) {
    for (; window != nullptr; window = window->GetParent()) {
        auto found = Natives().find(window);
        if (found != Natives().end())
            return found->second;
        if (window->IsTopLevel())
            return nullptr;
    }
    return nullptr;
}

void Register(wxWindow* window, NativeWindow* native) {
    Natives()[window] = native;
}

void Unregister(wxWindow* window) {
    Natives().erase(window);
}

NativeWindow* CreateTopLevel(const TopLevelSpec& spec) {
    if (!StartToolkit())
        return nullptr;
    auto* native = new NativeWindow;
    native->hwnd = spec.hwnd;
    native->dialog = spec.dialog;
    wxWindow* parent = spec.owner != nullptr ? spec.owner->top : nullptr;
    auto* top = new TopWindow(native, parent, wxString::FromUTF8(spec.caption), spec.style);
    native->top = top;
    if (spec.style & WS_MINIMIZEBOX)
        MarkAsNormalWindow(top);
    if (spec.font != nullptr) {
        wxFontInfo info(spec.font->pointSize);
        info.FaceName(wxString::FromUTF8(spec.font->face)).Italic(spec.font->italic);
        if (spec.font->weight > 0)
            info.Weight(spec.font->weight);
        top->SetFont(wxFont(info));
    }
    native->client = new ClientArea(top);
    Register(top, native);
    return native;
}

NativeWindow* CreateControl(NativeWindow& parent, const ControlSpec& spec) {
    wxWindow* area = parent.client;
    wxPoint at(spec.rect.left, spec.rect.top);
    wxSize size(spec.rect.right - spec.rect.left, spec.rect.bottom - spec.rect.top);
    wxString text = wxString::FromUTF8(spec.text);
    wxWindow* control = nullptr;
    switch (spec.kind) {
    case ControlKind::Text: {
        auto* label = new wxStaticText(area, wxID_ANY, wxString(), at, size,
                                       wxST_NO_AUTORESIZE | wxALIGN_LEFT);
        if (spec.noPrefix)
            label->SetLabelText(text);
        else
            label->SetLabel(text);
        control = label;
        break;
    }
    case ControlKind::Icon: {
        // An icon control takes the size of its icon.
        wxBitmap bitmap = spec.icon != nullptr ? BitmapOf(*spec.icon) : wxBitmap();
        control =
            new wxStaticBitmap(area, wxID_ANY, bitmap, at, bitmap.IsOk() ? bitmap.GetSize() : size);
        break;
    }
    case ControlKind::Button: {
        auto* button = new wxButton(area, wxID_ANY, text, at, size);
        if (spec.defaultButton) {
            button->SetDefault();
            parent.defaultId = spec.id;
            parent.defaultButton = spec.hwnd;
        }
        HWND dialog = parent.hwnd;
        int id = spec.id;
        button->Bind(wxEVT_BUTTON, [dialog, id, button](wxCommandEvent&) {
            if (NativeWindow* self = FindNative(button))
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(self->hwnd));
        });
        control = button;
        break;
    }
    }
    control->Show(spec.visible);
    auto* native = new NativeWindow;
    native->hwnd = spec.hwnd;
    native->client = control;
    native->controlId = spec.id;
    Register(control, native);
    return native;
}

void Destroy(NativeWindow* window) {
    if (window == nullptr)
        return;
    if (window->top != nullptr) {
        TopWindow* top = window->top;
        top->native = nullptr;
        if (window->modalRunning)
            top->EndModal(IDCANCEL);
        Unregister(top);
        top->Hide();
        // Deleted in the next idle turn: its own handlers may be on the stack.
        top->Destroy();
    } else {
        Unregister(window->client);
        // A control goes with its dialog; alone it goes at once.
        wxWindow* dialog = wxGetTopLevelParent(window->client);
        if (dialog == nullptr || !dialog->IsBeingDeleted())
            window->client->Destroy();
    }
    delete window;
}

SIZE DialogBaseUnits(NativeWindow& window) {
    wxPoint base = window.Widget()->ConvertDialogToPixels(wxPoint(4, 8));
    return {base.x, base.y};
}

RECT WorkArea() {
    if (!StartToolkit())
        return {0, 0, 640, 480};
    wxRect area = wxDisplay(0u).GetClientArea();
    return {area.x, area.y, area.x + area.width, area.y + area.height};
}

void Show(NativeWindow& window, int command) {
    if (window.top == nullptr) {
        window.client->Show(command != SW_HIDE);
        return;
    }
    TopWindow* top = window.top;
    switch (command) {
    case SW_HIDE:
        top->Hide();
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        top->Show();
        top->Iconize(true);
        break;
    case SW_MAXIMIZE:
        top->Show();
        top->Maximize(true);
        break;
    case SW_RESTORE:
        top->Show();
        if (top->IsIconized())
            top->Iconize(false);
        else if (top->IsMaximized())
            top->Maximize(false);
        break;
    default:
        top->Show();
        break;
    }
}

bool IsShown(const NativeWindow& window) {
    return window.Widget()->IsShown();
}

bool IsIconic(const NativeWindow& window) {
    return window.top != nullptr && window.top->IsIconized();
}

bool IsZoomed(const NativeWindow& window) {
    return window.top != nullptr && window.top->IsMaximized();
}

void Enable(NativeWindow& window, bool enable) {
    window.Widget()->Enable(enable);
}

bool IsEnabled(const NativeWindow& window) {
    return window.Widget()->IsThisEnabled();
}

void SetText(NativeWindow& window, const std::string& text) {
    window.Widget()->SetLabel(wxString::FromUTF8(text));
}

std::string GetText(const NativeWindow& window) {
    return window.Widget()->GetLabel().utf8_string();
}

void SetIcons(NativeWindow& window, const std::vector<const IconPixels*>& images) {
    if (window.top == nullptr)
        return;
    wxIconBundle bundle;
    for (const IconPixels* image : images) {
        wxIcon icon;
        icon.CopyFromBitmap(BitmapOf(*image));
        bundle.AddIcon(icon);
    }
    window.top->SetIcons(bundle);
}

void BeginMoveOrSize(NativeWindow& window, bool size) {
    if (window.top == nullptr)
        return;
    // Button 0 asks the window manager for its keyboard-driven mode.
    auto* gtkWindow = GTK_WINDOW(window.top->GetHandle());
    wxPoint pointer = wxGetMousePosition();
    if (size)
        gtk_window_begin_resize_drag(gtkWindow, GDK_WINDOW_EDGE_SOUTH_EAST, 0, pointer.x, pointer.y,
                                     GDK_CURRENT_TIME);
    else
        gtk_window_begin_move_drag(gtkWindow, 0, pointer.x, pointer.y, GDK_CURRENT_TIME);
}

void ReportGeometry(NativeWindow& window) {
    window.reportsGeometry = true;
    if (window.top == nullptr)
        return;
    HWND hwnd = window.hwnd;
    bool iconic = IsIconic(window);
    WPARAM type = iconic ? SIZE_MINIMIZED : IsZoomed(window) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SIZE size = iconic ? SIZE{0, 0} : ClientSize(window);
    if (type != window.lastSizeType || size.cx != window.lastSize.cx ||
        size.cy != window.lastSize.cy) {
        window.lastSizeType = type;
        window.lastSize = size;
        SendMessageA(hwnd, WM_SIZE, type, MAKELPARAM(size.cx, size.cy));
    }
    // A minimised window has no place on the screen worth reporting.
    NativeWindow* still = FindNative(window.top);
    if (still != &window || iconic)
        return;
    POINT origin = ClientOrigin(window);
    if (!window.originReported || origin.x != window.lastOrigin.x ||
        origin.y != window.lastOrigin.y) {
        window.originReported = true;
        window.lastOrigin = origin;
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
}

HWND FocusedWindow() {
    wxWindow* focus = wxWindow::FindFocus();
    if (focus == nullptr)
        return nullptr;
    auto* top = dynamic_cast<TopWindow*>(wxGetTopLevelParent(focus));
    if (top == nullptr || top->native == nullptr || !top->IsActive())
        return nullptr;
    NativeWindow* native = FindNative(focus);
    return native != nullptr ? native->hwnd : nullptr;
}

HWND ActiveWindow() {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* top = dynamic_cast<TopWindow*>(window);
        if (top != nullptr && top->native != nullptr && top->IsActive())
            return top->native->hwnd;
    }
    return nullptr;
}

void SetFocus(NativeWindow& window) {
    window.client->SetFocus();
}

intptr_t RunModal(NativeWindow& window) {
    window.modalRunning = true;
    TopWindow* top = window.top;
    int result = top->ShowModal();
    if (top->native != nullptr)
        top->native->modalRunning = false;
    return result;
}

void EndModal(NativeWindow& window, intptr_t result) {
    if (window.modalRunning && window.top->IsModal())
        window.top->EndModal(static_cast<int>(result));
}

bool IsModalRunning(const NativeWindow& window) {
    return window.modalRunning;
}

} // namespace zv::backend
