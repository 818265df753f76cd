// The texture loader through the real "ddraw.dll" module, off-screen: the
// module's texture formats, surfaces, palettes, device contexts, texture
// loads and handles, and its materials.
#include "graphics_test.h"
#include "texture_fakes.h"

#include <platform/testing.h>
#include <sim/WarpedGridMesh.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace texture_fakes;

// Can1.bmp as a DIB section, read once per test.
class TextureThroughTheModule : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, can.c_str(), IMAGE_BITMAP, 0, 0,
                                                 LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << can;
        ASSERT_NE(GetObjectA(bitmap, sizeof picture, &picture), 0);
        ASSERT_EQ(picture.bmBitsPixel, 8);
    }
    void TearDown() override {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        GraphicsTest::TearDown();
    }

    const std::string can = CanBitmapPath().string();
    HBITMAP bitmap = nullptr;
    BITMAP picture = {};
};

TEST_F(TextureThroughTheModule, Can1IsLoadedWithHandlesOnTheDevice) {
    const auto* indices = static_cast<const uint8_t*>(picture.bmBits);

    // The module's software devices only; the hardware path is forced on
    // the second round, where its "video memory" is memory all the same, so
    // the restore and the load between the two surfaces run for real.
    for (BOOL halFound : {0, 1}) {
        SCOPED_TRACE(halFound);
        g_hxp = GraphicsState{};
        zv::testing::MessageBoxRecorder boxes;
        HMODULE module = LoadLibraryA("ddraw.dll");
        ASSERT_NE(module, nullptr);
        auto create = reinterpret_cast<decltype(&DirectDrawCreate)>(
            GetProcAddress(module, "DirectDrawCreate"));
        ASSERT_NE(create, nullptr);
        ASSERT_EQ(create(nullptr, &g_hxp.ddraw, nullptr), DD_OK);
        ASSERT_NO_FATAL_FAILURE(CreateOffscreenBackSurface(64, 48));
        ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
        g_hxp.halFound = halFound;

        {
            BitmapTexture texture;
            ASSERT_EQ(LoadBitmapTexture(&texture, g_hxp.device, can.c_str()), 1);
            EXPECT_NE(texture.textureHandle, 0u);
            EXPECT_NE(texture.materialHandle, 0u);
            EXPECT_NE(texture.material, nullptr);
            EXPECT_NE(texture.texturePalette, nullptr);
            ASSERT_NE(texture.deviceSurface, nullptr);
            EXPECT_EQ(texture.systemSurface == texture.deviceSurface, !halFound);
            EXPECT_TRUE(boxes.boxes.empty());

            // The device's surface holds the picture's own indices.
            DDSURFACEDESC locked = {};
            locked.dwSize = DDSURFACEDESC_SIZE;
            ASSERT_EQ(texture.deviceSurface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
            EXPECT_EQ(locked.ddpfPixelFormat.dwRGBBitCount, 8u);
            EXPECT_NE(locked.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8, 0u);
            EXPECT_EQ(locked.dwWidth, 256u);
            EXPECT_EQ(locked.dwHeight, 256u);
            int differing = 0;
            for (int y = 0; y < 256; ++y) {
                const auto* row = static_cast<const uint8_t*>(locked.lpSurface) +
                                  static_cast<ptrdiff_t>(y) * locked.lPitch;
                for (int x = 0; x < 256; ++x)
                    differing +=
                        row[x] != indices[static_cast<size_t>(255 - y) * picture.bmWidthBytes + x];
            }
            EXPECT_EQ(differing, 0);
            texture.deviceSurface->Unlock(locked.lpSurface);
        }
        HXPCleanup();
        FreeLibrary(module);
    }
}

// Writes the frame as a binary PPM when ZV_FRAME_DUMP names a file, for
// looking at by eye.
void DumpFrame(const std::vector<uint32_t>& pixels, int width, int height) {
    const char* path = std::getenv("ZV_FRAME_DUMP");
    if (path == nullptr)
        return;
    if (std::FILE* file = std::fopen(path, "wb")) {
        std::fprintf(file, "P6\n%d %d\n255\n", width, height);
        for (uint32_t p : pixels) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                          static_cast<unsigned char>(p >> 8),
                                          static_cast<unsigned char>(p)};
            std::fwrite(rgb, 1, 3, file);
        }
        std::fclose(file);
    }
}

