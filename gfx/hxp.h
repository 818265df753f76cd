// The graphics layer: one global record of every DirectX interface and
// setting the layer holds, and the HXP functions over it.
#pragma once

#include <platform/windows.h>
#include <platform/ddraw.h>
#include <platform/d3d.h>
#include <platform/d3drm.h>

// The part of GraphicsState that HXPInitialize resets, in its fixed order.
struct GraphicsResetBlock {
    IDirectDraw* ddraw;
    IDirect3D2* d3d;
    IDirect3DRM2* d3drm;
    // Held only while CreateD3DRM obtains d3drm from it.
    IDirect3DRM* d3drmBase;
    IDirectDrawSurface* primarySurface;
    IDirectDrawSurface* backSurface;
    IDirectDrawSurface* zBuffer;
    IDirectDrawPalette* palette;
    PALETTEENTRY paletteEntries[256];
    IDirectDrawClipper* clipper;
    IDirect3DDevice2* device;
    IDirect3DRMDevice2* rmDevice;
    IDirect3DRMViewport* rmViewport;
    char deviceName[256];
    // D3DCOLOR_MONO or D3DCOLOR_RGB, tested bitwise against dcmColorModel.
    int deviceType;
    // The client area in screen coordinates.
    RECT clientRect;
    BOOL halFound;
    BOOL hardwareDisabled;
    int preferRgb;
    BOOL renderEnabled;
    BOOL windowed;
    BOOL resizing;
    BOOL restoreEnabled;
    char fatalText[2048];
    int width;
    int height;
    int bitsPerPixel;
    HWND hwnd;
    BOOL deviceChosen;
};

struct GraphicsState : GraphicsResetBlock {
    // Kept for the life of the process.
    GUID halGuid;
    HMODULE ddrawModule;
    HMODULE d3drmModule;
    decltype(&Direct3DRMCreate) pfnDirect3DRMCreate;
    decltype(&D3DRMColorGetGreen) pfnD3DRMColorGetGreen;
    decltype(&D3DRMColorGetRed) pfnD3DRMColorGetRed;
    decltype(&D3DRMColorGetBlue) pfnD3DRMColorGetBlue;
    decltype(&D3DRMCreateColorRGB) pfnD3DRMCreateColorRGB;
    decltype(&DirectDrawCreate) pfnDirectDrawCreate;
    decltype(&DirectDrawEnumerateA) pfnDirectDrawEnumerateA;
};

// All zeros at start.
extern GraphicsState g_hxp;

// Releases one interface field and nulls it.
template <class Interface> void HXPRelease(Interface*& field) {
    if (field != nullptr) {
        field->Release();
        field = nullptr;
    }
}

// Loads "d3drm.dll" and "ddraw.dll" and resolves their seven entry points:
// 0 when all are there, 1 or 2 when a module cannot be loaded, 3 to 9 for the
// last missing entry point. Loads nothing once both modules are loaded.
int HXPLoadLibraries();
void HXPFreeLibraries();

// The loaded DirectDrawCreate and Direct3DRMCreate, arguments unchanged.
// DDERR_NOTINITIALIZED when the entry point has not been resolved.
HRESULT HXPDirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter);
// 0 without a call when the destination is null.
HRESULT HXPDirect3DRMCreate(LPDIRECT3DRM* lplpDirect3DRM);

// Loads the runtimes and resets the record to its defaults; 0 when loading
// failed, and then the record is left as it was.
BOOL HXPInitialize();
BOOL HXPSetPreferRgb(int prefer);
// 0 clears, 1 sets; other values change nothing.
BOOL HXPSetRenderEnabled(int enabled);
// Releases every interface in its fixed order and disables rendering.
BOOL HXPCleanup();

// The window's DirectDraw surfaces. CreateDirectDrawWin releases everything
// held and builds the DirectDraw object, the clipped primary surface and the
// back surface of the client area's size; a failed step ends the process.
BOOL CreateDirectDrawWin(HWND hwnd);
// Rebuilds the surfaces for the window's new client size (the sizes serve the
// diagnostic line only) and, when the retained-mode object is held, the 3D
// objects on them; 0 when nothing has been built yet.
BOOL HXPResizeWindow(HWND hwnd, int newWidth, int newHeight);
// Follows the client area to where the window now is on the screen.
BOOL HXPMoveWindow(HWND hwnd);
// Copies the back surface into the window; 0 when skipped (resizing, or
// rendering not enabled).
BOOL HXPPresent();
// Restores a lost primary surface or Z buffer and has the viewport redrawn.
BOOL HXPRestoreSurfaces();

// The retained-mode object, the 8-bit palette, the 3D device and the
// retained-mode device over it; 0 on failure.
BOOL CreateD3DRM();
// The retained-mode viewport over the whole client area, seen from the
// camera frame, with its back clipping plane; a failure ends the process.
BOOL HXPViewport(LPDIRECT3DRMFRAME2 camera);
// Chooses and creates the Immediate Mode device for the colour model, with
// its Z buffer; 0 after a failure it has reported itself.
BOOL HXPCreateDevice(int colorModel);

// Show the name of the result's constant, then end the process with status 1.
[[noreturn]] void HXPDDrawError(HRESULT hr);
[[noreturn]] void HXPRMError(HRESULT hr);
// Shows the text, then ends the process with status 1.
[[noreturn]] void HXPFatal(const char* text);

// The texts those reporters show for a result: the constant's name, or
// "Unknown Error".
const char* HXPDDrawErrorName(HRESULT hr);
const char* HXPRMErrorName(HRESULT hr);

// What HXPCreateDevice looks for while it enumerates the Direct3D devices:
// the wanted colour model, and the first hardware and the first software
// device that offer it. Zeroed as a whole before every enumeration (420
// bytes where pointers take 4).
struct DeviceSearch {
    // D3DCOLORMODEL bits.
    DWORD colorModel;
    // Points at GraphicsState::halGuid once a hardware device is accepted:
    // the enumerator's GUID lives only as long as the callback.
    GUID* halDeviceGuid;
    D3DDEVICEDESC halDesc;
    // Only ever tested against null; the enumerator's GUID may be gone.
    GUID* helDeviceGuid;
    D3DDEVICEDESC helDesc;
};

// IDirect3D2::EnumDevices' callback with a DeviceSearch as its context; goes
// through every device, so always D3DENUMRET_OK.
HRESULT CALLBACK HXPEnumDeviceCallback(GUID* lpGuid, LPSTR lpDeviceDescription,
                                       LPSTR lpDeviceName, LPD3DDEVICEDESC lpD3DHWDeviceDesc,
                                       LPD3DDEVICEDESC lpD3DHELDeviceDesc, LPVOID lpContext);
