// The table behind HWND: every live window of the process, shared by the
// program and the runtime modules because it lives in the core library.
// Windows belong to the one user-interface thread, so the table has no lock.
#pragma once

#include <platform/rsrc.h>
#include <platform/user.h>

#include <functional>
#include <memory>
#include <vector>

namespace zv::backend {
class NativeWindow;
}

namespace zv::user {

struct Window {
    HWND handle = nullptr;
    // The toolkit's side of the window; null once the window is destroyed.
    backend::NativeWindow* native = nullptr;
    WNDPROC proc = nullptr;
    LONG_PTR userData = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    // Controls: their dialog. Top-level windows: null, and the owner says
    // which window they belong to.
    HWND parent = nullptr;
    HWND owner = nullptr;
    std::vector<HWND> children;
    bool destroying = false;

    // Dialogs.
    bool dialog = false;
    DLGPROC dialogProc = nullptr;
    LONG_PTR messageResult = 0;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;

    HMENU systemMenu = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
};

// The live window behind the handle, or null.
Window* FindWindowRecord(HWND hwnd);
// The toolkit's side of a live window, or null.
backend::NativeWindow* NativeOf(HWND hwnd);
// Gives the window its handle and a place in the table.
Window& AddWindow(std::unique_ptr<Window> window);
void RemoveWindow(HWND hwnd);
bool AnyWindows();
// The window itself for a top-level window, its dialog for a control.
HWND TopLevelOf(HWND hwnd);
std::vector<HWND> WindowsOwnedBy(HWND owner);

// Called with the next window's handle as soon as it is in the table, before
// it receives any message, so that a class library can attach its object
// and its procedure first. One-shot.
void HookNextWindowCreation(std::function<void(HWND)> hook);
void RunCreationHook(HWND hwnd);

// The resource table of a module (null: the executable), or null.
const rsrc::ResourceTable* ResourcesOf(HINSTANCE module);

// Drops the window's system menu with it.
void ForgetSystemMenu(Window& window);

} // namespace zv::user