// The program's set-up and one frame, with both real modules and the
// undisturbed surface, into an off-screen 640 x 480 back surface.
TEST_F(TextureThroughTheModule, AFrameWithTheLoadedPictureShowsIt) {
    constexpr int kWidth = 640, kHeight = 480;
    RGBQUAD colours[256] = {};
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        ASSERT_GT(GetDIBColorTable(dc, 0, 256, colours), 0u);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    // The picture's colour at a texel, rows from the top.
    auto texel = [&](int x, int y) {
        const auto* rows = static_cast<const uint8_t*>(picture.bmBits);
        const RGBQUAD c = colours[rows[static_cast<size_t>(255 - y) * picture.bmWidthBytes + x]];
        return uint32_t{c.rgbRed} << 16 | uint32_t{c.rgbGreen} << 8 | c.rgbBlue;
    };

    zv::testing::MessageBoxRecorder boxes;
    g_hxp = GraphicsState{};
    ASSERT_EQ(HXPInitialize(), 1);
    ASSERT_EQ(g_hxp.pfnDirectDrawCreate(nullptr, &g_hxp.ddraw, nullptr), DD_OK);
    ASSERT_NO_FATAL_FAILURE(CreateOffscreenBackSurface(kWidth, kHeight));
    g_hxp.bitsPerPixel = 32;
    g_hxp.deviceType = D3DCOLOR_RGB;

    ASSERT_EQ(CreateD3DRM(), 1);
    ASSERT_NE(g_hxp.rmDevice, nullptr);
    IDirect3DRMFrame2* scene = nullptr;
    IDirect3DRMFrame2* camera = nullptr;
    ASSERT_EQ(g_hxp.d3drm->CreateFrame(nullptr, &scene), D3DRM_OK);
    ASSERT_EQ(g_hxp.d3drm->CreateFrame(scene, &camera), D3DRM_OK);
    ASSERT_EQ(HXPViewport(camera), 1);
    BitmapTexture texture;
    ASSERT_EQ(LoadBitmapTexture(&texture, g_hxp.device, can.c_str()), 1);
    EXPECT_TRUE(boxes.boxes.empty());

    IDirect3DMaterial2* background = nullptr;
    ASSERT_EQ(g_hxp.d3d->CreateMaterial(&background, nullptr), D3D_OK);
    D3DMATERIAL white = {};
    white.dwSize = sizeof white;
    white.diffuse = {1, 1, 1, 1};
    white.dwRampSize = 16;
    ASSERT_EQ(background->SetMaterial(&white), D3D_OK);
    D3DMATERIALHANDLE backgroundHandle = 0;
    ASSERT_EQ(background->GetHandle(g_hxp.device, &backgroundHandle), D3D_OK);

    IDirect3DViewport* lent = nullptr;
    ASSERT_EQ(g_hxp.rmViewport->GetDirect3DViewport(&lent), D3DRM_OK);
    IDirect3DViewport2* viewport = nullptr;
    ASSERT_EQ(lent->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&viewport)),
              S_OK);
    ASSERT_EQ(viewport->SetBackground(backgroundHandle), D3D_OK);
    ASSERT_EQ(g_hxp.rmViewport->Clear(), D3DRM_OK);
    IDirect3DDevice2* device = g_hxp.device;
    ASSERT_EQ(device->SetCurrentViewport(viewport), D3D_OK);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    device->SetRenderState(D3DRENDERSTATE_BLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->SetLightState(D3DLIGHTSTATE_MATERIAL, texture.materialHandle);
    device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, texture.textureHandle);
    int failedDraws = 0;
    WarpedGridMesh(DisplacementField{}, [&](GridVertex* quad) {
        failedDraws += device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad,
                                             kMeshVerticesPerQuad, 0) != D3D_OK;
    });
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(failedDraws, 0);

    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight);
    DDSURFACEDESC locked = {};
    locked.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(g_hxp.backSurface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            frame[static_cast<size_t>(y) * kWidth + x] =
                static_cast<const uint32_t*>(static_cast<const void*>(
                    static_cast<const uint8_t*>(locked.lpSurface) +
                    static_cast<ptrdiff_t>(y) * locked.lPitch))[x] &
                0xFFFFFF;
    g_hxp.backSurface->Unlock(locked.lpSurface);
    DumpFrame(frame, kWidth, kHeight);

    // Undisturbed, pixel x of the grid samples texel x * 256 / 500; allow the
    // neighbouring texel for rounding at the texel edges.
    int matched = 0, samples = 0;
    for (int y = 3; y < kHeight; y += 7)
        for (int x = 5; x < 490; x += 7) {
            ++samples;
            const uint32_t seen = frame[static_cast<size_t>(y) * kWidth + x];
            const int u = x * 256 / 500, v = y * 256 / 500;
            bool found = false;
            for (int dv = -1; dv <= 1 && !found; ++dv)
                for (int du = -1; du <= 1 && !found; ++du)
                    found = texel(std::clamp(u + du, 0, 255), std::clamp(v + dv, 0, 255)) == seen;
            matched += found;
        }
    EXPECT_EQ(matched, samples);
    // Right of the grid, the white background.
    for (int y = 0; y < kHeight; y += 7)
        for (int x = 490; x < kWidth; x += 3)
            ASSERT_EQ(frame[static_cast<size_t>(y) * kWidth + x], 0xFFFFFFu) << x << "," << y;

    viewport->Release();
    background->Release();
    ReleaseBitmapTexture(&texture);
    camera->Release();
    scene->Release();
    HXPCleanup();
}

} // namespace
