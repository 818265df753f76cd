// The presentation surfaces against a recording DirectDraw: the calls, their
// order and arguments, the state they leave and the fatal steps. No window
// exists here, so the window calls fail and leave the client rectangle as the
// test set it; the real window is in the display test of the ddraw module.
#include "fake_display.h"
#include "graphics_test.h"

#include <platform/testing.h>

#include <algorithm>
#include <cstring>

namespace {

using Calls = std::vector<std::string>;

const Calls kFirstBuild = {
    "DirectDrawCreate(null, null)",
    "ddraw1->GetCaps(364, 364)",
    "ddraw1->SetCooperativeLevel(window, 0x8)",
    "ddraw1->CreateSurface(0x1, 0x200, 0x0)",
    "ddraw1->CreateSurface(0x7, 0x6040, 320x200)",
    "ddraw1->CreateClipper(0x0)",
    "clipper1->SetHWnd(0x0, window)",
    "primary1->SetClipper(clipper1)",
};

// Every member a description does not name must be zero.
void ExpectDescription(const DDSURFACEDESC& desc, DWORD flags, DWORD caps, DWORD width,
                       DWORD height) {
    EXPECT_EQ(desc.dwSize, 108u);
    EXPECT_EQ(desc.dwFlags, flags);
    EXPECT_EQ(desc.ddsCaps.dwCaps, caps);
    EXPECT_EQ(desc.dwWidth, width);
    EXPECT_EQ(desc.dwHeight, height);
    EXPECT_EQ(desc.lPitch, 0);
    EXPECT_EQ(desc.dwBackBufferCount, 0u);
    EXPECT_EQ(desc.dwMipMapCount, 0u);
    EXPECT_EQ(desc.dwAlphaBitDepth, 0u);
    EXPECT_EQ(desc.dwReserved, 0u);
    EXPECT_EQ(desc.lpSurface, nullptr);
    const DDCOLORKEY none = {};
    for (const DDCOLORKEY& key :
         {desc.ddckCKDestOverlay, desc.ddckCKDestBlt, desc.ddckCKSrcOverlay, desc.ddckCKSrcBlt})
        EXPECT_EQ(std::memcmp(&key, &none, sizeof key), 0);
    const DDPIXELFORMAT noFormat = {};
    EXPECT_EQ(std::memcmp(&desc.ddpfPixelFormat, &noFormat, sizeof noFormat), 0);
}

class PresentationSurfaces : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        g_hxp.pfnDirectDrawCreate = &FakeDisplay::DirectDrawCreate;
        // Where GetClientRect and ClientToScreen would put a 320 x 200 client
        // area at the screen's corner.
        g_hxp.clientRect = {0, 0, 320, 200};
        g_hxp.preferRgb = 1;
    }

    // A finished first build, with the log emptied.
    void Build() {
        ASSERT_EQ(CreateDirectDrawWin(display.window), 1);
        log.calls.clear();
        log.released.clear();
        debug.lines.clear();
    }

    // The 3D and retained-mode objects a build holds on top of its surfaces.
    static void HoldThe3DSide(FakeGraphicsObjects& held) {
        g_hxp.d3d = &held.d3d;
        g_hxp.d3drm = &held.d3drm;
        g_hxp.zBuffer = &held.zBuffer;
        g_hxp.palette = &held.palette;
        g_hxp.device = &held.device;
        g_hxp.rmDevice = &held.rmDevice;
        g_hxp.rmViewport = &held.rmViewport;
    }

    ReleaseLog log;
    FakeDisplay display{log};
};

