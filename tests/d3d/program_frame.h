// The program's frame through the Immediate Mode objects of the module,
// without the retained mode around them: a 3D surface with a 16-bit Z buffer
// in system memory, a white background cleared through the viewport, the
// seven render states, and the warped grid of 2,401 four-vertex fans
// textured by an 8-bit palettised picture. Shared by the tests and the
// benchmark.
#pragma once

#include <platform/crt.h>
#include <platform/d3d.h>

#include <dib/dib.h>
#include <sim/WarpedGridMesh.h>

#include "common/com_ptr.h"

#include <cstring>
#include <string>
#include <vector>

// The picture the program shows, read once; empty if the file is unreadable.
inline const zv::Dib& ProgramPicture() {
    static const zv::Dib picture = [] {
        zv::Dib dib;
        zv::LoadDibFile(ZV_CAN1_BMP, dib);
        return dib;
    }();
    return picture;
}

// Seeded as at start, then poked and stepped as while the space bar is held.
inline DisplacementField RipplingField() {
    DisplacementField field;
    crt::srand(1);
    SeedFields(field);
    for (int frame = 0; frame < 30; ++frame) {
        if (frame < 5)
            PokeCentre(field);
        StepFields(field);
    }
    return field;
}

class ProgramFrame {
public:
    // Builds what a graphics set-up builds. Failed() says whether it all
    // worked and Failure() which step did not.
    ProgramFrame(IDirectDraw* directDraw, IDirect3D2* direct3D, const GUID& device, int width,
                 int height, const zv::Dib& picture)
        : width_(width), height_(height) {
        if (picture.bitsPerPixel != 8) {
            Fail("picture is not 8-bit", E_INVALIDARG);
            return;
        }

        DDSURFACEDESC desc = Describe(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, width, height);
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = Xrgb8888();
        if (!Check("target", directDraw->CreateSurface(&desc, target_.Put(), nullptr)))
            return;
        desc = Describe(DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, width, height);
        desc.dwFlags |= DDSD_ZBUFFERBITDEPTH;
        desc.dwZBufferBitDepth = 16;
        if (!Check("Z buffer", directDraw->CreateSurface(&desc, zBuffer_.Put(), nullptr)) ||
            !Check("attach", target_->AddAttachedSurface(zBuffer_.Get())) ||
            !Check("device", direct3D->CreateDevice(device, target_.Get(), device_.Put())) ||
            !Check("viewport", direct3D->CreateViewport(viewport_.Put(), nullptr)) ||
            !Check("add viewport", device_->AddViewport(viewport_.Get())))
            return;
        D3DVIEWPORT data = {};
        data.dwSize = sizeof data;
        data.dwWidth = static_cast<DWORD>(width);
        data.dwHeight = static_cast<DWORD>(height);
        data.dvScaleX = width / 2.0f;
        data.dvScaleY = height / 2.0f;
        data.dvMaxX = data.dvMaxY = data.dvMaxZ = 1.0f;
        if (!Check("set viewport", viewport_->SetViewport(&data)) ||
            !MakeMaterial(direct3D, 16, 0, background_, backgroundHandle_) ||
            !MakeTexture(directDraw, picture) ||
            !MakeMaterial(direct3D, 32, textureHandle_, textureMaterial_, materialHandle_))
            return;
    }

    bool Failed() const { return !failure_.empty(); }
    const std::string& Failure() const { return failure_; }

    // One frame as the frame renderer draws it, from the background to the
    // end of the scene; the simulation step is the caller's.
    void Render(const DisplacementField& field) {
        D3DRECT whole = {0, 0, width_, height_};
        viewport_->SetBackground(backgroundHandle_);
        viewport_->Clear(1, &whole, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
        device_->SetCurrentViewport(viewport_.Get());
        device_->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        device_->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
        device_->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
        device_->SetRenderState(D3DRENDERSTATE_BLENDENABLE, TRUE);
        device_->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device_->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
        device_->BeginScene();
        device_->SetLightState(D3DLIGHTSTATE_MATERIAL, materialHandle_);
        device_->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, textureHandle_);
        IDirect3DDevice2* device = device_.Get();
        WarpedGridMesh(field, [device](GridVertex* quad) {
            device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad, kMeshVerticesPerQuad, 0);
        });
        device_->SetLightState(D3DLIGHTSTATE_MATERIAL, 0);
        device_->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, 0);
        device_->EndScene();
    }

    // The target's pixels as stored, row by row: 0x00RRGGBB.
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> pixels;
        DDSURFACEDESC desc = {};
        desc.dwSize = DDSURFACEDESC_SIZE;
        if (target_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK)
            return pixels;
        pixels.resize(static_cast<size_t>(width_) * height_);
        for (int y = 0; y < height_; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const std::byte*>(desc.lpSurface) + y * desc.lPitch);
            for (int x = 0; x < width_; ++x)
                pixels[static_cast<size_t>(y) * width_ + x] = row[x];
        }
        target_->Unlock(desc.lpSurface);
        return pixels;
    }

    IDirect3DDevice2* Device() const { return device_.Get(); }
    IDirectDrawSurface* Target() const { return target_.Get(); }
    IDirectDrawSurface* TextureSurface() const { return texture_.Get(); }

