// A Windows bitmap turned into a Direct3D texture with a handle, and the
// material the picture is lit with.
#pragma once

#include <platform/windows.h>
#include <platform/ddraw.h>
#include <platform/d3d.h>

// Holds one reference to each interface it names. Without a hardware device
// systemSurface and deviceSurface are the same surface, referenced twice.
struct BitmapTexture {
    BitmapTexture() = default;
    // Does what ReleaseBitmapTexture does.
    ~BitmapTexture();
    BitmapTexture(const BitmapTexture&) = delete;
    BitmapTexture& operator=(const BitmapTexture&) = delete;

    // What GDI draws the bitmap into.
    IDirectDrawSurface* systemSurface = nullptr;
    // What the device textures from: in video memory with a hardware device.
    IDirectDrawSurface* deviceSurface = nullptr;
    // From the bitmap's colour table; null when it has none.
    IDirectDrawPalette* texturePalette = nullptr;
    // 0 while nothing is loaded.
    D3DTEXTUREHANDLE textureHandle = 0;
    D3DMATERIAL materialDesc = {};
    // 0 while no material is held.
    D3DMATERIALHANDLE materialHandle = 0;
    IDirect3DMaterial2* material = nullptr;
};

// What the format search hands its callback: the bit count wanted and the
// best format so far, none while its dwRGBBitCount is 0.
struct TextureFormatSearch {
    DWORD wantedBits;
    DDPIXELFORMAT bestFormat;
};

// Loads the bitmap `name`, a resource of the executable or else a file, into
// the texture, made for `device` with g_hxp's DirectDraw and Direct3D
// objects. 1 on success; 0, with the texture empty, when a surface cannot be
// made, drawn into, restored or loaded. A bitmap that cannot be read is
// reported to the user and ends the process with status 1.
BOOL LoadBitmapTexture(BitmapTexture* texture, LPDIRECT3DDEVICE2 device, LPCSTR name);
// Releases every interface the texture holds and clears both handles.
void ReleaseBitmapTexture(BitmapTexture* texture);

// The device's alpha-free texture format nearest above `wantedBits`, all
// zero when it offers none that qualifies; returns the enumeration's result.
HRESULT FindTextureFormat(LPDIRECT3DDEVICE2 device, DWORD wantedBits, LPDDPIXELFORMAT format);
// IDirect3DDevice2::EnumTextureFormats' callback with a TextureFormatSearch
// as its context; sees every format, so always D3DENUMRET_OK.
HRESULT CALLBACK TextureFormatCallback(LPDDSURFACEDESC lpDdsd, LPVOID lpContext);
// A palette of the bitmap's colour table, 4-bit for up to 16 entries, else
// 8-bit; null when the bitmap has no table or the palette cannot be made.
LPDIRECTDRAWPALETTE CreateBitmapPalette(HBITMAP bitmap);
// Draws the whole bitmap into systemSurface and loads the device surface
// from it; 0 when the surface gives no device context or the load fails.
BOOL CopyBitmapToSurface(BitmapTexture* texture, HBITMAP bitmap);
// Loads deviceSurface from systemSurface; 1 without a load when they are the
// same surface, 0 when either is missing or restoring or loading fails.
BOOL LoadTextureSurface(BitmapTexture* texture);