TEST_F(PresentationSurfaces, TheFirstBuildMakesTheSurfacesInItsOrder) {
    g_hxp.bitsPerPixel = 99;
    EXPECT_EQ(CreateDirectDrawWin(display.window), 1);
    EXPECT_EQ(log.calls, kFirstBuild);
    EXPECT_EQ(debug.lines, (Calls{"HXP:CreateDirectDrawWin\n", "HXP:Hexaplan Cleanup\n"}));
    ASSERT_EQ(display.descriptions.size(), 2u);
    ExpectDescription(display.descriptions[0], DDSD_CAPS, DDSCAPS_PRIMARYSURFACE, 0, 0);
    ExpectDescription(display.descriptions[1], DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH,
                      DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY, 320, 200);

    EXPECT_EQ(g_hxp.ddraw, &display.Made<FakeDisplay::DirectDraw>("ddraw1"));
    EXPECT_EQ(g_hxp.primarySurface, &display.Made<FakeDisplay::Surface>("primary1"));
    EXPECT_EQ(g_hxp.backSurface, &display.Made<FakeDisplay::Surface>("back1"));
    EXPECT_EQ(g_hxp.clipper, &display.Made<FakeDisplay::Clipper>("clipper1"));
    EXPECT_EQ(g_hxp.hwnd, display.window);
    EXPECT_EQ(g_hxp.windowed, 1);
    EXPECT_EQ(g_hxp.width, 320);
    EXPECT_EQ(g_hxp.height, 200);
    // Measured from the window's device context: there is none here.
    EXPECT_EQ(g_hxp.bitsPerPixel, 0);
}

TEST_F(PresentationSurfaces, TheColourModelFollowsThePreferenceAnd3DHardware) {
    struct Case {
        int preferRgb;
        BOOL hardwareDisabled;
        DWORD caps;
        DWORD surfaceCaps;
        int deviceType;
    };
    const Case cases[] = {
        {0, 0, 0, 0, D3DCOLOR_MONO},
        {1, 0, 0, 0, D3DCOLOR_RGB},
        {5, 0, 0, 0, D3DCOLOR_RGB},
        {-1, 0, 0, 0, D3DCOLOR_RGB},
        {0, 0, DDCAPS_3D, DDSCAPS_TEXTURE, D3DCOLOR_RGB},
        {0, 0, DDCAPS_3D, 0, D3DCOLOR_MONO},
        {0, 0, 0, DDSCAPS_TEXTURE, D3DCOLOR_MONO},
        {0, 1, DDCAPS_3D, DDSCAPS_TEXTURE, D3DCOLOR_MONO},
        {1, 1, DDCAPS_3D, DDSCAPS_TEXTURE, D3DCOLOR_RGB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.preferRgb << " " << c.hardwareDisabled << " "
                                          << c.caps << " " << c.surfaceCaps);
        g_hxp.preferRgb = c.preferRgb;
        g_hxp.hardwareDisabled = c.hardwareDisabled;
        display.driverCaps = c.caps;
        display.driverSurfaceCaps = c.surfaceCaps;
        ASSERT_EQ(CreateDirectDrawWin(display.window), 1);
        EXPECT_EQ(g_hxp.deviceType, c.deviceType);
    }
}

TEST_F(PresentationSurfaces, ASecondBuildReleasesEverythingOfTheFirst) {
    Build();
    ReleaseLog others;
    FakeGraphicsObjects held(others);
    HoldThe3DSide(held);

    EXPECT_EQ(CreateDirectDrawWin(display.window), 1);
    EXPECT_EQ(others.released,
              (Calls{"rmViewport", "rmDevice", "device", "palette", "zBuffer", "d3drm", "d3d"}));
    EXPECT_EQ(log.released, (Calls{"back1", "clipper1", "primary1", "ddraw1"}));
    for (IUnknown* field :
         std::initializer_list<IUnknown*>{g_hxp.d3d, g_hxp.d3drm, g_hxp.zBuffer, g_hxp.palette,
                                          g_hxp.device, g_hxp.rmDevice, g_hxp.rmViewport})
        EXPECT_EQ(field, nullptr);
    EXPECT_EQ(g_hxp.ddraw, &display.Made<FakeDisplay::DirectDraw>("ddraw2"));
    EXPECT_EQ(g_hxp.backSurface, &display.Made<FakeDisplay::Surface>("back2"));
}

