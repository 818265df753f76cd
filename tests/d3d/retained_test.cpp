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

    // The retained-mode objects over one Immediate Mode device.
    struct Retained {
        Com<IDirect3DRM2> rm;
        Com<IDirect3DRMFrame2> scene, camera;
        Com<IDirect3DRMDevice2> device;
    };

    Retained Wrap(IDirect3DDevice2* device) {
        Retained made;
        Com<IDirect3DRM> base;
        EXPECT_EQ(create_(base.Put()), D3DRM_OK);
        made.rm = base.As<IDirect3DRM2>();
        EXPECT_TRUE(made.rm);
        if (!made.rm)
            return made;
        EXPECT_EQ(made.rm->CreateFrame(nullptr, made.scene.Put()), D3DRM_OK);
        EXPECT_EQ(made.rm->CreateFrame(made.scene.Get(), made.camera.Put()), D3DRM_OK);
        EXPECT_EQ(made.rm->CreateDeviceFromD3D(d3d.Get(), device, made.device.Put()), D3DRM_OK);
        return made;
    }

    static Com<IDirect3DViewport2> ImmediateOf(IDirect3DRMViewport* viewport) {
        IDirect3DViewport* lent = nullptr;
        Com<IDirect3DViewport2> immediate;
        EXPECT_EQ(viewport->GetDirect3DViewport(&lent), D3DRM_OK);
        if (lent != nullptr) {
            EXPECT_EQ(lent->QueryInterface(IID_IDirect3DViewport2,
                                           reinterpret_cast<void**>(immediate.Put())),
                      S_OK);
        }
        return immediate;
    }

    static inline HMODULE retained_ = nullptr;
    static inline decltype(&Direct3DRMCreate) create_ = nullptr;
};

TEST_F(UnderRetainedMode, TheFramesClearAndDrawLand) {
    const int width = 64, height = 48;
    auto target = Target(width, height);
    auto device = Device(target.Get());
    Retained retained = Wrap(device.Get());
    ASSERT_TRUE(retained.device);
    Com<IDirect3DRMViewport> rmViewport;
    ASSERT_EQ(retained.rm->CreateViewport(retained.device.Get(), retained.camera.Get(), 0, 0,
                                          width, height, rmViewport.Put()),
              D3DRM_OK);
    Com<IDirect3DRMDevice2>& rmDevice = retained.device;

    auto white = Material({1, 1, 1, 1});
    const D3DMATERIALHANDLE background = HandleOf(white.Get(), device.Get());
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        WritePixels(target.Get(), 4, std::vector<uint32_t>(width * height, 0x123456));
        Com<IDirect3DViewport2> immediate = ImmediateOf(rmViewport.Get());
        ASSERT_TRUE(immediate);
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

TEST_F(UnderRetainedMode, ClearsAndDrawingKeepToTheViewportsRectangle) {
    const int width = 64, height = 48;
    const RECT inside = {8, 4, 40, 28};
    auto target = Target(width, height);
    auto device = Device(target.Get());
    Retained retained = Wrap(device.Get());
    ASSERT_TRUE(retained.device);
    Com<IDirect3DRMViewport> rmViewport;
    ASSERT_EQ(retained.rm->CreateViewport(
                  retained.device.Get(), retained.camera.Get(), inside.left, inside.top,
                  inside.right - inside.left, inside.bottom - inside.top, rmViewport.Put()),
              D3DRM_OK);
    Com<IDirect3DViewport2> immediate = ImmediateOf(rmViewport.Get());
    ASSERT_TRUE(immediate);
    auto white = Material({1, 1, 1, 1});
    ASSERT_EQ(immediate->SetBackground(HandleOf(white.Get(), device.Get())), D3D_OK);

    WritePixels(target.Get(), 4, std::vector<uint32_t>(width * height, 0x123456));
    ASSERT_EQ(rmViewport->Clear(), D3DRM_OK);
    auto pixels = Colours(target.Get());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool in = x >= inside.left && x < inside.right && y >= inside.top &&
                            y < inside.bottom;
            ASSERT_EQ(pixels[y * width + x], in ? 0xFFFFFFu : 0x123456u) << x << "," << y;
        }

    // A quad over the whole target lands only inside the rectangle, with no
    // help from a Z buffer cleared only there.
    ASSERT_EQ(device->SetCurrentViewport(immediate.Get()), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE), D3D_OK);
    ASSERT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, width, height, 0xFFFF0000)),
              D3D_OK);
    pixels = Colours(target.Get());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool in = x >= inside.left && x < inside.right && y >= inside.top &&
                            y < inside.bottom;
            ASSERT_EQ(pixels[y * width + x], in ? 0xFF0000u : 0x123456u) << x << "," << y;
        }
}

} // namespace
