// The main window's rules that need no display: size notifications, the
// idle hand-off, a tick without the focus, and what destruction releases.
#include "surface_fixture.h"

namespace {

TEST_F(SurfaceDlgTest, CreationLeavesTheWindowAskingForASetUp) {
    EXPECT_EQ(dlg->m_bNeedSetup, 1);
    EXPECT_EQ(dlg->m_cx, kClientWidth);
    EXPECT_EQ(dlg->m_cy, kClientHeight);
    EXPECT_EQ(dlg->m_pBgMaterial, nullptr);
    EXPECT_EQ(theApp.m_pFrameWnd, dlg.get());
    EXPECT_NE(dlg->m_hIcon, nullptr);
    EXPECT_FALSE(SameField(seeded, DisplacementField{})) << "the fields are seeded";
}

TEST_F(SurfaceDlgTest, OnlyASizeWithAnAreaReleasesTheTextureAndAsksForASetUp) {
    struct Case {
        UINT type;
        int cx;
        int cy;
        bool changes;
    };
    const Case cases[] = {
        {SIZE_MINIMIZED, 0, 0, false},
        {SIZE_RESTORED, 0, 300, false},
        {SIZE_RESTORED, 300, 0, false},
        {SIZE_RESTORED, 300, 200, true},
        {SIZE_MAXIMIZED, 1280, 990, true},
        // The same size again still rebuilds.
        {SIZE_RESTORED, kClientWidth, kClientHeight, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cx) + " x " + std::to_string(c.cy));
        SetUp();
        dlg->RenderFrame();
        recorder.log.Clear();

        dlg->OnSize(c.type, c.cx, c.cy);

        if (c.changes) {
            EXPECT_EQ(Calls(),
                      (std::vector<std::string>{"ReleaseBitmapTexture",
                                                "HXPResizeWindow(null, " + std::to_string(c.cx) +
                                                    ", " + std::to_string(c.cy) + ")"}));
            EXPECT_EQ(dlg->m_cx, c.cx);
            EXPECT_EQ(dlg->m_cy, c.cy);
            EXPECT_EQ(dlg->m_bNeedSetup, 1);
            EXPECT_EQ(dlg->m_texture.textureHandle, 0u);
        } else {
            EXPECT_TRUE(Calls().empty());
            EXPECT_EQ(dlg->m_cx, kClientWidth);
            EXPECT_EQ(dlg->m_cy, kClientHeight);
            EXPECT_EQ(dlg->m_bNeedSetup, 0);
            EXPECT_EQ(dlg->m_texture.textureHandle, apptest::kTextureHandle);
        }
        TearDown();
    }
}

TEST_F(SurfaceDlgTest, IdleAsksForWhatThePlatformAsksUntilAWindowRegisters) {
    theApp.m_pFrameWnd = nullptr;
    for (LONG count : {0, 1, 2, 3, 100}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(theApp.OnIdle(count), count < 1 ? TRUE : FALSE);
        EXPECT_EQ(theApp.OnIdle(count), theApp.CWinApp::OnIdle(count));
    }
}

TEST_F(SurfaceDlgTest, IdleAlwaysAsksForMoreOnceAWindowRegistered) {
    ASSERT_EQ(theApp.m_pFrameWnd, dlg.get());
    for (LONG count : {0, 1, 2, 3, 100}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(theApp.OnIdle(count), TRUE);
    }
}

TEST_F(SurfaceDlgTest, ATickWithoutTheFocusDoesNothing) {
    for (int tick = 0; tick < 3; ++tick)
        dlg->OnFrameTick();

    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(SameField(dlg->m_field, seeded)) << "neither poked nor stepped";
    EXPECT_EQ(dlg->m_bNeedSetup, 1);
}

TEST_F(SurfaceDlgTest, DestructionReleasesWhatWasMadeFromTheLayerBeforeTheLayer) {
    struct Case {
        const char* what;
        int frames;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"before any set-up", 0, {"ReleaseBitmapTexture", "HXPCleanup"}},
        {"after a frame",
         1,
         {"ReleaseBitmapTexture", "material1->Release", "frame2->Release", "frame1->Release",
          "HXPCleanup"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        for (int frame = 0; frame < c.frames; ++frame)
            dlg->RenderFrame();
        recorder.log.Clear();

        dlg->OnDestroy();

        EXPECT_EQ(Calls(), c.calls);
        EXPECT_EQ(theApp.m_pFrameWnd, nullptr) << "no tick may reach a window that is going";
        EXPECT_EQ(dlg->m_pScene, nullptr);
        EXPECT_EQ(dlg->m_pCamera, nullptr);
        EXPECT_EQ(dlg->m_pBgMaterial, nullptr);
        TearDown();
    }
}

} // namespace
