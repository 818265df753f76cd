// The one place that starts the toolkit.
#include "toolkit.h"

#include <wx/app.h>
#include <wx/init.h>

#include <cstdlib>

namespace {

class ToolkitApp : public wxApp {
public:
    bool OnInit() override { return true; }
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
