// The DirectDraw object of the primary display driver.
#pragma once

#include <platform/ddraw.h>

#include "common/com_object.h"

namespace zv::ddraw {

class DirectDraw final : public runtime::ComObject<IDirectDraw> {
public:
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD dwFlags, LPDIRECTDRAWCLIPPER* lplpDDClipper,
                                            IUnknown* pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable,
                                            LPDIRECTDRAWPALETTE* lplpDDPalette,
                                            IUnknown* pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC lpDDSurfaceDesc,
                                            LPDIRECTDRAWSURFACE* lplpDDSurface,
                                            IUnknown* pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) override;
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD dwFlags) override;
};

} // namespace zv::ddraw
