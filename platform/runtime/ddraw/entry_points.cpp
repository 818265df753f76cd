// The exported entry points of the "ddraw.dll" module.
#include "direct_draw.h"
#include "test_hooks.h"

#include <new>

namespace {

// The one driver there is: the display the program runs on.
char kPrimaryDescription[] = "Primary Display Driver";
char kPrimaryName[] = "display";

} // namespace

extern "C" HRESULT WINAPI DirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD,
                                           IUnknown* pUnkOuter) {
    if (lplpDD == nullptr)
        return DDERR_INVALIDPARAMS;
    *lplpDD = nullptr;
    if (pUnkOuter != nullptr)
        return CLASS_E_NOAGGREGATION;
    // The primary driver is enumerated without a GUID; there is no other.
    if (lpGUID != nullptr)
        return DDERR_INVALIDDIRECTDRAWGUID;
    auto* directDraw = new (std::nothrow) zv::ddraw::DirectDraw;
    if (directDraw == nullptr)
        return DDERR_OUTOFMEMORY;
    *lplpDD = directDraw;
    return DD_OK;
}

extern "C" HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA lpCallback, LPVOID lpContext) {
    if (lpCallback == nullptr)
        return DDERR_INVALIDPARAMS;
    lpCallback(nullptr, kPrimaryDescription, kPrimaryName, lpContext);
    return DD_OK;
}

extern "C" HRESULT WINAPI ZvTestLoseSurface(IDirectDrawSurface* surface) {
    zv::ddraw::Surface* ours = zv::ddraw::Surface::From(surface);
    if (ours == nullptr)
        return DDERR_INVALIDOBJECT;
    ours->Lose();
    return DD_OK;
}
