// Entry points of the "ddraw.dll" module for tests only; the program never
// looks them up. Tests find them by name with GetProcAddress.
#pragma once

#include <platform/ddraw.h>

// Makes a surface of this module lose its memory, as a display change would:
// IsLost then reports DDERR_SURFACELOST until Restore. DDERR_INVALIDOBJECT for
// anything that is not one of the module's surfaces.
inline constexpr char kLoseSurfaceEntryPoint[] = "ZvTestLoseSurface";
using LoseSurfaceFn = HRESULT(WINAPI*)(IDirectDrawSurface* surface);
