// Sending and posting messages, the default processing of windows and
// dialogs, and the message loop underneath the class library.
#include "../backend/window.h"
#include "icons.h"
#include "message_loop.h"
#include "window_table.h"

#include <vector>

namespace {

using zv::user::FindWindowRecord;
using zv::user::Window;

struct QuitState {
    bool posted = false;
    int exitCode = 0;
};

QuitState& Quit() {
    static QuitState quit;
    return quit;
}

void ApplyIcons(Window& window) {
    std::vector<const zv::backend::IconPixels*> images;
    for (HICON icon : {window.bigIcon, window.smallIcon})
        if (const auto* all = zv::user::IconImages(icon))
            for (const auto& image : *all)
                images.push_back(&image);
    zv::backend::SetIcons(*window.native, images);
}

LRESULT SetIcon(Window& window, WPARAM which, HICON icon) {
    HICON& slot = which == ICON_BIG ? window.bigIcon : window.smallIcon;
    HICON previous = slot;
    slot = icon;
    if (window.native != nullptr)
        ApplyIcons(window);
    return reinterpret_cast<LRESULT>(previous);
}

void SystemCommand(HWND hwnd, Window& window, WPARAM command) {
    switch (command & 0xFFF0) {
    case SC_CLOSE:
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case SC_MINIMIZE:
        ShowWindow(hwnd, SW_MINIMIZE);
        break;
    case SC_MAXIMIZE:
        ShowWindow(hwnd, SW_MAXIMIZE);
        break;
    case SC_RESTORE:
        ShowWindow(hwnd, SW_RESTORE);
        break;
    case SC_MOVE:
    case SC_SIZE:
        if (window.native != nullptr)
            zv::backend::BeginMoveOrSize(*window.native, (command & 0xFFF0) == SC_SIZE);
        break;
    default:
        break;
    }
}

} // namespace

namespace zv::user {

bool MessageWaiting() {
    return Quit().posted || backend::LoopPending();
}

bool DispatchNextMessage(int& exitCode) {
    if (!Quit().posted)
        backend::LoopDispatch();
    if (!Quit().posted)
        return true;
    Quit().posted = false;
    exitCode = Quit().exitCode;
    return false;
}

void PlatformIdle() {
    backend::LoopIdle();
}

} // namespace zv::user

extern "C" {

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr)
        return 0;
    WNDPROC proc = window->proc != nullptr ? window->proc : DefWindowProcA;
    return proc(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(hWnd))
        return FALSE;
    return zv::backend::Post([=] {
        if (IsWindow(hWnd))
            SendMessageA(hWnd, Msg, wParam, lParam);
    });
}

void WINAPI PostQuitMessage(int nExitCode) {
    Quit().posted = true;
    Quit().exitCode = nExitCode;
    zv::backend::WakeUp();
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    return lpPrevWndFunc != nullptr ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr)
        return 0;
    switch (Msg) {
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        SystemCommand(hWnd, *window, wParam);
        return 0;
    case WM_PAINT:
        // The last presented picture is the window's content.
        if (window->native != nullptr)
            zv::backend::RepaintKeptFrame(*window->native);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_ICONERASEBKGND:
        if (window->native != nullptr)
            zv::backend::EraseBackground(*window->native);
        return 1;
    case WM_SETICON:
        return SetIcon(*window, wParam, reinterpret_cast<HICON>(lParam));
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? window->bigIcon : window->smallIcon);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(window->bigIcon);
    default:
        return 0;
    }
}

LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* window = FindWindowRecord(hDlg);
    if (window == nullptr)
        return 0;
    if (window->dialogProc != nullptr) {
        window->messageResult = 0;
        INT_PTR handled = window->dialogProc(hDlg, Msg, wParam, lParam);
        if (Msg == WM_INITDIALOG)
            return handled;
        if (handled)
            return FindWindowRecord(hDlg) != nullptr ? FindWindowRecord(hDlg)->messageResult : 0;
        window = FindWindowRecord(hDlg);
        if (window == nullptr)
            return 0;
    }
    switch (Msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CLOSE:
        // A dialog closes the way its Cancel button would.
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
        return 0;
    default:
        return DefWindowProcA(hDlg, Msg, wParam, lParam);
    }
}
}