TEST_F(PresentationSurfaces, ASizeMessageBeforeAnyBuildOnlyStoresTheWindow) {
    GraphicsState before{};
    std::memcpy(&before, &g_hxp, sizeof before);
    EXPECT_EQ(HXPResizeWindow(display.window, 800, 600), 0);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(debug.lines, Calls{"HXP:Resize Window\n"});
    EXPECT_EQ(g_hxp.hwnd, display.window);
    g_hxp.hwnd = before.hwnd;
    EXPECT_EQ(std::memcmp(&g_hxp, &before, sizeof before), 0);
}

TEST_F(PresentationSurfaces, AResizeWithoutRetainedModeRebuildsOnlyTheSurfaces) {
    // Each round builds once and resizes once, so its objects are the
    // (2r+1)-th and the (2r+2)-th of their kind.
    int round = 0;
    for (int deviceType : {D3DCOLOR_RGB, D3DCOLOR_MONO}) {
        SCOPED_TRACE(deviceType);
        Build();
        g_hxp.deviceType = deviceType;
        g_hxp.renderEnabled = 1;
        g_hxp.clientRect = {0, 0, 1024, 768};
        display.descriptions.clear();
        const std::string n = std::to_string(2 * round + 1);
        const std::string next = std::to_string(2 * round + 2);
        ++round;

        EXPECT_EQ(HXPResizeWindow(display.window, 800, 600), 1);
        EXPECT_EQ(log.calls, (Calls{
                                 "back" + n + "->Release",
                                 "clipper" + n + "->Release",
                                 "primary" + n + "->Release",
                                 "ddraw" + n + "->Release",
                                 "DirectDrawCreate(null, null)",
                                 "ddraw" + next + "->SetCooperativeLevel(window, 0x8)",
                                 "ddraw" + next + "->CreateSurface(0x1, 0x200, 0x0)",
                                 "ddraw" + next + "->CreateSurface(0x7, 0x2040, 1024x768)",
                                 "ddraw" + next + "->CreateClipper(0x0)",
                                 "clipper" + next + "->SetHWnd(0x0, window)",
                                 "primary" + next + "->SetClipper(clipper" + next + ")",
                             }));
        // The size arguments serve the diagnostic line only.
        EXPECT_EQ(debug.lines, (Calls{"HXP:Resize Window\n", " Hxp:1024,768 - param 800,600 \n"}));
        ASSERT_EQ(display.descriptions.size(), 2u);
        ExpectDescription(display.descriptions[1], DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH,
                          DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 1024, 768);
        EXPECT_EQ(g_hxp.deviceType, deviceType);
        EXPECT_EQ(g_hxp.resizing, 0);
        EXPECT_EQ(g_hxp.windowed, 1);
        EXPECT_EQ(g_hxp.renderEnabled, 1);
        EXPECT_EQ(g_hxp.width, 1024);
        EXPECT_EQ(g_hxp.height, 768);
        g_hxp.clientRect = {0, 0, 320, 200};
    }
}

TEST_F(PresentationSurfaces, AResizeWithRetainedModeReleasesTheDevicesAndRebuildsThem) {
    Build();
    ReleaseLog others;
    FakeGraphicsObjects held(others);
    HoldThe3DSide(held);

    EXPECT_EQ(HXPResizeWindow(display.window, 320, 200), 1);
    // What the resize gives back before the retained-mode set-up runs on the
    // new surfaces with the retained-mode object kept; how that set-up ends
    // is its own business. The viewport waits for the next full build.
    auto first = [](const Calls& calls, size_t count) {
        return Calls(calls.begin(), calls.begin() + std::min(count, calls.size()));
    };
    EXPECT_EQ(first(others.released, 6),
              (Calls{"rmViewport", "rmDevice", "device", "d3d", "palette", "zBuffer"}));
    EXPECT_EQ(first(log.released, 4), (Calls{"back1", "clipper1", "primary1", "ddraw1"}));
    EXPECT_EQ(g_hxp.rmViewport, nullptr);
    EXPECT_EQ(
        first(debug.lines, 3),
        (Calls{"HXP:Resize Window\n", " Hxp:320,200 - param 320,200 \n", "HXP:CreateD3DRM\n"}));
    EXPECT_EQ(g_hxp.resizing, 0);
}

