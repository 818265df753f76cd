// The window table, window classes, creation and destruction, and the calls
// that ask about or change a window's state.
#include "../backend/window.h"
#include "window_table.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>

namespace zv::user {

namespace {

struct Registry {
    std::unordered_map<HWND, std::unique_ptr<Window>> windows;
    // Handles are never reused, so a stale one stays invalid for good.
    uintptr_t nextHandle = 0x10000;
    std::function<void(HWND)> creationHook;
    std::map<std::string, WNDCLASSA> classes;
    ATOM nextAtom = 0xC000;
};

Registry& State() {
    static auto* registry = new Registry;
    return *registry;
}

} // namespace

Window* FindWindowRecord(HWND hwnd) {
    auto found = State().windows.find(hwnd);
    return found == State().windows.end() ? nullptr : found->second.get();
}

backend::NativeWindow* NativeOf(HWND hwnd) {
    Window* window = FindWindowRecord(hwnd);
    return window != nullptr ? window->native : nullptr;
}

Window& AddWindow(std::unique_ptr<Window> window) {
    State().nextHandle += 4;
    window->handle = reinterpret_cast<HWND>(State().nextHandle);
    Window& added = *window;
    State().windows.emplace(added.handle, std::move(window));
    return added;
}

void RemoveWindow(HWND hwnd) {
    State().windows.erase(hwnd);
}

bool AnyWindows() {
    return !State().windows.empty();
}

HWND TopLevelOf(HWND hwnd) {
    Window* window = FindWindowRecord(hwnd);
    while (window != nullptr && window->parent != nullptr)
        window = FindWindowRecord(window->parent);
    return window != nullptr ? window->handle : nullptr;
}

std::vector<HWND> WindowsOwnedBy(HWND owner) {
    std::vector<HWND> owned;
    for (auto& [handle, window] : State().windows)
        if (window->owner == owner && !window->destroying)
            owned.push_back(handle);
    return owned;
}

void HookNextWindowCreation(std::function<void(HWND)> hook) {
    State().creationHook = std::move(hook);
}

void RunCreationHook(HWND hwnd) {
    auto hook = std::move(State().creationHook);
    State().creationHook = nullptr;
    if (hook)
        hook(hwnd);
}

} // namespace zv::user

namespace {

using zv::user::FindWindowRecord;
using zv::user::Window;

void SendDestroy(HWND hwnd) {
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    if (Window* window = FindWindowRecord(hwnd))
        for (HWND child : std::vector<HWND>(window->children))
            SendDestroy(child);
}

void FreeNative(Window& window) {
    for (HWND child : window.children)
        if (Window* control = FindWindowRecord(child))
            FreeNative(*control);
    zv::backend::Destroy(window.native);
    window.native = nullptr;
}

void SendNcDestroyAndRemove(HWND hwnd) {
    Window* window = FindWindowRecord(hwnd);
    if (window == nullptr)
        return;
    for (HWND child : std::vector<HWND>(window->children))
        SendNcDestroyAndRemove(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    if (Window* still = FindWindowRecord(hwnd))
        zv::user::ForgetSystemMenu(*still);
    zv::user::RemoveWindow(hwnd);
}

} // namespace

extern "C" {

BOOL WINAPI IsWindow(HWND hWnd) {
    return FindWindowRecord(hWnd) != nullptr;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native == nullptr || lpRect == nullptr)
        return FALSE;
    SIZE size = zv::backend::ClientSize(*native);
    *lpRect = {0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native == nullptr || lpPoint == nullptr)
        return FALSE;
    POINT origin = zv::backend::ClientOrigin(*native);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native == nullptr || lpRect == nullptr)
        return FALSE;
    *lpRect = zv::backend::WindowRect(*native);
    return TRUE;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (lpWndClass == nullptr || lpWndClass->lpszClassName == nullptr ||
        lpWndClass->lpfnWndProc == nullptr)
        return 0;
    auto& classes = zv::user::State().classes;
    if (!classes.emplace(lpWndClass->lpszClassName, *lpWndClass).second)
        return 0;
    return ++zv::user::State().nextAtom;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU,
                            HINSTANCE, LPVOID lpParam) {
    auto& classes = zv::user::State().classes;
    auto found = lpClassName != nullptr ? classes.find(lpClassName) : classes.end();
    if (found == classes.end() || (dwStyle & WS_CHILD))
        return nullptr;
    auto record = std::make_unique<Window>();
    record->proc = found->second.lpfnWndProc;
    record->style = dwStyle;
    record->exStyle = dwExStyle;
    record->owner = zv::user::TopLevelOf(hWndParent);
    Window& window = zv::user::AddWindow(std::move(record));
    HWND hwnd = window.handle;
    zv::user::RunCreationHook(hwnd);

    zv::backend::TopLevelSpec spec;
    spec.hwnd = hwnd;
    spec.caption = lpWindowName != nullptr ? lpWindowName : "";
    spec.style = dwStyle;
    if (Window* owner = FindWindowRecord(window.owner))
        spec.owner = owner->native;
    window.native = zv::backend::CreateTopLevel(spec);
    if (window.native == nullptr) {
        zv::user::RemoveWindow(hwnd);
        return nullptr;
    }
    // Without a frame of our own the size asked for is the client's.
    zv::backend::SetClientSize(*window.native, {std::max(nWidth, 1), std::max(nHeight, 1)});
    zv::backend::MoveTo(*window.native, {X, Y});
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(lpParam)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr;
    zv::backend::ReportGeometry(*window.native);
    if (IsWindow(hwnd) && (dwStyle & WS_VISIBLE))
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr)
        return FALSE;
    if (window->destroying)
        return TRUE;
    window->destroying = true;
    // Owned windows go first, as they could not outlive their owner.
    for (HWND owned : zv::user::WindowsOwnedBy(hWnd))
        DestroyWindow(owned);
    if (window->native != nullptr && window->parent == nullptr)
        zv::backend::Show(*window->native, SW_HIDE);
    SendDestroy(hWnd);
    if (Window* still = FindWindowRecord(hWnd)) {
        if (Window* parent = FindWindowRecord(still->parent))
            std::erase(parent->children, hWnd);
        FreeNative(*still);
    }
    SendNcDestroyAndRemove(hWnd);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr || window->native == nullptr)
        return FALSE;
    bool wasVisible = zv::backend::IsShown(*window->native);
    zv::backend::Show(*window->native, nCmdShow);
    if (nCmdShow == SW_HIDE)
        window->style &= ~WS_VISIBLE;
    else
        window->style |= WS_VISIBLE;
    return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    auto* native = zv::user::NativeOf(hWnd);
    return native != nullptr && zv::backend::IsShown(*native);
}

