// The texture loader through the real "ddraw.dll" module, off-screen: the
// module's texture formats, surfaces, palettes, device contexts, texture
// loads and handles, and its materials.
#include "graphics_test.h"
#include "texture_fakes.h"

#include <platform/testing.h>

namespace {

using namespace texture_fakes;

class TextureThroughTheModule : public GraphicsTest {};

TEST_F(TextureThroughTheModule, Can1IsLoadedWithHandlesOnTheDevice) {
    const std::string can = CanBitmapPath().string();
    auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, can.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr) << can;
    BITMAP picture = {};
    ASSERT_NE(GetObjectA(bitmap, sizeof picture, &picture), 0);
    ASSERT_EQ(picture.bmBitsPixel, 8);
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
        ASSERT_EQ(g_hxp.ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
        DDSURFACEDESC back = {};
        back.dwSize = DDSURFACEDESC_SIZE;
        back.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        back.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        back.dwWidth = 64;
        back.dwHeight = 48;
        ASSERT_EQ(g_hxp.ddraw->CreateSurface(&back, &g_hxp.backSurface, nullptr), DD_OK);
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
    DeleteObject(bitmap);
}

} // namespace
