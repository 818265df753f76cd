// The record's reset, the two setters and the full release.
#include "fake_com.h"
#include "graphics_test.h"

#include <platform/testing.h>

#include <cstring>
#include <vector>

namespace {

using zv::testing::ModuleSearchDir;

const GUID kHalGuid = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

// Gives every field a value that no reset would leave.
void FillEveryField(FakeGraphicsObjects& fakes) {
    fakes.Install(g_hxp);
    std::memset(g_hxp.paletteEntries, 0x5A, sizeof g_hxp.paletteEntries);
    std::strcpy(g_hxp.deviceName, "RGB Emulation");
    g_hxp.deviceType = D3DCOLOR_RGB;
    g_hxp.clientRect = {10, 20, 650, 500};
    g_hxp.halFound = 1;
    g_hxp.hardwareDisabled = 1;
    g_hxp.preferRgb = 5;
    g_hxp.renderEnabled = 1;
    g_hxp.windowed = 1;
    g_hxp.resizing = 1;
    g_hxp.restoreEnabled = 0;
    std::strcpy(g_hxp.fatalText, "DirectDraw Error DDERR_SURFACELOST");
    g_hxp.width = 320;
    g_hxp.height = 200;
    g_hxp.bitsPerPixel = 8;
    g_hxp.hwnd = reinterpret_cast<HWND>(&fakes);
    g_hxp.deviceChosen = 1;
    g_hxp.halGuid = kHalGuid;
}

void ExpectDefaults() {
    EXPECT_EQ(g_hxp.ddraw, nullptr);
    EXPECT_EQ(g_hxp.d3d, nullptr);
    EXPECT_EQ(g_hxp.d3drm, nullptr);
    EXPECT_EQ(g_hxp.d3drmBase, nullptr);
    EXPECT_EQ(g_hxp.primarySurface, nullptr);
    EXPECT_EQ(g_hxp.backSurface, nullptr);
    EXPECT_EQ(g_hxp.zBuffer, nullptr);
    EXPECT_EQ(g_hxp.palette, nullptr);
    for (const PALETTEENTRY& entry : g_hxp.paletteEntries)
        ASSERT_EQ(entry.peRed | entry.peGreen | entry.peBlue | entry.peFlags, 0);
    EXPECT_EQ(g_hxp.clipper, nullptr);
    EXPECT_EQ(g_hxp.device, nullptr);
    EXPECT_EQ(g_hxp.rmDevice, nullptr);
    EXPECT_EQ(g_hxp.rmViewport, nullptr);
    EXPECT_STREQ(g_hxp.deviceName, "");
    EXPECT_EQ(g_hxp.deviceType, 0);
    EXPECT_EQ(g_hxp.clientRect.left, 0);
    EXPECT_EQ(g_hxp.clientRect.top, 0);
    EXPECT_EQ(g_hxp.clientRect.right, 0);
    EXPECT_EQ(g_hxp.clientRect.bottom, 0);
    EXPECT_EQ(g_hxp.halFound, 0);
    EXPECT_EQ(g_hxp.hardwareDisabled, 0);
    EXPECT_EQ(g_hxp.preferRgb, 0);
    EXPECT_EQ(g_hxp.renderEnabled, 0);
    EXPECT_EQ(g_hxp.windowed, 0);
    EXPECT_EQ(g_hxp.resizing, 0);
    EXPECT_EQ(g_hxp.restoreEnabled, 1);
    EXPECT_STREQ(g_hxp.fatalText, "");
    EXPECT_EQ(g_hxp.width, 640);
    EXPECT_EQ(g_hxp.height, 480);
    EXPECT_EQ(g_hxp.bitsPerPixel, 16);
    EXPECT_EQ(g_hxp.hwnd, nullptr);
    EXPECT_EQ(g_hxp.deviceChosen, 0);
}

const std::vector<std::string> kCleanupOrder = {
    "rmViewport", "rmDevice",    "device",  "palette",        "zBuffer", "d3drm",
    "d3d",        "backSurface", "clipper", "primarySurface", "ddraw",
};

class GraphicsRecord : public GraphicsTest {
protected:
    ReleaseLog log;
    FakeGraphicsObjects fakes{log};
};

TEST_F(GraphicsRecord, InitializeResetsTheBlockAndKeepsTheRuntimes) {
    ModuleSearchDir dir(Situation("complete"));
    ASSERT_EQ(HXPLoadLibraries(), 0);
    const GraphicsState loaded = g_hxp;
    FillEveryField(fakes);

    EXPECT_EQ(HXPInitialize(), 1);
    ExpectDefaults();
    EXPECT_EQ(g_hxp.halGuid, kHalGuid);
    EXPECT_EQ(g_hxp.d3drmModule, loaded.d3drmModule);
    EXPECT_EQ(g_hxp.ddrawModule, loaded.ddrawModule);
    EXPECT_EQ(g_hxp.pfnDirect3DRMCreate, loaded.pfnDirect3DRMCreate);
    EXPECT_EQ(g_hxp.pfnD3DRMColorGetGreen, loaded.pfnD3DRMColorGetGreen);
    EXPECT_EQ(g_hxp.pfnD3DRMColorGetRed, loaded.pfnD3DRMColorGetRed);
    EXPECT_EQ(g_hxp.pfnD3DRMColorGetBlue, loaded.pfnD3DRMColorGetBlue);
    EXPECT_EQ(g_hxp.pfnD3DRMCreateColorRGB, loaded.pfnD3DRMCreateColorRGB);
    EXPECT_EQ(g_hxp.pfnDirectDrawCreate, loaded.pfnDirectDrawCreate);
    EXPECT_EQ(g_hxp.pfnDirectDrawEnumerateA, loaded.pfnDirectDrawEnumerateA);
    EXPECT_EQ(debug.lines, std::vector<std::string>{"HXP:Hexaplan Initialize\n"});

    // What the reset drops is given back first, in the clean-up order.
    std::vector<std::string> released = kCleanupOrder;
    released.push_back("d3drmBase");
    EXPECT_EQ(log.released, released);
}

TEST_F(GraphicsRecord, AFailedInitializeLeavesTheRecordAlone) {
    ModuleSearchDir dir(Situation("empty"));
    FillEveryField(fakes);
    GraphicsState before{};
    std::memcpy(&before, &g_hxp, sizeof before);

    EXPECT_EQ(HXPInitialize(), 0);
    EXPECT_EQ(std::memcmp(&g_hxp, &before, sizeof before), 0);
    EXPECT_TRUE(log.released.empty());
    EXPECT_EQ(debug.lines, std::vector<std::string>{"HXP:Hexaplan Initialize\n"});
}

TEST_F(GraphicsRecord, PreferRgbStoresAnyValue) {
    for (int value : {1, 5, -1, 0}) {
        EXPECT_EQ(HXPSetPreferRgb(value), 1);
        EXPECT_EQ(g_hxp.preferRgb, value);
    }
}

TEST_F(GraphicsRecord, RenderEnabledTakesOnlyZeroAndOne) {
    struct Case {
        BOOL before;
        int argument;
        BOOL after;
    };
    const Case cases[] = {
        {0, 1, 1}, {1, 0, 0}, {1, 1, 1}, {0, 0, 0}, {0, 2, 0}, {1, 2, 1}, {0, -1, 0}, {1, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.before << " " << c.argument);
        g_hxp.renderEnabled = c.before;
        EXPECT_EQ(HXPSetRenderEnabled(c.argument), 1);
        EXPECT_EQ(g_hxp.renderEnabled, c.after);
    }
}

TEST_F(GraphicsRecord, CleanupReleasesEveryInterfaceInItsOrderAndNothingElse) {
    FillEveryField(fakes);
    GraphicsState before{};
    std::memcpy(&before, &g_hxp, sizeof before);

    EXPECT_EQ(HXPCleanup(), 1);
    EXPECT_EQ(log.released, kCleanupOrder);
    EXPECT_EQ(debug.lines, std::vector<std::string>{"HXP:Hexaplan Cleanup\n"});
    EXPECT_EQ(g_hxp.renderEnabled, 0);
    for (IUnknown* field : std::initializer_list<IUnknown*>{
             g_hxp.rmViewport, g_hxp.rmDevice, g_hxp.device, g_hxp.palette, g_hxp.zBuffer,
             g_hxp.d3drm, g_hxp.d3d, g_hxp.backSurface, g_hxp.clipper, g_hxp.primarySurface,
             g_hxp.ddraw})
        EXPECT_EQ(field, nullptr);

    // Everything else as it was: put the released fields and the flag back
    // and the record must be byte for byte the old one.
    fakes.Install(g_hxp);
    g_hxp.renderEnabled = before.renderEnabled;
    EXPECT_EQ(std::memcmp(&g_hxp, &before, sizeof before), 0);
}

TEST_F(GraphicsRecord, CleanupOfAnEmptyRecordTwiceOnlyWritesItsLine) {
    g_hxp.renderEnabled = 1;
    g_hxp.windowed = 1;
    EXPECT_EQ(HXPCleanup(), 1);
    EXPECT_EQ(HXPCleanup(), 1);
    EXPECT_EQ(g_hxp.renderEnabled, 0);
    EXPECT_EQ(g_hxp.windowed, 1);
    EXPECT_EQ(debug.lines, std::vector<std::string>(2, "HXP:Hexaplan Cleanup\n"));
}

} // namespace
