// The window table and the calls that ask it about geometry.
#include <platform/user.h>

#include "../backend/window.h"
#include "window_table.h"

#include <memory>
#include <unordered_map>

namespace {

std::unordered_map<HWND, std::unique_ptr<zv::user::Window>>& Table() {
    static auto* table = new std::unordered_map<HWND, std::unique_ptr<zv::user::Window>>;
    return *table;
}

} // namespace

zv::user::Window* zv::user::FindWindowRecord(HWND hwnd) {
    auto found = Table().find(hwnd);
    return found == Table().end() ? nullptr : found->second.get();
}

extern "C" {

BOOL WINAPI IsWindow(HWND hWnd) {
    return zv::user::FindWindowRecord(hWnd) != nullptr;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    auto* window = zv::user::FindWindowRecord(hWnd);
    if (window == nullptr || lpRect == nullptr)
        return FALSE;
    SIZE size = zv::backend::ClientSize(*window->native);
    *lpRect = {0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    auto* window = zv::user::FindWindowRecord(hWnd);
    if (window == nullptr || lpPoint == nullptr)
        return FALSE;
    POINT origin = zv::backend::ClientOrigin(*window->native);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}
}
