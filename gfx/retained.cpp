// The retained-mode object, its device over the Immediate Mode device, and
// the viewport over the whole client area.
#include <gfx/hxp.h>

#include <platform/afx.h>
#include <platform/gdi.h>

#include <cstdio>

namespace {

// On an 8-bit display the palette is the system's, with the static colours
// at both ends left alone and the rest free for the 3D device.
void UseSystemPalette() {
    OutputDebugStringA("HXP:palettized \n");
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, g_hxp.paletteEntries);
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < 256; ++i)
        g_hxp.paletteEntries[i].peFlags = (i < 10 || i >= 246) ? D3DPAL_READONLY : PC_RESERVED;
    g_hxp.ddraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, g_hxp.paletteEntries,
                               &g_hxp.palette, nullptr);
    g_hxp.backSurface->SetPalette(g_hxp.palette);
    g_hxp.primarySurface->SetPalette(g_hxp.palette);
}

// Full quality only where a hardware device draws in true colour.
void ApplyDeviceSettings() {
    IDirect3DRMDevice2* device = g_hxp.rmDevice;
    device->SetBufferCount(2);
    if (g_hxp.bitsPerPixel != 8 && g_hxp.halFound) {
        device->SetShades(16);
        g_hxp.d3drm->SetDefaultTextureColors(16);
        g_hxp.d3drm->SetDefaultTextureShades(16);
        device->SetTextureQuality(D3DRMTEXTURE_LINEAR);
        device->SetQuality(D3DRMRENDER_GOURAUD);
        device->SetDither(TRUE);
    } else {
        device->SetDither(FALSE);
        device->SetQuality(D3DRMRENDER_FLAT);
        device->SetTextureQuality(D3DRMTEXTURE_NEAREST);
        device->SetShades(32);
    }
}

} // namespace

BOOL CreateD3DRM() {
    OutputDebugStringA("HXP:CreateD3DRM\n");
    // A resize keeps the retained-mode object and comes back here with it.
    if (g_hxp.d3drm == nullptr) {
        if (HXPDirect3DRMCreate(&g_hxp.d3drmBase) != 0) {
            HXPCleanup();
            AfxMessageBox("IDirect3DRMの取得に失敗しました", MB_OK, 0);
            return 0;
        }
        if (g_hxp.d3drmBase->QueryInterface(IID_IDirect3DRM2,
                                            reinterpret_cast<void**>(&g_hxp.d3drm)) != 0) {
            HXPRelease(g_hxp.d3drmBase);
            HXPCleanup();
            AfxMessageBox("IDirect3DRM2の取得に失敗しました。DirectX5以上がインストールされているか"
                          "確認してください。",
                          MB_OK, 0);
            return 0;
        }
        HXPRelease(g_hxp.d3drmBase);
    }

    if (g_hxp.bitsPerPixel == 8)
        UseSystemPalette();

    if (g_hxp.device != nullptr)
        return 1;

    if (!HXPCreateDevice(g_hxp.deviceType)) {
        HXPCleanup();
        OutputDebugStringA("HXP:Error:Fail to Direct3D create \n ");
        return 0;
    }
    if (HRESULT hr = g_hxp.d3drm->CreateDeviceFromD3D(g_hxp.d3d, g_hxp.device, &g_hxp.rmDevice))
        HXPRMError(hr);
    ApplyDeviceSettings();
    return 1;
}

BOOL HXPViewport(LPDIRECT3DRMFRAME2 camera) {
    OutputDebugStringA("HXP:HXPViewport\n");
    char line[64];
    std::snprintf(line, sizeof line, "HXP:Viewport width:%d height:%d\n", g_hxp.width,
                  g_hxp.height);
    OutputDebugStringA(line);

    if (HRESULT hr = g_hxp.d3drm->CreateViewport(g_hxp.rmDevice, camera, 0, 0, g_hxp.width,
                                                 g_hxp.height, &g_hxp.rmViewport))
        HXPRMError(hr);
    OutputDebugStringA("phase 3\n");
    if (HRESULT hr = g_hxp.rmViewport->SetBack(D3DVALUE(5000.0)))
        HXPRMError(hr);
    OutputDebugStringA("phase 4\n");
    return 1;
}
