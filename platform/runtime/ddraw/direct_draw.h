// The DirectDraw object of the primary display driver: the X screen.
#pragma once

#include <platform/ddraw.h>

#include "common/com_object.h"
#include "surface.h"

#include <memory>

namespace zv::ddraw {

class DirectDraw final : public runtime::ComObject<IDirectDraw> {
public:
    DirectDraw();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;

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

    // The screen this object draws to, as it was when the object was made.
    const Display& Screen() const { return *display_; }

private:
    std::shared_ptr<Display> display_;
    bool cooperativeLevelSet_ = false;
};

// Direct3D is reached from the DirectDraw object by QueryInterface
// (IID_IDirect3D2); the Immediate Mode part of this module answers once it
// installs its provider. A provider returns E_NOINTERFACE for ids it does not
// know.
using DirectDrawInterfaceProvider = HRESULT (*)(DirectDraw& directDraw, REFIID riid, void** object);
void SetDirectDrawInterfaceProvider(DirectDrawInterfaceProvider provider);

} // namespace zv::ddraw
