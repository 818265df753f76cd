// A stand-in for "d3drm.dll" that leaves out the entry points named at build
// time (WITHOUT_<name>), to show what the loader does when some are missing.
#include <platform/d3drm.h>

#include "fake_results.h"

namespace {
LPDIRECT3DRM* g_lastDestination;
}

#ifndef WITHOUT_Direct3DRMCreate
extern "C" HRESULT WINAPI Direct3DRMCreate(LPDIRECT3DRM* lplpDirect3DRM) {
    g_lastDestination = lplpDirect3DRM;
    return kFakeDirect3DRMCreateResult;
}
#endif

#ifndef WITHOUT_D3DRMColorGetGreen
extern "C" D3DVALUE WINAPI D3DRMColorGetGreen(D3DCOLOR) {
    return 0.0f;
}
#endif

#ifndef WITHOUT_D3DRMColorGetRed
extern "C" D3DVALUE WINAPI D3DRMColorGetRed(D3DCOLOR) {
    return 0.0f;
}
#endif

#ifndef WITHOUT_D3DRMColorGetBlue
extern "C" D3DVALUE WINAPI D3DRMColorGetBlue(D3DCOLOR) {
    return 0.0f;
}
#endif

#ifndef WITHOUT_D3DRMCreateColorRGB
extern "C" D3DCOLOR WINAPI D3DRMCreateColorRGB(D3DVALUE, D3DVALUE, D3DVALUE) {
    return 0;
}
#endif

// What the last Direct3DRMCreate was given.
extern "C" LPDIRECT3DRM* FakeLastDirect3DRMCreateDestination() {
    return g_lastDestination;
}
