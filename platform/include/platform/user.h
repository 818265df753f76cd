// Windowing services: windows, their geometry, messages, focus and keys,
// icons, menus, and the message-box and image-loading constants.
#pragma once

#include <platform/types.h>

// Message-box buttons (the low four bits of the type) and icons.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0xF0;

// Which button closed a box (also the command ids of dialog buttons).
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT LR_LOADFROMFILE = 0x10;
inline constexpr UINT LR_CREATEDIBSECTION = 0x2000;

extern "C" {

// False for a handle that never named a window and for a destroyed one.
BOOL WINAPI IsWindow(HWND hWnd);
// The client area's size, with its top-left corner at (0, 0).
BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect);
// Moves the point from the window's client coordinates to screen coordinates.
BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint);
}