BOOL WINAPI IsIconic(HWND hWnd) {
    auto* native = zv::user::NativeOf(hWnd);
    return native != nullptr && zv::backend::IsIconic(*native);
}

BOOL WINAPI IsZoomed(HWND hWnd) {
    auto* native = zv::user::NativeOf(hWnd);
    return native != nullptr && zv::backend::IsZoomed(*native);
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr || window->native == nullptr)
        return FALSE;
    bool wasDisabled = !zv::backend::IsEnabled(*window->native);
    zv::backend::Enable(*window->native, bEnable != FALSE);
    if (bEnable)
        window->style &= ~WS_DISABLED;
    else
        window->style |= WS_DISABLED;
    if (wasDisabled == (bEnable != FALSE))
        SendMessageA(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    auto* native = zv::user::NativeOf(hWnd);
    return native != nullptr && zv::backend::IsEnabled(*native);
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native == nullptr)
        return FALSE;
    // Sizes are the client's: the window manager owns the frame.
    zv::backend::SetClientSize(*native, {std::max(nWidth, 0), std::max(nHeight, 0)});
    zv::backend::MoveTo(*native, {X, Y});
    zv::backend::ReportGeometry(*native);
    return TRUE;
}

HWND WINAPI GetParent(HWND hWnd) {
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr)
        return nullptr;
    return window->parent != nullptr ? window->parent : window->owner;
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    Window* window = FindWindowRecord(hWnd);
    return window != nullptr && uCmd == GW_OWNER ? window->owner : nullptr;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native == nullptr || lpString == nullptr || nMaxCount <= 0)
        return 0;
    std::string text = zv::backend::GetText(*native);
    size_t length = std::min(text.size(), static_cast<size_t>(nMaxCount - 1));
    std::memcpy(lpString, text.data(), length);
    lpString[length] = '\0';
    return static_cast<int>(length);
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native == nullptr)
        return FALSE;
    zv::backend::SetText(*native, lpString != nullptr ? lpString : "");
    return TRUE;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr)
        return 0;
    switch (nIndex) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->proc);
    case GWLP_USERDATA:
        return window->userData;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(window->exStyle);
    case GWLP_ID:
        return window->id;
    case DWLP_MSGRESULT:
        return window->dialog ? window->messageResult : 0;
    default:
        return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr)
        return 0;
    LONG_PTR previous = GetWindowLongPtrA(hWnd, nIndex);
    switch (nIndex) {
    case GWLP_WNDPROC:
        if (dwNewLong == 0)
            return 0;
        window->proc = reinterpret_cast<WNDPROC>(dwNewLong);
        break;
    case GWLP_USERDATA:
        window->userData = dwNewLong;
        break;
    case GWLP_ID:
        window->id = static_cast<int>(dwNewLong);
        break;
    case DWLP_MSGRESULT:
        if (!window->dialog)
            return 0;
        window->messageResult = dwNewLong;
        break;
    default:
        // Styles follow from the toolkit window's kind, fixed at creation.
        return 0;
    }
    return previous;
}
}
