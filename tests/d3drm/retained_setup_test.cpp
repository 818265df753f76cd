// The graphics layer's retained-mode set-up and viewport over recording
// fakes of the runtimes. Device selection is scripted here: this program
// brings its own HXPCreateDevice, so the set-up is seen on its own.
#include "graphics_test.h"
#include "retained_fakes.h"

#include <platform/gdi.h>
#include <platform/testing.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

RetainedWorld* g_world;

struct DeviceSelection {
    BOOL succeeds = 1;
    BOOL acceptsHardware = 0;
} g_selection;

HRESULT WINAPI ScriptedDirect3DRMCreate(LPDIRECT3DRM* lplpDirect3DRM);
HRESULT g_createResult = S_OK;

HRESULT WINAPI ScriptedDirect3DRMCreate(LPDIRECT3DRM* lplpDirect3DRM) {
    g_world->log.calls.push_back("Direct3DRMCreate");
    *lplpDirect3DRM = g_createResult == S_OK ? &g_world->d3drmBase : nullptr;
    return g_createResult;
}

} // namespace

BOOL HXPCreateDevice(int colorModel) {
    g_world->log.calls.push_back(Call("HXPCreateDevice", colorModel));
    if (!g_selection.succeeds)
        return 0;
    g_hxp.d3d = &g_world->d3d;
    g_hxp.zBuffer = &g_world->zBuffer;
    g_hxp.device = &g_world->device;
    if (g_selection.acceptsHardware)
        g_hxp.halFound = 1;
    return 1;
}

namespace {

using Lines = std::vector<std::string>;

const Lines kHardwareColumn = {
    "rmDevice.SetBufferCount(2)",
    "rmDevice.SetShades(16)",
    "d3drm.SetDefaultTextureColors(16)",
    "d3drm.SetDefaultTextureShades(16)",
    "rmDevice.SetTextureQuality(1)",
    "rmDevice.SetQuality(137)",
    "rmDevice.SetDither(1)",
};
const Lines kSoftwareColumn = {
    "rmDevice.SetBufferCount(2)",    "rmDevice.SetDither(0)",  "rmDevice.SetQuality(136)",
    "rmDevice.SetTextureQuality(0)", "rmDevice.SetShades(32)",
};
const Lines kCreation = {"Direct3DRMCreate", "d3drmBase.QueryInterface(IDirect3DRM2)"};
const Lines kPaletteStep = {"ddraw.CreatePalette(12)", "backSurface.SetPalette",
                            "primarySurface.SetPalette"};
const Lines kDeviceStep = {"HXPCreateDevice(2)", "d3drm.CreateDeviceFromD3D"};

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A set-up right after CreateDirectDrawWin, as the frame renderer runs it.
class RetainedSetup : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        g_world = &world;
        g_selection = {};
        g_createResult = S_OK;
        g_hxp.pfnDirect3DRMCreate = ScriptedDirect3DRMCreate;
        world.InstallSurfaces(g_hxp);
        g_hxp.width = 640;
        g_hxp.height = 480;
        g_hxp.bitsPerPixel = 16;
        g_hxp.deviceType = D3DCOLOR_RGB;
        g_hxp.windowed = 1;
    }

    RetainedWorld world;
    zv::testing::MessageBoxRecorder boxes;
};

