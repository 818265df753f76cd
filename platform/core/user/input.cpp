// Keyboard focus and key state.
#include "../backend/window.h"
#include "window_table.h"

extern "C" {

HWND WINAPI GetFocus() {
    // Without windows there is no focus, and no reason to start the toolkit.
    return zv::user::AnyWindows() ? zv::backend::FocusedWindow() : nullptr;
}

HWND WINAPI GetActiveWindow() {
    return zv::user::AnyWindows() ? zv::backend::ActiveWindow() : nullptr;
}

HWND WINAPI SetFocus(HWND hWnd) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native == nullptr)
        return nullptr;
    HWND previous = GetFocus();
    zv::backend::SetFocus(*native);
    return previous;
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
    return zv::user::AnyWindows() ? zv::backend::KeyState(vKey) : 0;
}
}
