// Input a program should not give, through the module: drawn clipped,
// ignored or refused with a result code, and never a write outside the
// viewport. Built with ZEVRA_SANITIZE=ON, an access outside the surfaces
// stops the test.
#include "d3d_test.h"

#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kHuge = 3.0e38f;

// A 16 x 16 target whose viewport is its middle 8 x 8, over a known colour.
class BadInput : public Direct3DTest {
protected:
    static constexpr uint32_t kUntouched = 0x123456;

    void SetUp() override {
        Direct3DTest::SetUp();
        target = Target(16, 16);
        device = Device(target.Get());
        D3DVIEWPORT data = ViewportData(4, 4, 8, 8);
        viewport = Viewport(device.Get(), &data);
        WritePixels(target.Get(), 4, std::vector<uint32_t>(256, kUntouched));
        D3DRECT whole = {0, 0, 16, 16};
        ASSERT_EQ(viewport->Clear(1, &whole, D3DCLEAR_ZBUFFER), D3D_OK);
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
    }

    // Pixels outside the viewport that have changed.
    int TouchedOutside() {
        const auto pixels = Colours(target.Get());
        int touched = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if ((x < 4 || x >= 12 || y < 4 || y >= 12) && pixels[y * 16 + x] != kUntouched)
                    ++touched;
        return touched;
    }

    Com<IDirectDrawSurface> target;
    Com<IDirect3DDevice2> device;
    Com<IDirect3DViewport2> viewport;
};

TEST_F(BadInput, TooFewVerticesDrawNothing) {
    auto quad = Quad(0, 0, 16, 16, 0xFFFF0000);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (D3DPRIMITIVETYPE type : {D3DPT_TRIANGLELIST, D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN})
        for (DWORD count : {0u, 1u, 2u}) {
            SCOPED_TRACE(::testing::Message() << type << " " << count);
            EXPECT_EQ(device->DrawPrimitive(type, D3DVT_TLVERTEX, quad.data(), count, 0), D3D_OK);
        }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(256, kUntouched));
}

TEST_F(BadInput, WildCoordinatesStayInsideTheViewport) {
    struct Case {
        const char* name;
        std::vector<D3DTLVERTEX> vertices;
    };
    const Case cases[] = {
        {"not a number", {Vertex(kNaN, 0), Vertex(16, kNaN), Vertex(0, 16)}},
        {"all not a number", {Vertex(kNaN, kNaN), Vertex(kNaN, kNaN), Vertex(kNaN, kNaN)}},
        {"infinite", {Vertex(-kInf, -kInf), Vertex(kInf, 0), Vertex(0, kInf)}},
        {"huge", {Vertex(-kHuge, -kHuge), Vertex(kHuge, -kHuge), Vertex(0, kHuge)}},
        {"far outside", {Vertex(1e6f, 1e6f), Vertex(1e6f + 50, 1e6f), Vertex(1e6f, 1e6f + 50)}},
        {"far left", {Vertex(-1e9f, 0), Vertex(-1e9f + 5, 0), Vertex(-1e9f, 16)}},
        {"covering everything", {Vertex(-1e7f, -1e7f), Vertex(1e7f, -1e7f), Vertex(0, 1e7f)}},
        {"degenerate", {Vertex(8, 8), Vertex(8, 8), Vertex(8, 8)}},
        {"depth out of range", {Vertex(0, 0, ~0u, -5.0f), Vertex(16, 0, ~0u, 1e30f),
                                Vertex(0, 16, ~0u, kNaN)}},
        {"odd w", {{0, 0, 0.5f, 0, ~0u, 0, 0, 0}, {16, 0, 0.5f, -1, ~0u, 0, 1e30f, 0},
                   {0, 16, 0.5f, kNaN, ~0u, 0, 0, kNaN}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (D3DPRIMITIVETYPE type : {D3DPT_TRIANGLELIST, D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN})
            EXPECT_EQ(DrawScene(device.Get(), type, c.vertices), D3D_OK);
        EXPECT_EQ(TouchedOutside(), 0);
    }
}

TEST_F(BadInput, WildTextureCoordinatesSampleInsideTheTexture) {
    auto texture = TextureSurface(4, 4, kPalette8);
    WritePixels(texture.Get(), 1, std::vector<uint32_t>(16, 1));
    auto palette = Palette({{0, 0, 0, 0}, {255, 0, 0, 0}});
    ASSERT_EQ(texture->SetPalette(palette.Get()), DD_OK);
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE,
                                     HandleOf(texture.Get(), device.Get())),
              D3D_OK);
    for (DWORD address : {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP,
                          D3DTADDRESS_BORDER}) {
        SCOPED_TRACE(address);
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREADDRESS, address), D3D_OK);
        for (float uv : {kNaN, kHuge, -kHuge, 1e9f, -1e9f}) {
            std::vector<D3DTLVERTEX> vertices = {Vertex(4, 4, ~0u, 0.5f, uv, 0),
                                                 Vertex(12, 4, ~0u, 0.5f, 0, uv),
                                                 Vertex(4, 12, ~0u, 0.5f, uv, uv)};
            EXPECT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLELIST, vertices), D3D_OK);
        }
    }
    EXPECT_EQ(TouchedOutside(), 0);
}

