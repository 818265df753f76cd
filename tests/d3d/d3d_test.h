// Every test gets the real module's DirectDraw object and its IDirect3D2,
// and helpers for 3D surfaces, devices, viewports, materials and textures.
#pragma once

#include "ddraw_test.h"

#include <platform/d3d.h>

#include <cmath>
#include <string>

// A vertex at a pixel position, lit with its own colour.
inline D3DTLVERTEX Vertex(float x, float y, D3DCOLOR colour = 0xFFFFFFFF, float z = 0.5f,
                          float u = 0.0f, float v = 0.0f) {
    return {x, y, z, 1.0f, colour, 0, u, v};
}

inline D3DMATERIAL MaterialOf(D3DCOLORVALUE diffuse) {
    D3DMATERIAL material = {};
    material.dwSize = sizeof material;
    material.diffuse = diffuse;
    return material;
}

inline D3DVIEWPORT ViewportData(DWORD x, DWORD y, DWORD width, DWORD height) {
    D3DVIEWPORT data = {};
    data.dwSize = sizeof data;
    data.dwX = x;
    data.dwY = y;
    data.dwWidth = width;
    data.dwHeight = height;
    data.dvScaleX = width / 2.0f;
    data.dvScaleY = height / 2.0f;
    data.dvMaxX = 1.0f;
    data.dvMaxY = 1.0f;
    data.dvMinZ = 0.0f;
    data.dvMaxZ = 1.0f;
    return data;
}

class Direct3DTest : public DirectDrawTest {
protected:
    void SetUp() override {
        DirectDrawTest::SetUp();
        ASSERT_EQ(directDraw->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(d3d.Put())),
                  S_OK);
    }

    struct TargetWithDepth {
        Com<IDirectDrawSurface> target;
        Com<IDirectDrawSurface> zBuffer;
    };

    // A render target, with a Z buffer of that depth attached unless 0.
    TargetWithDepth TargetAndZBuffer(int width, int height, DWORD depth = 16,
                                     const DDPIXELFORMAT& format = kXrgb8888) {
        TargetWithDepth made;
        made.target =
            Offscreen(width, height, &format, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
        if (depth != 0) {
            made.zBuffer = ZBuffer(width, height, depth);
            EXPECT_EQ(made.target->AddAttachedSurface(made.zBuffer.Get()), DD_OK);
        }
        return made;
    }

    Com<IDirectDrawSurface> Target(int width, int height, DWORD depth = 16,
                                   const DDPIXELFORMAT& format = kXrgb8888) {
        return TargetAndZBuffer(width, height, depth, format).target;
    }

    Com<IDirect3DDevice2> Device(IDirectDrawSurface* target,
                                 const GUID& guid = IID_IDirect3DMMXDevice) {
        Com<IDirect3DDevice2> device;
        EXPECT_EQ(d3d->CreateDevice(guid, target, device.Put()), D3D_OK);
        return device;
    }

    // Added to the device and made its current viewport; the whole target
    // unless a place is given.
    Com<IDirect3DViewport2> Viewport(IDirect3DDevice2* device, const D3DVIEWPORT* data = nullptr) {
        Com<IDirect3DViewport2> viewport;
        EXPECT_EQ(d3d->CreateViewport(viewport.Put(), nullptr), D3D_OK);
        if (data != nullptr) {
            D3DVIEWPORT copy = *data;
            EXPECT_EQ(viewport->SetViewport(&copy), D3D_OK);
        }
        EXPECT_EQ(device->AddViewport(viewport.Get()), D3D_OK);
        EXPECT_EQ(device->SetCurrentViewport(viewport.Get()), D3D_OK);
        return viewport;
    }

    // A new Z buffer holds zeros, which nothing passes: this puts it at the
    // far plane.
    static void ClearDepth(IDirect3DViewport2* viewport) {
        D3DRECT everything = {0, 0, 0x7FFFFFFF, 0x7FFFFFFF};
        EXPECT_EQ(viewport->Clear(1, &everything, D3DCLEAR_ZBUFFER), D3D_OK);
    }

    Com<IDirect3DMaterial2> Material(D3DCOLORVALUE diffuse) {
        Com<IDirect3DMaterial2> material;
        EXPECT_EQ(d3d->CreateMaterial(material.Put(), nullptr), D3D_OK);
        D3DMATERIAL description = MaterialOf(diffuse);
        EXPECT_EQ(material->SetMaterial(&description), D3D_OK);
        return material;
    }

    static D3DMATERIALHANDLE HandleOf(IDirect3DMaterial2* material, IDirect3DDevice2* device) {
        D3DMATERIALHANDLE handle = 0;
        EXPECT_EQ(material->GetHandle(device, &handle), D3D_OK);
        return handle;
    }

    Com<IDirectDrawSurface> TextureSurface(int width, int height, const DDPIXELFORMAT& format,
                                           DWORD memory = DDSCAPS_SYSTEMMEMORY) {
        return Offscreen(width, height, &format, DDSCAPS_TEXTURE | memory);
    }

    // The texture interface is let go at once: the handle belongs to the
    // surface.
    static D3DTEXTUREHANDLE HandleOf(IDirectDrawSurface* surface, IDirect3DDevice2* device) {
        Com<IDirect3DTexture2> texture;
        EXPECT_EQ(surface->QueryInterface(IID_IDirect3DTexture2,
                                          reinterpret_cast<void**>(texture.Put())),
                  S_OK);
        D3DTEXTUREHANDLE handle = 0;
        if (texture) {
            EXPECT_EQ(texture->GetHandle(device, &handle), D3D_OK);
        }
        return handle;
    }

    Com<IDirectDrawPalette> Palette(std::vector<PALETTEENTRY> entries) {
        entries.resize(256);
        Com<IDirectDrawPalette> palette;
        EXPECT_EQ(directDraw->CreatePalette(DDPCAPS_8BIT | kPaletteAllow256, entries.data(),
                                            palette.Put(), nullptr),
                  DD_OK);
        return palette;
    }

    // One scene with one primitive.
    static HRESULT DrawScene(IDirect3DDevice2* device, D3DPRIMITIVETYPE type,
                             std::vector<D3DTLVERTEX> vertices) {
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        const HRESULT hr = device->DrawPrimitive(type, D3DVT_TLVERTEX, vertices.data(),
                                                 static_cast<DWORD>(vertices.size()), 0);
        EXPECT_EQ(device->EndScene(), D3D_OK);
        return hr;
    }

    // Two triangles over the rectangle, textured from (0,0) to (1,1).
    static std::vector<D3DTLVERTEX> Quad(float left, float top, float right, float bottom,
                                         D3DCOLOR colour = 0xFFFFFFFF, float z = 0.5f) {
        return {Vertex(left, top, colour, z, 0, 0), Vertex(right, top, colour, z, 1, 0),
                Vertex(right, bottom, colour, z, 1, 1), Vertex(left, bottom, colour, z, 0, 1)};
    }

    // XRGB pixels without their unused byte.
    static std::vector<uint32_t> Colours(IDirectDrawSurface* surface) {
        std::vector<uint32_t> pixels = ReadPixels(surface, 4);
        for (uint32_t& p : pixels)
            p &= 0xFFFFFF;
        return pixels;
    }

    static uint32_t ColourAt(IDirectDrawSurface* surface, int x, int y) {
        const DDSURFACEDESC desc = DescriptionOf(surface);
        return Colours(surface)[y * desc.dwWidth + x];
    }

    Com<IDirect3D2> d3d;
};
