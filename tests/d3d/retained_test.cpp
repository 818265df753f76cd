// The Immediate Mode objects under the "d3drm.dll" module, as the program's
// frame uses the two together: the retained-mode viewport clears through
// this module's viewport, and the frame draws into the device it wraps.
#include "d3d_test.h"

#include <platform/d3drm.h>

namespace {

class UnderRetainedMode : public Direct3DTest {
protected:
    static void SetUpTestSuite() {
        Direct3DTest::SetUpTestSuite();
        retained_ = LoadLibraryA("d3drm.dll");
        ASSERT_NE(retained_, nullptr);
        create_ = reinterpret_cast<decltype(&Direct3DRMCreate)>(
            GetProcAddress(retained_, "Direct3DRMCreate"));
        ASSERT_NE(create_, nullptr);
    }
    static void TearDownTestSuite() {
        FreeLibrary(retained_);
        Direct3DTest::TearDownTestSuite();
    }

    static inline HMODULE retained_ = nullptr;
    static inline decltype(&Direct3DRMCreate) create_ = nullptr;
};

TEST_F(UnderRetainedMode, TheFramesClearAndDrawLand) {
    const int width = 64, height = 48;
    auto target = Target(width, height);
    auto device = Device(target.Get());

    Com<IDirect3DRM> base;
    ASSERT_EQ(create_(base.Put()), D3DRM_OK);
    Com<IDirect3DRM2> rm = base.As<IDirect3DRM2>();
    ASSERT_TRUE(rm);
    Com<IDirect3DRMFrame2> scene, camera;
    ASSERT_EQ(rm->CreateFrame(nullptr, scene.Put()), D3DRM_OK);
    ASSERT_EQ(rm->CreateFrame(scene.Get(), camera.Put()), D3DRM_OK);
    Com<IDirect3DRMDevice2> rmDevice;
    ASSERT_EQ(rm->CreateDeviceFromD3D(d3d.Get(), device.Get(), rmDevice.Put()), D3DRM_OK);
    Com<IDirect3DRMViewport> rmViewport;
    ASSERT_EQ(rm->CreateViewport(rmDevice.Get(), camera.Get(), 0, 0, width, height,
                                 rmViewport.Put()),
              D3DRM_OK);

    auto white = Material({1, 1, 1, 1});
    const D3DMATERIALHANDLE background = HandleOf(white.Get(), device.Get());
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        WritePixels(target.Get(), 4, std::vector<uint32_t>(width * height, 0x123456));
        IDirect3DViewport* lent = nullptr;
        ASSERT_EQ(rmViewport->GetDirect3DViewport(&lent), D3DRM_OK);
        Com<IDirect3DViewport2> immediate;
        ASSERT_EQ(lent->QueryInterface(IID_IDirect3DViewport2,
                                       reinterpret_cast<void**>(immediate.Put())),
                  S_OK);
        ASSERT_EQ(immediate->SetBackground(background), D3D_OK);
        ASSERT_EQ(rmViewport->Clear(), D3DRM_OK);
        ASSERT_EQ(device->SetCurrentViewport(immediate.Get()), D3D_OK);
        ASSERT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 10, 10, 0xFFFF0000)),
                  D3D_OK);
        ASSERT_EQ(rmViewport->ForceUpdate(0, 0, width, height), D3DRM_OK);
        ASSERT_EQ(rmDevice->Update(), D3DRM_OK);

        const auto pixels = Colours(target.Get());
        EXPECT_EQ(pixels[5 * width + 5], 0xFF0000u);
        EXPECT_EQ(pixels[20 * width + 40], 0xFFFFFFu);
        EXPECT_EQ(pixels.back(), 0xFFFFFFu);
    }
    // The retained-mode viewport gives its immediate one back to the device.
    rmViewport.Reset();
    IDirect3DViewport2* current = nullptr;
    EXPECT_EQ(device->GetCurrentViewport(&current), D3DERR_NOCURRENTVIEWPORT);
}

} // namespace