TEST_F(RetainedSetup, SettingsFollowTheHardwareAndTheDisplayDepth) {
    struct Case {
        int bitsPerPixel;
        BOOL hardware;
        Lines calls;
        Lines debug;
    };
    const Lines created = {"HXP:CreateD3DRM\n"};
    const Lines palettised = {"HXP:CreateD3DRM\n", "HXP:palettized \n"};
    const Case cases[] = {
        {16, 1, Join({kCreation, kDeviceStep, kHardwareColumn}), created},
        {32, 1, Join({kCreation, kDeviceStep, kHardwareColumn}), created},
        {24, 1, Join({kCreation, kDeviceStep, kHardwareColumn}), created},
        {16, 0, Join({kCreation, kDeviceStep, kSoftwareColumn}), created},
        {32, 0, Join({kCreation, kDeviceStep, kSoftwareColumn}), created},
        {8, 1, Join({kCreation, kPaletteStep, kDeviceStep, kSoftwareColumn}), palettised},
        {8, 0, Join({kCreation, kPaletteStep, kDeviceStep, kSoftwareColumn}), palettised},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bitsPerPixel << " bits, hardware " << c.hardware);
        world.log.calls.clear();
        world.releases.released.clear();
        debug.lines.clear();
        g_hxp.d3drm = nullptr;
        g_hxp.d3d = nullptr;
        g_hxp.zBuffer = nullptr;
        g_hxp.device = nullptr;
        g_hxp.rmDevice = nullptr;
        g_hxp.palette = nullptr;
        g_hxp.halFound = 0;
        g_hxp.bitsPerPixel = c.bitsPerPixel;
        g_selection.acceptsHardware = c.hardware;

        EXPECT_EQ(CreateD3DRM(), 1);
        EXPECT_EQ(world.log.calls, c.calls);
        EXPECT_EQ(debug.lines, c.debug);
        // Only IDirect3DRM2 holds the object afterwards.
        EXPECT_EQ(world.releases.released, Lines{"d3drmBase"});
        EXPECT_EQ(g_hxp.d3drmBase, nullptr);
        EXPECT_EQ(g_hxp.d3drm, &world.d3drm);
        EXPECT_EQ(g_hxp.rmDevice, &world.rmDevice);
        EXPECT_EQ(world.d3drm.deviceFrom.d3d, &world.d3d);
        EXPECT_EQ(world.d3drm.deviceFrom.device, &world.device);
        EXPECT_TRUE(boxes.boxes.empty());
    }
}

TEST_F(RetainedSetup, AnEightBitDisplayGetsTheSystemPaletteWithItsFlags) {
    g_hxp.bitsPerPixel = 8;
    std::fill(std::begin(g_hxp.paletteEntries), std::end(g_hxp.paletteEntries),
              PALETTEENTRY{1, 2, 3, 4});
    PALETTEENTRY system[256] = {};
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, system), 256u);
    ReleaseDC(nullptr, screen);

    ASSERT_EQ(CreateD3DRM(), 1);
    for (int i = 0; i < 256; ++i) {
        SCOPED_TRACE(i);
        const PALETTEENTRY& entry = g_hxp.paletteEntries[i];
        EXPECT_EQ(entry.peRed, system[i].peRed);
        EXPECT_EQ(entry.peGreen, system[i].peGreen);
        EXPECT_EQ(entry.peBlue, system[i].peBlue);
        EXPECT_EQ(entry.peFlags, (i <= 9 || i >= 246) ? 0x40 : 0x01);
    }
    // The palette is made from the record's own entries, as they are then.
    EXPECT_EQ(world.ddraw.paletteTable, g_hxp.paletteEntries);
    EXPECT_EQ(std::memcmp(world.ddraw.paletteEntries, g_hxp.paletteEntries, 1024), 0);
    EXPECT_EQ(world.ddraw.paletteOuter, nullptr);
    EXPECT_EQ(g_hxp.palette, &world.palette);
    EXPECT_EQ(world.backSurface.palette, &world.palette);
    EXPECT_EQ(world.primarySurface.palette, &world.palette);
}

