// Painting: paint contexts and asking for a repaint.
#include <platform/gdi.h>

#include "../backend/window.h"
#include "paint.h"
#include "window_table.h"

#include <map>

namespace {

// Contexts come from GDI, which knows nothing about painting in progress.
std::map<HDC, HWND>& PaintContexts() {
    static auto* contexts = new std::map<HDC, HWND>;
    return *contexts;
}

} // namespace

HWND zv::user::WindowOfPaintContext(HDC dc) {
    auto found = PaintContexts().find(dc);
    return found == PaintContexts().end() ? nullptr : found->second;
}

extern "C" {

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    if (lpPaint == nullptr || !IsWindow(hWnd))
        return nullptr;
    *lpPaint = {};
    GetClientRect(hWnd, &lpPaint->rcPaint);
    lpPaint->hdc = GetDC(hWnd);
    if (lpPaint->hdc != nullptr)
        PaintContexts()[lpPaint->hdc] = hWnd;
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint == nullptr || lpPaint->hdc == nullptr)
        return FALSE;
    PaintContexts().erase(lpPaint->hdc);
    ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, LPCRECT, BOOL) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native != nullptr)
        zv::backend::Invalidate(*native);
    return native != nullptr;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    auto* native = zv::user::NativeOf(hWnd);
    if (native != nullptr)
        zv::backend::Update(*native);
    return native != nullptr;
}
}