TEST_F(BadInput, UnknownHandlesAreRefusedAndChangeNothing) {
    auto texture = TextureSurface(1, 1, kXrgb8888);
    WritePixels(texture.Get(), 4, {0x00FF00});
    const D3DTEXTUREHANDLE good = HandleOf(texture.Get(), device.Get());
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, good), D3D_OK);
    for (DWORD bad : {good + 1, good + 1000, 0xFFFFFFFFu}) {
        EXPECT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, bad), DDERR_INVALIDPARAMS);
        EXPECT_EQ(device->SetLightState(D3DLIGHTSTATE_MATERIAL, bad), DDERR_INVALIDPARAMS);
        EXPECT_EQ(viewport->SetBackground(bad), DDERR_INVALIDPARAMS);
    }
    // A texture handle is not a material handle.
    EXPECT_EQ(device->SetLightState(D3DLIGHTSTATE_MATERIAL, good), DDERR_INVALIDPARAMS);
    ASSERT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, Quad(4, 4, 12, 12)), D3D_OK);
    EXPECT_EQ(ColourAt(target.Get(), 8, 8), 0x00FF00u);
}

TEST_F(BadInput, DrawingOutsideASceneOrWithoutAViewportIsRefused) {
    auto quad = Quad(0, 0, 16, 16, 0xFFFF0000);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad.data(), 4, 0),
              D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(device->DeleteViewport(viewport.Get()), D3D_OK);
    EXPECT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, quad), D3DERR_NOCURRENTVIEWPORT);
    EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(256, kUntouched));
}

TEST_F(BadInput, ClearRectanglesFarOutsideAreClipped) {
    auto white = Material({1, 1, 1, 1});
    ASSERT_EQ(viewport->SetBackground(HandleOf(white.Get(), device.Get())), D3D_OK);
    const LONG big = std::numeric_limits<LONG>::max(), small = std::numeric_limits<LONG>::min();
    D3DRECT rects[] = {{small, small, big, big}, {big, big, small, small}, {20, 20, 30, 30},
                       {-30, -30, -20, -20}, {8, 8, 8, 8}};
    ASSERT_EQ(viewport->Clear(5, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), D3D_OK);
    EXPECT_EQ(TouchedOutside(), 0);
    EXPECT_EQ(ColourAt(target.Get(), 4, 4), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(target.Get(), 11, 11), 0xFFFFFFu);
}

TEST_F(BadInput, AViewportReachingPastTheTargetIsCutToIt) {
    D3DVIEWPORT data = ViewportData(10, 10, 1000, 1000);
    ASSERT_EQ(viewport->SetViewport(&data), D3D_OK);
    auto white = Material({1, 1, 1, 1});
    ASSERT_EQ(viewport->SetBackground(HandleOf(white.Get(), device.Get())), D3D_OK);
    D3DRECT whole = {0, 0, 2000, 2000};
    ASSERT_EQ(viewport->Clear(1, &whole, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), D3D_OK);
    ASSERT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 5000, 5000, 0xFFFF0000)),
              D3D_OK);
    const auto pixels = Colours(target.Get());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(pixels[y * 16 + x], x >= 10 && y >= 10 ? 0xFF0000u : kUntouched);
}

} // namespace
