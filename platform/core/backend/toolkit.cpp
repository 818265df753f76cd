// The one place that starts the toolkit, and the message loop over it.
#include "toolkit.h"
#include "window.h"

#include <platform/user.h>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>
#include <cstdlib>

namespace {

class ToolkitApp : public wxApp {
public:
    bool OnInit() override {
        // Windows end when their procedures say so, never because the
        // toolkit saw its last window go.
        SetExitOnFrameDelete(false);
        // The toolkit's diagnostics are for its own developers.
        wxLog::SetLogLevel(wxLOG_Warning);
        return true;
    }
    // The toolkit's own quit requests end our loop, not its (never running)
    // main loop.
    void ExitMainLoop() override { PostQuitMessage(0); }
    // A failed check inside the toolkit is reported, never shown as a box
    // that would stop the program (or a test) waiting for a click.
    void OnAssertFailure(const wxChar* file, int line, const wxChar* function,
                         const wxChar* condition, const wxChar* message) override {
        std::fprintf(stderr, "toolkit check failed: %s:%d %s: %s %s\n",
                     wxString(file).utf8_str().data(), line, wxString(function).utf8_str().data(),
                     wxString(condition).utf8_str().data(), wxString(message).utf8_str().data());
    }
};

enum class State { NotStarted, Running, Failed };
State g_state = State::NotStarted;

bool HasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

} // namespace

bool zv::backend::StartToolkit() {
    if (g_state != State::NotStarted)
        return g_state == State::Running;
    // No attempt without a display: the toolkit would fail for good, and a
    // display set later could no longer be used.
    if (!HasDisplay())
        return false;
    g_state = State::Failed;

    // Key-state polling and window geometry rely on X11, also on Wayland
    // desktops (through XWayland).
    setenv("GDK_BACKEND", "x11", 1);
    LoadFontAliases();

    static int argc = 1;
    static char programName[] = "zevra";
    static char* argv[] = {programName, nullptr};
    wxApp::SetInstance(new ToolkitApp);
    if (!wxEntryStart(argc, argv))
        return false;
    if (!wxTheApp->CallOnInit()) {
        wxEntryCleanup();
        return false;
    }
    g_state = State::Running;
    return true;
}

namespace {

// Our loop is the toolkit's current loop for as long as the process runs;
// modal loops nest inside it.
wxGUIEventLoop* Loop() {
    struct Current {
        wxGUIEventLoop loop;
        wxEventLoopActivator activator{&loop};
    };
    static auto* current = new Current;
    return &current->loop;
}

} // namespace

namespace zv::backend {

bool LoopPending() {
    if (!StartToolkit())
        return false;
    return wxTheApp->HasPendingEvents() || Loop()->Pending();
}

void LoopDispatch() {
    if (!StartToolkit())
        return;
    // Its result says whether the toolkit's own main loop should go on,
    // which never runs here: our caller keeps the quit flag.
    if (!wxTheApp->HasPendingEvents())
        Loop()->Dispatch();
    wxTheApp->ProcessPendingEvents();
}

void LoopIdle() {
    if (!StartToolkit())
        return;
    // Waiting for events with Pending() starves the toolkit's idle work, so
    // it runs here: deferred deletion of windows, updates.
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
}

bool Post(std::function<void()> call) {
    if (!StartToolkit())
        return false;
    wxTheApp->CallAfter(std::move(call));
    return true;
}

void WakeUp() {
    if (g_state == State::Running)
        wxWakeUpIdle();
}

} // namespace zv::backend
