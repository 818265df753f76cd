// Turning a bitmap into a device texture: the pixel format, the surfaces, the
// palette, the GDI copy, the load into the device surface and the material.
#include <gfx/BitmapTexture.h>
#include <gfx/hxp.h>

#include <platform/afx.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void ReportUnreadableBitmap(LPCSTR name) {
    char text[256];
    std::snprintf(text, sizeof text, "%sﾌｧｲﾙが読み込めません", name ? name : "");
    AfxMessageBox(text, MB_OK, 0);
    std::exit(1);
}

// The executable carries no bitmaps today, but its own resource wins over a
// file of the same name.
HBITMAP LoadBitmapSection(LPCSTR name) {
    HANDLE image =
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (image == nullptr)
        image =
            LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    return static_cast<HBITMAP>(image);
}

// The surface comes back only on success, so a failed call can never leave
// something behind that a later release would trip over.
IDirectDrawSurface* CreateTextureSurface(DDSURFACEDESC* desc, DWORD caps) {
    desc->ddsCaps.dwCaps = caps;
    IDirectDrawSurface* surface = nullptr;
    if (g_hxp.ddraw->CreateSurface(desc, &surface, nullptr) != DD_OK)
        return nullptr;
    return surface;
}

IDirect3DTexture2* TextureOf(IDirectDrawSurface* surface) {
    IDirect3DTexture2* texture = nullptr;
    if (surface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&texture)) != 0)
        return nullptr;
    return texture;
}

// White, so the picture shows in its own colours.
void DescribeMaterial(D3DMATERIAL* desc, D3DTEXTUREHANDLE textureHandle) {
    *desc = {};
    desc->dwSize = sizeof(D3DMATERIAL);
    desc->diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    desc->hTexture = textureHandle;
    desc->dwRampSize = 32;
}

void CreateTextureMaterial(BitmapTexture* texture) {
    IDirect3DMaterial2* material = nullptr;
    if (g_hxp.d3d->CreateMaterial(&material, nullptr) != D3D_OK) {
        material = nullptr;
        OutputDebugStringA("vupa: Failed to CreateMaterial\n");
    }
    texture->material = material;
    DescribeMaterial(&texture->materialDesc, texture->textureHandle);
    // Without a material the texture still works; its handle stays 0.
    if (material != nullptr) {
        material->SetMaterial(&texture->materialDesc);
        material->GetHandle(g_hxp.device, &texture->materialHandle);
    }
}

// Everything of a load between reading the bitmap and deleting it; 0 leaves
// the caller to release what was made so far.
BOOL BuildTexture(BitmapTexture* texture, LPDIRECT3DDEVICE2 device, HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(BITMAP), &info);

    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    // With no format offered the description keeps an all-zero format and
    // the surface creation decides.
    FindTextureFormat(device, info.bmBitsPixel, &desc.ddpfPixelFormat);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwHeight = static_cast<DWORD>(info.bmHeight);
    desc.dwWidth = static_cast<DWORD>(info.bmWidth);

    const DWORD systemCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    const DWORD videoCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_ALLOCONLOAD;
    texture->deviceSurface = CreateTextureSurface(&desc, g_hxp.halFound ? videoCaps : systemCaps);
    if (texture->deviceSurface == nullptr)
        return 0;
    if (g_hxp.halFound) {
        // GDI cannot draw into video memory: it draws here, and the device
        // surface is loaded from this one.
        texture->systemSurface = CreateTextureSurface(&desc, systemCaps);
        if (texture->systemSurface == nullptr)
            return 0;
    } else {
        texture->systemSurface = texture->deviceSurface;
        texture->systemSurface->AddRef();
    }

    if (desc.ddpfPixelFormat.dwRGBBitCount <= 8) {
        texture->texturePalette = CreateBitmapPalette(bitmap);
        // Set even when null; neither surface's answer changes the load.
        texture->systemSurface->SetPalette(texture->texturePalette);
        texture->deviceSurface->SetPalette(texture->texturePalette);
    }

    if (!CopyBitmapToSurface(texture, bitmap))
        return 0;

    if (IDirect3DTexture2* deviceTexture = TextureOf(texture->deviceSurface)) {
        deviceTexture->GetHandle(device, &texture->textureHandle);
        deviceTexture->Release();
    }
    CreateTextureMaterial(texture);
    return 1;
}

} // namespace

BitmapTexture::~BitmapTexture() {
    ReleaseBitmapTexture(this);
}

