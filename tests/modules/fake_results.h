// What the fake runtime modules answer, shared with the tests that load them.
#pragma once

#include <platform/ddraw.h>
#include <platform/d3drm.h>

// Results no real call gives, so a test can tell the fake answered.
inline constexpr HRESULT kFakeDirectDrawCreateResult = 0x0FA4E001;
inline constexpr HRESULT kFakeDirect3DRMCreateResult = 0x0FA4E002;

struct FakeDirectDrawCreateCall {
    GUID* guid;
    LPDIRECTDRAW* destination;
    IUnknown* outer;
};

using FakeLastDirectDrawCreateCallFn = FakeDirectDrawCreateCall (*)();
using FakeLastDirect3DRMCreateDestinationFn = LPDIRECT3DRM* (*)();
