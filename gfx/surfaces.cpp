// The window's DirectDraw surfaces: the primary surface clipped to the window
// and the off-screen back surface Direct3D renders into, kept in step with the
// window's moves and sizes, restored when lost and presented once a frame.
#include <gfx/hxp.h>

#include <platform/gdi.h>
#include <platform/user.h>

#include <cstdio>

namespace {

constexpr DWORD kBackSurfaceCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;

void MeasureColourDepth(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    g_hxp.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(hwnd, dc);
}

void MeasureClientArea(HWND hwnd) {
    GetClientRect(hwnd, &g_hxp.clientRect);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    g_hxp.clientRect.left += origin.x;
    g_hxp.clientRect.right += origin.x;
    g_hxp.clientRect.top += origin.y;
    g_hxp.clientRect.bottom += origin.y;
    g_hxp.width = g_hxp.clientRect.right - g_hxp.clientRect.left;
    g_hxp.height = g_hxp.clientRect.bottom - g_hxp.clientRect.top;
}

void Check(HRESULT hr) {
    if (hr != DD_OK)
        HXPDDrawError(hr);
}

DDSURFACEDESC PrimaryDescription() {
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return desc;
}

DDSURFACEDESC BackDescription(DWORD caps) {
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwHeight = g_hxp.height;
    desc.dwWidth = g_hxp.width;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

// From the cooperative level to the clipper on the primary surface; every
// step ends the process when it fails.
void BuildWindowedSurfaces(HWND hwnd, DWORD backCaps) {
    Check(g_hxp.ddraw->SetCooperativeLevel(hwnd, DDSCL_NORMAL));
    DDSURFACEDESC primary = PrimaryDescription();
    Check(g_hxp.ddraw->CreateSurface(&primary, &g_hxp.primarySurface, nullptr));
    DDSURFACEDESC back = BackDescription(backCaps);
    Check(g_hxp.ddraw->CreateSurface(&back, &g_hxp.backSurface, nullptr));
    Check(g_hxp.ddraw->CreateClipper(0, &g_hxp.clipper, nullptr));
    Check(g_hxp.clipper->SetHWnd(0, hwnd));
    Check(g_hxp.primarySurface->SetClipper(g_hxp.clipper));
}

void ForceViewportUpdate() {
    if (g_hxp.rmViewport != nullptr)
        g_hxp.rmViewport->ForceUpdate(0, 0, g_hxp.width, g_hxp.height);
}

} // namespace

BOOL CreateDirectDrawWin(HWND hwnd) {
    g_hxp.hwnd = hwnd;
    OutputDebugStringA("HXP:CreateDirectDrawWin\n");
    HXPCleanup();
    MeasureColourDepth(hwnd);
    MeasureClientArea(hwnd);
    Check(HXPDirectDrawCreate(nullptr, &g_hxp.ddraw, nullptr));

    DDCAPS driver = {}, emulation = {};
    driver.dwSize = sizeof driver;
    emulation.dwSize = sizeof emulation;
    g_hxp.ddraw->GetCaps(&driver, &emulation);
    g_hxp.deviceType = g_hxp.preferRgb != 0 ? D3DCOLOR_RGB : D3DCOLOR_MONO;
    if (g_hxp.hardwareDisabled == 0 && (driver.dwCaps & DDCAPS_3D) != 0 &&
        (driver.ddsCaps.dwCaps & DDSCAPS_TEXTURE) != 0)
        g_hxp.deviceType = D3DCOLOR_RGB;

    // The first build insists on video memory for the render target.
    BuildWindowedSurfaces(hwnd, kBackSurfaceCaps | DDSCAPS_VIDEOMEMORY);
    g_hxp.windowed = 1;
    return 1;
}

BOOL HXPResizeWindow(HWND hwnd, int newWidth, int newHeight) {
    g_hxp.hwnd = hwnd;
    OutputDebugStringA("HXP:Resize Window\n");
    if (g_hxp.windowed == 0)
        return 0;
    const bool retainedModeHeld = g_hxp.d3drm != nullptr;

    HXPRelease(g_hxp.rmViewport);
    HXPRelease(g_hxp.rmDevice);
    HXPRelease(g_hxp.device);
    HXPRelease(g_hxp.d3d);
    HXPRelease(g_hxp.palette);
    HXPRelease(g_hxp.zBuffer);
    HXPRelease(g_hxp.backSurface);
    HXPRelease(g_hxp.clipper);
    HXPRelease(g_hxp.primarySurface);
    HXPRelease(g_hxp.ddraw);
    g_hxp.resizing = 1;

    MeasureColourDepth(hwnd);
    MeasureClientArea(hwnd);
    char line[128];
    std::snprintf(line, sizeof line, " Hxp:%d,%d - param %d,%d \n", g_hxp.width, g_hxp.height,
                  newWidth, newHeight);
    OutputDebugStringA(line);

    // The colour model stays the one CreateDirectDrawWin chose, so the device
    // a resize rebuilds is of the same kind as the one it replaces.
    Check(HXPDirectDrawCreate(nullptr, &g_hxp.ddraw, nullptr));
    // After a resize the placement of the render target is left to DirectDraw.
    BuildWindowedSurfaces(hwnd, kBackSurfaceCaps);
    g_hxp.windowed = 1;

    if (retainedModeHeld)
        CreateD3DRM();
    g_hxp.resizing = 0;
    return 1;
}

BOOL HXPMoveWindow(HWND hwnd) {
    MeasureClientArea(hwnd);
    return 1;
}

BOOL HXPPresent() {
    if (g_hxp.resizing != 0 || g_hxp.renderEnabled == 0)
        return 0;
    RECT source = {0, 0, g_hxp.width, g_hxp.height};
    Check(g_hxp.primarySurface->Blt(&g_hxp.clientRect, g_hxp.backSurface, &source, DDBLT_WAIT,
                                    nullptr));
    return 1;
}

BOOL HXPRestoreSurfaces() {
    if (g_hxp.renderEnabled == 0 || g_hxp.restoreEnabled == 0 || g_hxp.primarySurface == nullptr)
        return 1;
    if (g_hxp.primarySurface->IsLost() != DD_OK) {
        g_hxp.primarySurface->Restore();
        ForceViewportUpdate();
    }
    if (g_hxp.zBuffer != nullptr && g_hxp.zBuffer->IsLost() != DD_OK) {
        g_hxp.zBuffer->Restore();
        ForceViewportUpdate();
    }
    return 1;
}