TEST_F(PresentationSurfaces, AMoveTouchesNoSurfaceWindowOrDepth) {
    Build();
    g_hxp.bitsPerPixel = 8;
    HWND other = reinterpret_cast<HWND>(0xBEEF);
    EXPECT_EQ(HXPMoveWindow(other), 1);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_TRUE(debug.lines.empty());
    EXPECT_EQ(g_hxp.hwnd, display.window);
    EXPECT_EQ(g_hxp.bitsPerPixel, 8);
}

TEST_F(PresentationSurfaces, PresentCopiesTheBackSurfaceToTheClientRectangleUnlessSkipped) {
    Build();
    struct Case {
        BOOL resizing;
        BOOL renderEnabled;
        BOOL result;
    };
    for (const Case& c : {Case{0, 1, 1}, Case{1, 1, 0}, Case{0, 0, 0}, Case{1, 0, 0}}) {
        SCOPED_TRACE(::testing::Message() << c.resizing << " " << c.renderEnabled);
        log.calls.clear();
        g_hxp.resizing = c.resizing;
        g_hxp.renderEnabled = c.renderEnabled;
        EXPECT_EQ(HXPPresent(), c.result);
        EXPECT_EQ(log.calls, c.result ? Calls{"primary1->Blt({0, 0, 320, 200}, back1, "
                                              "{0, 0, 320, 200}, 0x1000000, null)"}
                                      : Calls{});
    }

    // Where a move put the client area, with the size unchanged.
    log.calls.clear();
    g_hxp.resizing = 0;
    g_hxp.renderEnabled = 1;
    g_hxp.clientRect = {100, 50, 420, 250};
    EXPECT_EQ(HXPPresent(), 1);
    EXPECT_EQ(log.calls, Calls{"primary1->Blt({100, 50, 420, 250}, back1, {0, 0, 320, 200}, "
                               "0x1000000, null)"});
}

