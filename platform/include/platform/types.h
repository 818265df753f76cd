// Base types of the platform API: integer widths, handles and the small
// records that every other header builds on. Widths are those of the
// platform's 32-bit API (LONG and DWORD are 32 bits even on LP64).
#pragma once

#include <cstddef>
#include <cstdint>

// The calling-convention markers of the API mean nothing on this ABI.
#define WINAPI
#define CALLBACK
#define STDMETHODCALLTYPE

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using LONG = int32_t;
using ULONG = uint32_t;
using INT = int;
using UINT = unsigned int;
using CHAR = char;
using FLOAT = float;

using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using DWORD_PTR = ULONG_PTR;

using HRESULT = LONG;
using COLORREF = DWORD;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;

using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPWORD = WORD*;
using LPDWORD = DWORD*;
using LPLONG = LONG*;
using LPBOOL = BOOL*;

// Each handle kind is its own pointer type, so that handles of different
// kinds cannot be mixed up silently.
#define ZV_DECLARE_HANDLE(name)                                                                    \
    struct name##__;                                                                               \
    using name = name##__*

ZV_DECLARE_HANDLE(HWND);
ZV_DECLARE_HANDLE(HINSTANCE);
ZV_DECLARE_HANDLE(HDC);
ZV_DECLARE_HANDLE(HICON);
ZV_DECLARE_HANDLE(HBITMAP);
ZV_DECLARE_HANDLE(HBRUSH);
ZV_DECLARE_HANDLE(HFONT);
ZV_DECLARE_HANDLE(HMENU);
ZV_DECLARE_HANDLE(HPALETTE);

using HANDLE = void*;
using HMODULE = HINSTANCE;
using HCURSOR = HICON;
// Any GDI object handle converts to this one, as SelectObject expects.
using HGDIOBJ = void*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct POINT {
    LONG x;
    LONG y;
};
using LPPOINT = POINT*;

struct SIZE {
    LONG cx;
    LONG cy;
};
using LPSIZE = SIZE*;

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using LPGUID = GUID*;
using REFGUID = const GUID&;

constexpr bool IsEqualGUID(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

constexpr bool operator==(REFGUID a, REFGUID b) {
    return IsEqualGUID(a, b);
}

static_assert(sizeof(RECT) == 16);
static_assert(sizeof(POINT) == 8);
static_assert(sizeof(GUID) == 16);
