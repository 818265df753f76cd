#include "direct_draw.h"

namespace zv::ddraw {

// Surfaces, clippers and palettes are not there yet: every operation says so
// instead of pretending to succeed.

HRESULT DirectDraw::CreateClipper(DWORD, LPDIRECTDRAWCLIPPER* lplpDDClipper, IUnknown*) {
    if (lplpDDClipper != nullptr)
        *lplpDDClipper = nullptr;
    return DDERR_UNSUPPORTED;
}

HRESULT DirectDraw::CreatePalette(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE* lplpDDPalette,
                                  IUnknown*) {
    if (lplpDDPalette != nullptr)
        *lplpDDPalette = nullptr;
    return DDERR_UNSUPPORTED;
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC, LPDIRECTDRAWSURFACE* lplpDDSurface, IUnknown*) {
    if (lplpDDSurface != nullptr)
        *lplpDDSurface = nullptr;
    return DDERR_UNSUPPORTED;
}

HRESULT DirectDraw::GetCaps(LPDDCAPS, LPDDCAPS) {
    return DDERR_UNSUPPORTED;
}

HRESULT DirectDraw::GetDisplayMode(LPDDSURFACEDESC) {
    return DDERR_UNSUPPORTED;
}

HRESULT DirectDraw::SetCooperativeLevel(HWND, DWORD) {
    return DDERR_UNSUPPORTED;
}

} // namespace zv::ddraw