TEST_F(RetainedSetup, WithTheDeviceStillThereOnlyTheRetainedModeObjectIsMade) {
    struct Case {
        int bitsPerPixel;
        Lines calls;
        Lines debug;
    };
    const Case cases[] = {
        {16, {}, {"HXP:CreateD3DRM\n"}},
        {8, kPaletteStep, {"HXP:CreateD3DRM\n", "HXP:palettized \n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitsPerPixel);
        world.log.calls.clear();
        debug.lines.clear();
        g_hxp.bitsPerPixel = c.bitsPerPixel;
        g_hxp.d3drm = &world.d3drm;
        g_hxp.device = &world.device;
        g_hxp.palette = nullptr;

        EXPECT_EQ(CreateD3DRM(), 1);
        EXPECT_EQ(world.log.calls, c.calls);
        EXPECT_EQ(debug.lines, c.debug);
        EXPECT_EQ(g_hxp.rmDevice, nullptr);
    }
    EXPECT_TRUE(world.releases.released.empty());
}

TEST_F(RetainedSetup, AResizeReusesTheRetainedModeObject) {
    g_hxp.d3drm = &world.d3drm;
    g_selection.acceptsHardware = 1;
    EXPECT_EQ(CreateD3DRM(), 1);
    EXPECT_EQ(world.log.calls, Join({kDeviceStep, kHardwareColumn}));
    EXPECT_EQ(g_hxp.d3drm, &world.d3drm);
    EXPECT_TRUE(world.releases.released.empty());
}

TEST_F(RetainedSetup, FailuresCleanUpTellTheUserAndReturnZero) {
    const Lines surfaces = {"backSurface", "clipper", "primarySurface", "ddraw"};
    struct Case {
        const char* what;
        HRESULT create, query;
        BOOL deviceSelected;
        Lines calls, released, debug, shown;
    };
    const Case cases[] = {
        {"no retained-mode object",
         E_FAIL,
         S_OK,
         1,
         {"Direct3DRMCreate"},
         surfaces,
         {"HXP:CreateD3DRM\n", "HXP:Hexaplan Cleanup\n"},
         {"IDirect3DRMの取得に失敗しました"}},
        {"no IDirect3DRM2",
         S_OK,
         E_NOINTERFACE,
         1,
         kCreation,
         Join({{"d3drmBase"}, surfaces}),
         {"HXP:CreateD3DRM\n", "HXP:Hexaplan Cleanup\n"},
         {"IDirect3DRM2の取得に失敗しました。DirectX5以上がインストールされているか確認してくだ"
          "さい。"}},
        {"no device",
         S_OK,
         S_OK,
         0,
         Join({kCreation, {"HXPCreateDevice(2)"}}),
         Join({{"d3drmBase", "d3drm"}, surfaces}),
         {"HXP:CreateD3DRM\n", "HXP:Hexaplan Cleanup\n", "HXP:Error:Fail to Direct3D create \n "},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.log.calls.clear();
        world.releases.released.clear();
        debug.lines.clear();
        boxes.boxes.clear();
        world.InstallSurfaces(g_hxp);
        g_hxp.d3drm = nullptr;
        g_createResult = c.create;
        world.d3drmBase.queryResult = c.query;
        g_selection.succeeds = c.deviceSelected;

        EXPECT_EQ(CreateD3DRM(), 0);
        EXPECT_EQ(world.log.calls, c.calls);
        EXPECT_EQ(world.releases.released, c.released);
        EXPECT_EQ(debug.lines, c.debug);
        Lines shown;
        for (const auto& box : boxes.boxes) {
            shown.push_back(box.text);
            EXPECT_EQ(box.type, UINT(MB_OK));
            EXPECT_EQ(box.helpId, 0u);
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(g_hxp.d3drmBase, nullptr);
        EXPECT_EQ(g_hxp.d3drm, nullptr);
        EXPECT_EQ(g_hxp.ddraw, nullptr);
    }
}

TEST_F(RetainedSetup, ViewportCoversTheClientAreaWithTheBackPlaneAt5000) {
    struct Case {
        int width, height;
        const char* sizeLine;
    };
    const Case cases[] = {
        {640, 480, "HXP:Viewport width:640 height:480\n"},
        {1, 1, "HXP:Viewport width:1 height:1\n"},
        {1920, 1080, "HXP:Viewport width:1920 height:1080\n"},
    };
    FakeFrame camera("camera", world.releases);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sizeLine);
        world.log.calls.clear();
        debug.lines.clear();
        g_hxp.d3drm = &world.d3drm;
        g_hxp.rmDevice = &world.rmDevice;
        g_hxp.rmViewport = nullptr;
        g_hxp.width = c.width;
        g_hxp.height = c.height;

        EXPECT_EQ(HXPViewport(&camera), 1);
        EXPECT_EQ(debug.lines, (Lines{"HXP:HXPViewport\n", c.sizeLine, "phase 3\n", "phase 4\n"}));
        EXPECT_EQ(world.log.calls, (Lines{"d3drm.CreateViewport", "rmViewport.SetBack"}));
        EXPECT_EQ(world.d3drm.viewportOn.device, &world.rmDevice);
        EXPECT_EQ(world.d3drm.viewportOn.camera, &camera);
        const RECT& placement = world.d3drm.viewportOn.placement;
        EXPECT_EQ(placement.left, 0);
        EXPECT_EQ(placement.top, 0);
        EXPECT_EQ(placement.right, c.width);
        EXPECT_EQ(placement.bottom, c.height);
        EXPECT_EQ(g_hxp.rmViewport, &world.rmViewport);
        EXPECT_EQ(world.rmViewport.back, 5000.0f);
    }
    EXPECT_TRUE(world.releases.released.empty());
}

// The fatal paths run in a child process, whose debugger lines and message
// box go to its standard error, where the death test reads them whole.
class RetainedFatal : public RetainedSetup {
protected:
    void SetUp() override {
        RetainedSetup::SetUp();
        GTEST_FLAG_SET(death_test_style, "fast");
    }

    static void ReportToStandardError() {
        zv::testing::SetDebugSink(nullptr);
        zv::testing::SetMessageBoxPresenter([](const char* text, UINT, UINT) {
            std::fprintf(stderr, "box:%s\n", text);
            return IDOK;
        });
    }
};

TEST_F(RetainedFatal, RetainedModeFailuresEndTheProcessByName) {
    FakeFrame camera("camera", world.releases);
    struct Case {
        const char* what;
        HRESULT createDevice, createViewport, setBack;
        BOOL (*run)(FakeFrame&);
        const char* output;
    };
    const Case cases[] = {
        {"device", D3DRMERR_BADOBJECT, S_OK, S_OK, [](FakeFrame&) { return CreateD3DRM(); },
         "^HXP:CreateD3DRM\nbox:Direct3D-RM Error : D3DRMERR_BADOBJECT\n$"},
        {"viewport", S_OK, D3DRMERR_BADDEVICE, S_OK,
         [](FakeFrame& frame) { return HXPViewport(&frame); },
         "^HXP:HXPViewport\nHXP:Viewport width:640 height:480\n"
         "box:Direct3D-RM Error : D3DRMERR_BADDEVICE\n$"},
        {"back plane", S_OK, S_OK, D3DRMERR_BADVALUE,
         [](FakeFrame& frame) { return HXPViewport(&frame); },
         "^HXP:HXPViewport\nHXP:Viewport width:640 height:480\nphase 3\n"
         "box:Direct3D-RM Error : D3DRMERR_BADVALUE\n$"},
        {"unnamed result", S_OK, E_OUTOFMEMORY, S_OK,
         [](FakeFrame& frame) { return HXPViewport(&frame); },
         "^HXP:HXPViewport\nHXP:Viewport width:640 height:480\n"
         "box:Direct3D-RM Error : Unknown Error\n$"},
    };
    g_hxp.d3drm = &world.d3drm;
    g_hxp.rmDevice = &world.rmDevice;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.d3drm.createDeviceResult = c.createDevice;
        world.d3drm.createViewportResult = c.createViewport;
        world.rmViewport.setBackResult = c.setBack;
        EXPECT_EXIT(
            {
                ReportToStandardError();
                c.run(camera);
            },
            ::testing::ExitedWithCode(1), c.output);
    }
}

} // namespace
