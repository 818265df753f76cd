// Choosing and creating the Immediate Mode device: the first hardware device
// with the wanted colour model and a usable Z-buffer depth, otherwise the
// software emulation drivers, MMX first.
#include <gfx/hxp.h>

#include <platform/afx.h>

#include <cstdio>
#include <cstring>

namespace {

// Lines are composed here; an overlong device name is cut so that the line
// still ends with its value and line feed.
constexpr size_t kLineSize = 200;
// "%x" of a 32-bit value.
constexpr int kHexDigits = 8;

void DeviceLine(const char* prefix, const char* name, DWORD data1) {
    const int room = static_cast<int>(kLineSize - 1 - std::strlen(prefix) - 1 - kHexDigits - 1);
    char line[kLineSize];
    std::snprintf(line, sizeof line, "%s%.*s %x\n", prefix, room, name, data1);
    OutputDebugStringA(line);
}

void SetDeviceName(const char* name) {
    std::snprintf(g_hxp.deviceName, sizeof g_hxp.deviceName, "%s", name);
}

// The Z-buffer depth a hardware device's DDBD_ bits allow, shallowest first.
DWORD HardwareDepth(DWORD depths) {
    if ((depths & DDBD_16) != 0)
        return 16;
    if ((depths & DDBD_24) != 0)
        return 24;
    if ((depths & DDBD_32) != 0)
        return 32;
    return 0;
}

// The back surface's size with a Z buffer of that depth in that memory.
BOOL CreateZBuffer(DWORD depth, DWORD memory) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = DDSURFACEDESC_SIZE;
    g_hxp.backSurface->GetSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | memory;
    desc.dwZBufferBitDepth = depth;
    if (g_hxp.ddraw->CreateSurface(&desc, &g_hxp.zBuffer, nullptr) != 0) {
        AfxMessageBox("Zバッファの生成に失敗しました", MB_OK, 0);
        return 0;
    }
    if (g_hxp.backSurface->AddAttachedSurface(g_hxp.zBuffer) != 0) {
        AfxMessageBox("Zバッファのアタッチに失敗しました", MB_OK, 0);
        return 0;
    }
    return 1;
}

HRESULT CreateDevice(REFCLSID guid) {
    return g_hxp.d3d->CreateDevice(guid, g_hxp.backSurface, &g_hxp.device);
}

BOOL CreateSoftwareDevice(int colorModel) {
    if (CreateDevice(IID_IDirect3DMMXDevice) == 0) {
        OutputDebugStringA("HXP:Created Direct3DDevice with MMX(HEL)\n");
        SetDeviceName("MMX HEL Driver");
        return 1;
    }
    HRESULT hr;
    if (colorModel == D3DCOLOR_RGB) {
        hr = CreateDevice(IID_IDirect3DRGBDevice);
        SetDeviceName("RGB Emulation");
        OutputDebugStringA("HXP:Created Direct3DDevice with RGB(HEL)\n");
    } else {
        hr = CreateDevice(IID_IDirect3DRampDevice);
        OutputDebugStringA("HXP:Created Direct3DDevice with RAMP(HEL)\n");
        SetDeviceName("Ramp Emulation");
    }
    if (hr != 0) {
        OutputDebugStringA("HXP:Failed to Create Direct3DDevice!\n");
        AfxMessageBox("Direct3DDeviceの生成に失敗しました", MB_OK, 0);
        HXPCleanup();
        return 0;
    }
    return 1;
}

} // namespace

HRESULT CALLBACK HXPEnumDeviceCallback(GUID* lpGuid, LPSTR, LPSTR lpDeviceName,
                                       LPD3DDEVICEDESC lpD3DHWDeviceDesc,
                                       LPD3DDEVICEDESC lpD3DHELDeviceDesc, LPVOID lpContext) {
    auto* search = static_cast<DeviceSearch*>(lpContext);
    if (g_hxp.deviceChosen != 0)
        return D3DENUMRET_OK;
    const char* name = lpDeviceName != nullptr ? lpDeviceName : "";

    if (g_hxp.hardwareDisabled == 0 &&
        (search->colorModel & lpD3DHWDeviceDesc->dcmColorModel) != 0) {
        // A hardware device without a Z-buffer depth the program can use is
        // passed over, not taken as software either.
        if ((lpD3DHWDeviceDesc->dwDeviceZBufferBitDepth & (DDBD_16 | DDBD_24 | DDBD_32)) == 0)
            return D3DENUMRET_OK;
        std::memcpy(&search->halDesc, lpD3DHWDeviceDesc, sizeof search->halDesc);
        SetDeviceName(name);
        g_hxp.halGuid = *lpGuid;
        search->halDeviceGuid = &g_hxp.halGuid;
        DeviceLine("HXP:HAL DeviceName :", name, lpGuid->Data1);
        g_hxp.deviceChosen = 1;
        g_hxp.halFound = 1;
        return D3DENUMRET_OK;
    }

    if ((search->colorModel & lpD3DHELDeviceDesc->dcmColorModel) != 0 &&
        search->helDeviceGuid == nullptr) {
        std::memcpy(&search->helDesc, lpD3DHELDeviceDesc, sizeof search->helDesc);
        DeviceLine("HXP:DeviceName :", name, lpGuid->Data1);
        search->helDeviceGuid = lpGuid;
    }
    return D3DENUMRET_OK;
}

BOOL HXPCreateDevice(int colorModel) {
    DeviceSearch search;
    std::memset(&search, 0, sizeof search);
    search.colorModel = static_cast<DWORD>(colorModel);

    HRESULT hr = g_hxp.ddraw->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&g_hxp.d3d));
    if (FAILED(hr)) {
        OutputDebugStringA("HXP:Error:Failed to QI Direct3D2 from DirectDraw\n");
        AfxMessageBox("Direct3D2インターフェイスの取得に失敗しました", MB_OK, 0);
        HXPRelease(g_hxp.ddraw);
        return 0;
    }

    g_hxp.deviceChosen = 0;
    g_hxp.deviceName[0] = '\0';
    g_hxp.d3d->EnumDevices(HXPEnumDeviceCallback, &search);

    const bool hardware = search.halDeviceGuid != nullptr;
    DWORD depth = 16;
    DWORD memory = DDSCAPS_SYSTEMMEMORY;
    if (hardware) {
        depth = HardwareDepth(search.halDesc.dwDeviceZBufferBitDepth);
        memory = DDSCAPS_VIDEOMEMORY;
        // The callback has already copied the accepted GUID into halGuid.
        OutputDebugStringA("HXP:I'll use HAL\n");
    }

    char line[kLineSize];
    std::snprintf(line, sizeof line, "HXP:DeviceGuid %x\n", g_hxp.halGuid.Data1);
    OutputDebugStringA(line);

    if (depth != 0 && !CreateZBuffer(depth, memory))
        return 0;

    if (!hardware)
        return CreateSoftwareDevice(colorModel);
    if (CreateDevice(g_hxp.halGuid) != 0) {
        OutputDebugStringA("HXP:Can't Create Direct3DDevice2 from Direct3D2\n");
        AfxMessageBox("Direct3DDevice2の取得に失敗しました", MB_OK, 0);
        HXPCleanup();
        return 0;
    }
    return 1;
}