private:
    using Surface = zv::runtime::Com<IDirectDrawSurface>;

    static DDSURFACEDESC Describe(DWORD caps, int width, int height) {
        DDSURFACEDESC desc = {};
        desc.dwSize = DDSURFACEDESC_SIZE;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.ddsCaps.dwCaps = caps;
        desc.dwWidth = static_cast<DWORD>(width);
        desc.dwHeight = static_cast<DWORD>(height);
        return desc;
    }

    static DDPIXELFORMAT Xrgb8888() {
        DDPIXELFORMAT format = {};
        format.dwSize = sizeof format;
        format.dwFlags = DDPF_RGB;
        format.dwRGBBitCount = 32;
        format.dwRBitMask = 0xFF0000;
        format.dwGBitMask = 0xFF00;
        format.dwBBitMask = 0xFF;
        return format;
    }

    void Fail(const std::string& step, HRESULT hr) {
        failure_ = step + " failed: " + std::to_string(hr);
    }

    bool Check(const char* step, HRESULT hr) {
        if (hr != DD_OK)
            Fail(step, hr);
        return hr == DD_OK;
    }

    // A white material, as the background (ramp 16) and the texture's (32).
    bool MakeMaterial(IDirect3D2* direct3D, DWORD rampSize, D3DTEXTUREHANDLE texture,
                      zv::runtime::Com<IDirect3DMaterial2>& material,
                      D3DMATERIALHANDLE& handle) {
        D3DMATERIAL description = {};
        description.dwSize = sizeof description;
        description.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        description.hTexture = texture;
        description.dwRampSize = rampSize;
        return Check("material", direct3D->CreateMaterial(material.Put(), nullptr)) &&
               Check("set material", material->SetMaterial(&description)) &&
               Check("material handle", material->GetHandle(device_.Get(), &handle));
    }

    // The picture in a system-memory texture of its own size and format.
    bool MakeTexture(IDirectDraw* directDraw, const zv::Dib& picture) {
        DDSURFACEDESC desc =
            Describe(DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, picture.width, picture.height);
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        desc.ddpfPixelFormat.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
        desc.ddpfPixelFormat.dwRGBBitCount = 8;
        if (!Check("texture", directDraw->CreateSurface(&desc, texture_.Put(), nullptr)))
            return false;
        PALETTEENTRY entries[256] = {};
        for (size_t i = 0; i < picture.colorTable.size(); ++i) {
            const zv::DibRgbQuad& c = picture.colorTable[i];
            entries[i] = {c.red, c.green, c.blue, 0};
        }
        zv::runtime::Com<IDirectDrawPalette> palette;
        if (!Check("palette",
                   directDraw->CreatePalette(DDPCAPS_8BIT, entries, palette.Put(), nullptr)) ||
            !Check("set palette", texture_->SetPalette(palette.Get())))
            return false;
        DDSURFACEDESC locked = {};
        locked.dwSize = DDSURFACEDESC_SIZE;
        if (!Check("lock", texture_->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr)))
            return false;
        for (int y = 0; y < picture.height; ++y)
            std::memcpy(static_cast<std::byte*>(locked.lpSurface) + y * locked.lPitch,
                        picture.Row(y), static_cast<size_t>(picture.width));
        texture_->Unlock(locked.lpSurface);
        zv::runtime::Com<IDirect3DTexture2> texture;
        return Check("texture interface",
                     texture_->QueryInterface(IID_IDirect3DTexture2,
                                              reinterpret_cast<void**>(texture.Put()))) &&
               Check("texture handle", texture->GetHandle(device_.Get(), &textureHandle_));
    }

    int width_;
    int height_;
    std::string failure_;
    Surface target_;
    Surface zBuffer_;
    Surface texture_;
    zv::runtime::Com<IDirect3DDevice2> device_;
    zv::runtime::Com<IDirect3DViewport2> viewport_;
    zv::runtime::Com<IDirect3DMaterial2> background_;
    zv::runtime::Com<IDirect3DMaterial2> textureMaterial_;
    D3DMATERIALHANDLE backgroundHandle_ = 0;
    D3DTEXTUREHANDLE textureHandle_ = 0;
    D3DMATERIALHANDLE materialHandle_ = 0;
};
