#include "direct_draw.h"

#include <platform/display.h>
#include <platform/user.h>

#include <cstring>
#include <new>

namespace zv::ddraw {

namespace {

DirectDrawInterfaceProvider g_interfaceProvider = nullptr;

// DDCAPS_ and DDSCL_ values the capability records and the cooperative level
// use beyond the program's own.
constexpr DWORD DDCAPS_BLT = 0x40;
constexpr DWORD DDCAPS_PALETTE = 0x8000;
constexpr DWORD DDCAPS_NOHARDWARE = 0x2000000;
constexpr DWORD DDCAPS_CANCLIP = 0x20000000;
constexpr DWORD DDCAPS_CANBLTSYSMEM = 0x80000000;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
constexpr DWORD DDSCL_NOWINDOWCHANGES = 0x4;
constexpr DWORD DDSCL_ALLOWMODEX = 0x40;

// Zeroes a record the caller stamped with its size, keeping the stamp.
void Clear(DDCAPS& caps) {
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
}

} // namespace

void SetDirectDrawInterfaceProvider(DirectDrawInterfaceProvider provider) {
    g_interfaceProvider = provider;
}

DirectDraw::DirectDraw() : display_(std::make_shared<Display>()) {
    display_->screen = display::GetScreenFormat();
    display_->format = ScreenPixelFormat(display_->screen);
}

HRESULT DirectDraw::QueryInterface(REFIID riid, void** ppvObject) {
    HRESULT hr = ComObject::QueryInterface(riid, ppvObject);
    if (hr == E_NOINTERFACE && g_interfaceProvider != nullptr)
        hr = g_interfaceProvider(*this, riid, ppvObject);
    return hr;
}

HRESULT DirectDraw::CreateClipper(DWORD dwFlags, LPDIRECTDRAWCLIPPER* lplpDDClipper,
                                  IUnknown* pUnkOuter) {
    if (lplpDDClipper == nullptr)
        return DDERR_INVALIDPARAMS;
    *lplpDDClipper = nullptr;
    if (pUnkOuter != nullptr)
        return CLASS_E_NOAGGREGATION;
    if (dwFlags != 0)
        return DDERR_INVALIDPARAMS;
    auto* clipper = new (std::nothrow) Clipper;
    if (clipper == nullptr)
        return DDERR_OUTOFMEMORY;
    *lplpDDClipper = clipper;
    return DD_OK;
}

HRESULT DirectDraw::CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable,
                                  LPDIRECTDRAWPALETTE* lplpDDPalette, IUnknown* pUnkOuter) {
    if (lplpDDPalette != nullptr && pUnkOuter != nullptr) {
        *lplpDDPalette = nullptr;
        return CLASS_E_NOAGGREGATION;
    }
    return Palette::Create(dwFlags, lpColorTable, lplpDDPalette);
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC lpDDSurfaceDesc,
                                  LPDIRECTDRAWSURFACE* lplpDDSurface, IUnknown* pUnkOuter) {
    if (lplpDDSurface == nullptr)
        return DDERR_INVALIDPARAMS;
    *lplpDDSurface = nullptr;
    if (pUnkOuter != nullptr)
        return CLASS_E_NOAGGREGATION;
    if (lpDDSurfaceDesc == nullptr || lpDDSurfaceDesc->dwSize != DDSURFACEDESC_SIZE)
        return DDERR_INVALIDPARAMS;
    if (!cooperativeLevelSet_)
        return DDERR_NOCOOPERATIVELEVELSET;
    return Surface::Create(display_, *lpDDSurfaceDesc, lplpDDSurface);
}

HRESULT DirectDraw::GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) {
    if ((lpDDDriverCaps == nullptr && lpDDHELCaps == nullptr) ||
        (lpDDDriverCaps != nullptr && lpDDDriverCaps->dwSize != sizeof(DDCAPS)) ||
        (lpDDHELCaps != nullptr && lpDDHELCaps->dwSize != sizeof(DDCAPS)))
        return DDERR_INVALIDPARAMS;
    // There is no display hardware to speak of: the driver shows the screen
    // and nothing more, and everything else (blits, clipping, palettes, 3D
    // surfaces) is done in software by the emulation.
    if (lpDDDriverCaps != nullptr) {
        Clear(*lpDDDriverCaps);
        lpDDDriverCaps->dwCaps = DDCAPS_NOHARDWARE;
        lpDDDriverCaps->ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    }
    if (lpDDHELCaps != nullptr) {
        Clear(*lpDDHELCaps);
        lpDDHELCaps->dwCaps = DDCAPS_BLT | DDCAPS_PALETTE | DDCAPS_CANCLIP | DDCAPS_CANBLTSYSMEM;
        lpDDHELCaps->dwPalCaps = DDPCAPS_4BIT | DDPCAPS_8BIT | DDPCAPS_ALLOW256;
        lpDDHELCaps->dwZBufferBitDepths = DDBD_16 | DDBD_24 | DDBD_32;
        lpDDHELCaps->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE |
                                      DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE |
                                      DDSCAPS_VIDEOMEMORY | DDSCAPS_ZBUFFER;
    }
    return DD_OK;
}

HRESULT DirectDraw::GetDisplayMode(LPDDSURFACEDESC lpDDSurfaceDesc) {
    if (lpDDSurfaceDesc == nullptr || lpDDSurfaceDesc->dwSize != DDSURFACEDESC_SIZE)
        return DDERR_INVALIDPARAMS;
    std::memset(lpDDSurfaceDesc, 0, sizeof *lpDDSurfaceDesc);
    lpDDSurfaceDesc->dwSize = DDSURFACEDESC_SIZE;
    lpDDSurfaceDesc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    lpDDSurfaceDesc->dwWidth = display_->screen.width;
    lpDDSurfaceDesc->dwHeight = display_->screen.height;
    lpDDSurfaceDesc->lPitch = RowPitch(display_->screen.width, display_->format);
    lpDDSurfaceDesc->ddpfPixelFormat = display_->format.Description();
    return DD_OK;
}

HRESULT DirectDraw::SetCooperativeLevel(HWND hWnd, DWORD dwFlags) {
    const DWORD known = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES |
                        DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX;
    if ((dwFlags & ~known) != 0 || (hWnd != nullptr && !IsWindow(hWnd)))
        return DDERR_INVALIDPARAMS;
    const DWORD mode = dwFlags & (DDSCL_NORMAL | DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    // The screen is shared with the other programs on it; it is never taken.
    if (mode == (DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE))
        return DDERR_UNSUPPORTED;
    if (mode != DDSCL_NORMAL)
        return DDERR_INVALIDPARAMS;
    cooperativeLevelSet_ = true;
    return DD_OK;
}

} // namespace zv::ddraw
