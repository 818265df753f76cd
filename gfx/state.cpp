// GraphicsState as a whole: loading the runtimes, reset and clean-up.
#include <gfx/hxp.h>

GraphicsState g_hxp;

namespace {

template <class EntryPoint> void Resolve(EntryPoint& field, HMODULE module, const char* name) {
    field = reinterpret_cast<EntryPoint>(GetProcAddress(module, name));
}

// The code of the last missing entry point in lookup order, 0 when none is.
int MissingEntryPointCode() {
    const bool found[] = {
        g_hxp.pfnDirect3DRMCreate != nullptr,     g_hxp.pfnD3DRMColorGetGreen != nullptr,
        g_hxp.pfnD3DRMColorGetRed != nullptr,     g_hxp.pfnD3DRMColorGetBlue != nullptr,
        g_hxp.pfnD3DRMCreateColorRGB != nullptr,  g_hxp.pfnDirectDrawCreate != nullptr,
        g_hxp.pfnDirectDrawEnumerateA != nullptr,
    };
    int code = 0;
    for (int i = 0; i < 7; ++i)
        if (!found[i])
            code = i + 3;
    return code;
}

void ReleaseInterfaces() {
    HXPRelease(g_hxp.rmViewport);
    HXPRelease(g_hxp.rmDevice);
    HXPRelease(g_hxp.device);
    HXPRelease(g_hxp.palette);
    HXPRelease(g_hxp.zBuffer);
    HXPRelease(g_hxp.d3drm);
    HXPRelease(g_hxp.d3d);
    HXPRelease(g_hxp.backSurface);
    HXPRelease(g_hxp.clipper);
    HXPRelease(g_hxp.primarySurface);
    HXPRelease(g_hxp.ddraw);
}

} // namespace

int HXPLoadLibraries() {
    // Once loaded, the modules stay; an entry point found missing before is
    // still reported, so that nobody calls through a null one.
    if (g_hxp.d3drmModule != nullptr && g_hxp.ddrawModule != nullptr)
        return MissingEntryPointCode();

    g_hxp.d3drmModule = LoadLibraryA("d3drm.dll");
    if (g_hxp.d3drmModule == nullptr) {
        HXPFreeLibraries();
        return 1;
    }
    g_hxp.ddrawModule = LoadLibraryA("ddraw.dll");
    if (g_hxp.ddrawModule == nullptr) {
        HXPFreeLibraries();
        return 2;
    }

    Resolve(g_hxp.pfnDirect3DRMCreate, g_hxp.d3drmModule, "Direct3DRMCreate");
    Resolve(g_hxp.pfnD3DRMColorGetGreen, g_hxp.d3drmModule, "D3DRMColorGetGreen");
    Resolve(g_hxp.pfnD3DRMColorGetRed, g_hxp.d3drmModule, "D3DRMColorGetRed");
    Resolve(g_hxp.pfnD3DRMColorGetBlue, g_hxp.d3drmModule, "D3DRMColorGetBlue");
    Resolve(g_hxp.pfnD3DRMCreateColorRGB, g_hxp.d3drmModule, "D3DRMCreateColorRGB");
    Resolve(g_hxp.pfnDirectDrawCreate, g_hxp.ddrawModule, "DirectDrawCreate");
    Resolve(g_hxp.pfnDirectDrawEnumerateA, g_hxp.ddrawModule, "DirectDrawEnumerateA");
    return MissingEntryPointCode();
}

void HXPFreeLibraries() {
    if (g_hxp.d3drmModule != nullptr) {
        FreeLibrary(g_hxp.d3drmModule);
        g_hxp.d3drmModule = nullptr;
    }
    if (g_hxp.ddrawModule != nullptr) {
        FreeLibrary(g_hxp.ddrawModule);
        g_hxp.ddrawModule = nullptr;
    }
}

HRESULT HXPDirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter) {
    if (g_hxp.pfnDirectDrawCreate == nullptr)
        return DDERR_NOTINITIALIZED;
    return g_hxp.pfnDirectDrawCreate(lpGUID, lplpDD, pUnkOuter);
}

HRESULT HXPDirect3DRMCreate(LPDIRECT3DRM* lplpDirect3DRM) {
    if (lplpDirect3DRM == nullptr)
        return 0;
    if (g_hxp.pfnDirect3DRMCreate == nullptr)
        return CO_E_NOTINITIALIZED;
    return g_hxp.pfnDirect3DRMCreate(lplpDirect3DRM);
}

BOOL HXPInitialize() {
    OutputDebugStringA("HXP:Hexaplan Initialize\n");
    if (HXPLoadLibraries() != 0)
        return 0;
    // A rebuild after a resize comes here with the resize's interfaces still
    // held; give them back rather than lose them with the reset.
    ReleaseInterfaces();
    HXPRelease(g_hxp.d3drmBase);
    static_cast<GraphicsResetBlock&>(g_hxp) = GraphicsResetBlock{};
    g_hxp.width = 640;
    g_hxp.height = 480;
    g_hxp.bitsPerPixel = 16;
    g_hxp.restoreEnabled = 1;
    return 1;
}

BOOL HXPSetPreferRgb(int prefer) {
    g_hxp.preferRgb = prefer;
    return 1;
}

BOOL HXPSetRenderEnabled(int enabled) {
    if (enabled == 0)
        g_hxp.renderEnabled = 0;
    else if (enabled == 1)
        g_hxp.renderEnabled = 1;
    return 1;
}

BOOL HXPCleanup() {
    OutputDebugStringA("HXP:Hexaplan Cleanup\n");
    ReleaseInterfaces();
    g_hxp.renderEnabled = 0;
    return 1;
}
