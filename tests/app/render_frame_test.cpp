// The frame renderer over the recorded graphics layer: the set-up and frame
// steps in their order, what they pass, and the set-up rules.
#include "surface_fixture.h"

#include <sim/WarpedGridMesh.h>

#include <cstring>

namespace {

using apptest::Quad;

std::vector<Quad> MeshOf(const DisplacementField& field) {
    std::vector<Quad> quads;
    WarpedGridMesh(field, [&](GridVertex* quad) {
        Quad copy;
        std::copy_n(quad, copy.size(), copy.begin());
        quads.push_back(copy);
    });
    return quads;
}

bool SameQuads(const std::vector<Quad>& a, const std::vector<Quad>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Quad)) == 0;
}

D3DMATERIAL WhiteBackground() {
    D3DMATERIAL material{};
    material.dwSize = 80;
    material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.dwRampSize = 16;
    return material;
}

const std::vector<std::string> kReleaseFirstSceneObjects = {
    "material1->Release",
    "frame2->Release",
    "frame1->Release",
};

TEST_F(SurfaceDlgTest, FirstCallBuildsEverythingAndDrawsAFrame) {
    int flagWhileLoading = -1;
    recorder.script.duringTextureLoad = [&] { flagWhileLoading = dlg->m_bNeedSetup; };

    dlg->RenderFrame();

    EXPECT_EQ(Calls(), Joined(SetupCalls("null", 1, 1, "0x81"),
                              FrameCalls("0x81", kClientWidth, kClientHeight)));
    EXPECT_EQ(flagWhileLoading, 0) << "the flag is cleared before the texture is loaded";
    EXPECT_EQ(dlg->m_bNeedSetup, 0);
    EXPECT_EQ(dlg->m_pScene, &recorder.frames.at(0));
    EXPECT_EQ(dlg->m_pCamera, &recorder.frames.at(1));
    EXPECT_EQ(dlg->m_pBgMaterial, &recorder.materials.at(0));
    EXPECT_EQ(dlg->m_hBgMaterial, apptest::kFirstMaterialHandle);
    D3DMATERIAL expected = WhiteBackground();
    EXPECT_EQ(std::memcmp(&recorder.materials.at(0).given, &expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(&dlg->m_bgMaterial, &expected, sizeof expected), 0);
    EXPECT_EQ(recorder.viewport.references, 1u) << "the queried viewport is given back";

    DisplacementField stepped = NextFrameField(seeded, false);
    EXPECT_TRUE(SameField(dlg->m_field, stepped)) << "exactly one simulation step";
    EXPECT_TRUE(SameQuads(recorder.device.quads, MeshOf(stepped)))
        << "the quads of the stepped field, in mesh order";
}

TEST_F(SurfaceDlgTest, LaterCallsOnlyDrawWithTheSameObjects) {
    dlg->RenderFrame();
    DisplacementField expected = NextFrameField(seeded, false);
    for (int call = 2; call <= 4; ++call) {
        SCOPED_TRACE("call " + std::to_string(call));
        recorder.log.Clear();
        dlg->RenderFrame();
        expected = NextFrameField(expected, false);
        EXPECT_EQ(Calls(), FrameCalls("0x81", kClientWidth, kClientHeight));
        EXPECT_TRUE(SameField(dlg->m_field, expected));
        EXPECT_TRUE(SameQuads(recorder.device.quads, MeshOf(expected)));
    }
    EXPECT_EQ(recorder.frames.size(), 2u);
    EXPECT_EQ(recorder.materials.size(), 1u);
    EXPECT_EQ(recorder.viewport.references, 1u);
}

TEST_F(SurfaceDlgTest, SimulationStepsInsideTheSceneBeforeTheTextureIsSelected) {
    DisplacementField atBeginScene{};
    DisplacementField atMaterialSelect{};
    recorder.script.atBeginScene = [&] { atBeginScene = dlg->m_field; };
    recorder.script.atMaterialSelect = [&] { atMaterialSelect = dlg->m_field; };

    dlg->RenderFrame();

    EXPECT_TRUE(SameField(atBeginScene, seeded));
    EXPECT_TRUE(SameField(atMaterialSelect, NextFrameField(seeded, false)));
}

TEST_F(SurfaceDlgTest, TextureAndMaterialAreDeselectedAtEveryEndScene) {
    for (int frame = 0; frame < 3; ++frame)
        dlg->RenderFrame();

    ASSERT_EQ(recorder.device.atEndScene.size(), 3u);
    for (const auto& states : recorder.device.atEndScene) {
        EXPECT_EQ(states.textureHandle, 0u);
        EXPECT_EQ(states.materialHandle, 0u);
    }
}

TEST_F(SurfaceDlgTest, ForceUpdateCoversTheLastSizeThatHadAnArea) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> sizes;
        std::array<DWORD, 4> region;
    };
    const Case cases[] = {
        {"no resize", {}, {0, 0, 420, 418}},
        {"resized", {{300, 200}}, {0, 0, 300, 200}},
        {"then minimised", {{300, 200}, {0, 0}}, {0, 0, 300, 200}},
        {"then zero width", {{300, 200}, {0, 150}}, {0, 0, 300, 200}},
        {"then zero height", {{300, 200}, {640, 0}}, {0, 0, 300, 200}},
        {"minimised, then restored larger", {{0, 0}, {800, 600}}, {0, 0, 800, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        for (auto [cx, cy] : c.sizes)
            dlg->OnSize(cx == 0 && cy == 0 ? SIZE_MINIMIZED : SIZE_RESTORED, cx, cy);
        dlg->RenderFrame();
        EXPECT_EQ(recorder.forceUpdate, c.region);
        TearDown();
    }
}

TEST_F(SurfaceDlgTest, ResizeDuringTheSetUpDrawsNothingAndTheNextCallBuildsAgain) {
    recorder.script.duringTextureLoad = [&] {
        recorder.script.duringTextureLoad = nullptr;
        dlg->OnSize(SIZE_RESTORED, 500, 400);
    };

    dlg->RenderFrame();

    std::vector<std::string> expected = SetupCalls("null", 1, 1, "0x81");
    // The size handler runs inside the texture load.
    expected.insert(expected.begin() + 10,
                    {"ReleaseBitmapTexture", "HXPResizeWindow(null, 500, 400)"});
    EXPECT_EQ(Calls(), expected);
    EXPECT_EQ(dlg->m_bNeedSetup, 1);
    EXPECT_TRUE(SameField(dlg->m_field, seeded)) << "no simulation step";

    recorder.log.Clear();
    dlg->RenderFrame();

    EXPECT_EQ(Calls(), Joined(Joined(kReleaseFirstSceneObjects, SetupCalls("null", 3, 2, "0x82")),
                              FrameCalls("0x82", 500, 400)));
    EXPECT_EQ(dlg->m_bNeedSetup, 0);
    EXPECT_TRUE(SameField(dlg->m_field, NextFrameField(seeded, false)));
}

TEST_F(SurfaceDlgTest, AResizeRebuildsEverythingOnTheNextCall) {
    dlg->RenderFrame();
    recorder.log.Clear();

    dlg->OnSize(SIZE_RESTORED, 640, 480);
    dlg->RenderFrame();

    std::vector<std::string> expected = {"ReleaseBitmapTexture", "HXPResizeWindow(null, 640, 480)"};
    expected =
        Joined(Joined(expected, kReleaseFirstSceneObjects), SetupCalls("null", 3, 2, "0x82"));
    EXPECT_EQ(Calls(), Joined(expected, FrameCalls("0x82", 640, 480)));
    EXPECT_EQ(recorder.frames.at(0).references, 0u);
    EXPECT_EQ(recorder.frames.at(1).references, 0u);
    EXPECT_EQ(recorder.materials.at(0).references, 0u);
}

} // namespace