BOOL LoadBitmapTexture(BitmapTexture* texture, LPDIRECT3DDEVICE2 device, LPCSTR name) {
    HBITMAP bitmap = LoadBitmapSection(name);
    if (bitmap == nullptr)
        ReportUnreadableBitmap(name);
    // Only now: a bitmap that cannot be read leaves the old texture alone.
    ReleaseBitmapTexture(texture);
    const BOOL loaded = BuildTexture(texture, device, bitmap);
    DeleteObject(bitmap);
    if (!loaded)
        ReleaseBitmapTexture(texture);
    return loaded;
}

void ReleaseBitmapTexture(BitmapTexture* texture) {
    HXPRelease(texture->systemSurface);
    HXPRelease(texture->deviceSurface);
    HXPRelease(texture->texturePalette);
    HXPRelease(texture->material);
    texture->textureHandle = 0;
    // A handle naming a released material must not be selected by a frame.
    texture->materialHandle = 0;
}

HRESULT FindTextureFormat(LPDIRECT3DDEVICE2 device, DWORD wantedBits, LPDDPIXELFORMAT format) {
    TextureFormatSearch search = {};
    search.wantedBits = wantedBits;
    const HRESULT hr = device->EnumTextureFormats(TextureFormatCallback, &search);
    *format = search.bestFormat;
    return hr;
}

HRESULT CALLBACK TextureFormatCallback(LPDDSURFACEDESC lpDdsd, LPVOID lpContext) {
    auto* search = static_cast<TextureFormatSearch*>(lpContext);
    const DDPIXELFORMAT& format = lpDdsd->ddpfPixelFormat;
    const DWORD bits = format.dwRGBBitCount;

    if (format.dwFlags & (DDPF_ALPHAPIXELS | DDPF_ALPHA))
        return D3DENUMRET_OK;
    const DWORD needed = bits > 8 ? DDPF_RGB : DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED8;
    if ((format.dwFlags & needed) == 0)
        return D3DENUMRET_OK;
    // 4-bit palettes are too coarse for a picture.
    if (bits < 8)
        return D3DENUMRET_OK;

    const DWORD heldBits = search->bestFormat.dwRGBBitCount;
    if (heldBits != 0) {
        if (bits < search->wantedBits)
            return D3DENUMRET_OK;
        // Unsigned: a held format below the wanted depth is infinitely far,
        // and an equal distance keeps the earlier format.
        if (bits - search->wantedBits >= heldBits - search->wantedBits)
            return D3DENUMRET_OK;
    }
    search->bestFormat = format;
    return D3DENUMRET_OK;
}

LPDIRECTDRAWPALETTE CreateBitmapPalette(HBITMAP bitmap) {
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    RGBQUAD table[256];
    const UINT count = GetDIBColorTable(memory, 0, 256, table);
    DeleteDC(memory);
    if (count == 0)
        return nullptr;

    // The pixels never refer to entries past the table; they stay black.
    PALETTEENTRY entries[256] = {};
    for (UINT i = 0; i < count; ++i)
        entries[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    IDirectDrawPalette* palette = nullptr;
    if (g_hxp.ddraw->CreatePalette(count <= 16 ? DDPCAPS_4BIT : DDPCAPS_8BIT, entries, &palette,
                                   nullptr) != DD_OK)
        return nullptr;
    return palette;
}

BOOL CopyBitmapToSurface(BitmapTexture* texture, HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(BITMAP), &info);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);

    BOOL result = 0;
    HDC surface = nullptr;
    if (texture->systemSurface != nullptr && texture->systemSurface->GetDC(&surface) == DD_OK) {
        // GDI converts the bitmap to the surface's format on the way.
        BitBlt(surface, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        texture->systemSurface->ReleaseDC(surface);
        result = LoadTextureSurface(texture);
    }
    DeleteDC(memory);
    return result;
}

BOOL LoadTextureSurface(BitmapTexture* texture) {
    if (texture->deviceSurface == nullptr || texture->systemSurface == nullptr)
        return 0;
    // Without hardware the device textures straight from system memory.
    if (texture->deviceSurface == texture->systemSurface)
        return 1;
    if (texture->deviceSurface->Restore() != DD_OK)
        return 0;

    IDirect3DTexture2* deviceTexture = TextureOf(texture->deviceSurface);
    IDirect3DTexture2* systemTexture = TextureOf(texture->systemSurface);
    HRESULT hr = E_NOINTERFACE;
    if (deviceTexture != nullptr && systemTexture != nullptr)
        hr = deviceTexture->Load(systemTexture);
    HXPRelease(deviceTexture);
    HXPRelease(systemTexture);
    return hr == D3D_OK;
}
