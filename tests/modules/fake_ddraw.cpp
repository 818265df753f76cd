// A stand-in for "ddraw.dll" that leaves out the entry points named at build
// time (WITHOUT_<name>), to show what the loader does when some are missing.
#include <platform/ddraw.h>

#include "fake_results.h"

namespace {
FakeDirectDrawCreateCall g_lastCall;
}

#ifndef WITHOUT_DirectDrawCreate
extern "C" HRESULT WINAPI DirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD,
                                           IUnknown* pUnkOuter) {
    g_lastCall = {lpGUID, lplpDD, pUnkOuter};
    return kFakeDirectDrawCreateResult;
}
#endif

#ifndef WITHOUT_DirectDrawEnumerateA
extern "C" HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA, LPVOID) {
    return DD_OK;
}
#endif

// What the last DirectDrawCreate was given.
extern "C" FakeDirectDrawCreateCall FakeLastDirectDrawCreateCall() {
    return g_lastCall;
}