TEST_F(PresentationSurfaces, RestoringLostSurfaces) {
    Build();
    FakeDisplay::Surface zBuffer("zBuffer", display);
    FakeDisplay::Viewport viewport("rmViewport", log);
    auto& primary = display.Made<FakeDisplay::Surface>("primary1");
    const std::string update = "rmViewport->ForceUpdate(0, 0, 320, 200)";
    struct Case {
        const char* name;
        BOOL renderEnabled;
        BOOL restoreEnabled;
        bool primaryHeld;
        bool zBufferHeld;
        bool viewportHeld;
        bool primaryLost;
        bool zBufferLost;
        Calls calls;
    };
    const Case cases[] = {
        {"both lost",
         1,
         1,
         true,
         true,
         true,
         true,
         true,
         {"primary1->IsLost", "primary1->Restore", update, "zBuffer->IsLost", "zBuffer->Restore",
          update}},
        {"both lost after a resize, without viewport",
         1,
         1,
         true,
         true,
         false,
         true,
         true,
         {"primary1->IsLost", "primary1->Restore", "zBuffer->IsLost", "zBuffer->Restore"}},
        {"only the Z buffer lost",
         1,
         1,
         true,
         true,
         true,
         false,
         true,
         {"primary1->IsLost", "zBuffer->IsLost", "zBuffer->Restore", update}},
        {"nothing lost",
         1,
         1,
         true,
         true,
         true,
         false,
         false,
         {"primary1->IsLost", "zBuffer->IsLost"}},
        {"no Z buffer",
         1,
         1,
         true,
         false,
         true,
         true,
         false,
         {"primary1->IsLost", "primary1->Restore", update}},
        {"rendering disabled", 0, 1, true, true, true, true, true, {}},
        {"restoring disabled", 1, 0, true, true, true, true, true, {}},
        {"no primary surface", 1, 1, false, true, true, true, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.calls.clear();
        g_hxp.renderEnabled = c.renderEnabled;
        g_hxp.restoreEnabled = c.restoreEnabled;
        g_hxp.primarySurface = c.primaryHeld ? &primary : nullptr;
        g_hxp.zBuffer = c.zBufferHeld ? &zBuffer : nullptr;
        g_hxp.rmViewport = c.viewportHeld ? &viewport : nullptr;
        primary.lost = c.primaryLost;
        zBuffer.lost = c.zBufferLost;
        EXPECT_EQ(HXPRestoreSurfaces(), 1);
        EXPECT_EQ(log.calls, c.calls);
    }
    g_hxp.zBuffer = nullptr;
    g_hxp.rmViewport = nullptr;
}

// A failed step shows the result's name and ends the process with status 1;
// nothing after the step runs.
class PresentationFailures : public PresentationSurfaces {
protected:
    void SetUp() override {
        PresentationSurfaces::SetUp();
        GTEST_FLAG_SET(death_test_style, "fast");
    }

    // In the child: the box writes what it shows and the last step made.
    void ReportBoxesOnStandardError() {
        zv::testing::SetMessageBoxPresenter([this](const char* text, UINT, UINT) {
            std::fprintf(stderr, "box=%s last=%s\n", text, display.lastStep.c_str());
            return IDOK;
        });
    }
};

struct FatalStep {
    const char* step;
    HRESULT code;
    const char* name;
};

const FatalStep kFatalSteps[] = {
    {"DirectDrawCreate", DDERR_NODIRECTDRAWHW, "DDERR_NODIRECTDRAWHW"},
    {"SetCooperativeLevel", DDERR_HWNDALREADYSET, "DDERR_HWNDALREADYSET"},
    {"CreateSurface primary", DDERR_PRIMARYSURFACEALREADYEXISTS,
     "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {"CreateSurface back", DDERR_OUTOFCAPS, "DDERR_OUTOFCAPS"},
    {"CreateClipper", DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY"},
    {"SetHWnd", DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},
    {"SetClipper", DDERR_NOCLIPPERATTACHED, "DDERR_NOCLIPPERATTACHED"},
};

TEST_F(PresentationFailures, EachStepOfTheFirstBuildIsFatal) {
    for (const FatalStep& f : kFatalSteps) {
        SCOPED_TRACE(f.step);
        display.failures = {{f.step, f.code}};
        EXPECT_EXIT(
            {
                ReportBoxesOnStandardError();
                CreateDirectDrawWin(display.window);
            },
            ::testing::ExitedWithCode(1),
            std::string("box=DirectDraw Error ") + f.name + " last=" + f.step + "\n");
    }
}

TEST_F(PresentationFailures, EachStepOfTheRebuildIsFatal) {
    Build();
    for (const FatalStep& f : kFatalSteps) {
        SCOPED_TRACE(f.step);
        display.failures = {{f.step, f.code}};
        EXPECT_EXIT(
            {
                ReportBoxesOnStandardError();
                HXPResizeWindow(display.window, 640, 480);
            },
            ::testing::ExitedWithCode(1),
            std::string("box=DirectDraw Error ") + f.name + " last=" + f.step + "\n");
    }
}

TEST_F(PresentationFailures, AFailedPresentIsFatal) {
    Build();
    g_hxp.renderEnabled = 1;
    display.failures = {{"Blt", DDERR_SURFACELOST}};
    EXPECT_EXIT(
        {
            ReportBoxesOnStandardError();
            HXPPresent();
        },
        ::testing::ExitedWithCode(1), "box=DirectDraw Error DDERR_SURFACELOST last=Blt\n");
}

} // namespace
