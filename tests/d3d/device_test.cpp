// A device's states, scenes, viewports, materials and textures, and what its
// draws and clears leave in the surfaces.
#include "d3d_test.h"

#include <cstring>

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr D3DCOLORVALUE kWhiteValue = {1, 1, 1, 1};

class DeviceTest : public Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        target = Target(8, 8);
        device = Device(target.Get());
        viewport = Viewport(device.Get());
        ClearDepth(viewport.Get());
    }

    Com<IDirectDrawSurface> target;
    Com<IDirect3DDevice2> device;
    Com<IDirect3DViewport2> viewport;
};

TEST_F(DeviceTest, ScenesDoNotNest) {
    EXPECT_EQ(device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_SCENE_IN_SCENE);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    auto quad = Quad(0, 0, 8, 8, kRed);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad.data(), 4, 0),
              D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(64, 0));
}

TEST_F(DeviceTest, RenderStatesStartAtTheirDefaults) {
    struct Case {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    const Case cases[] = {
        {D3DRENDERSTATE_TEXTUREHANDLE, 0},
        {D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_WRAP},
        {D3DRENDERSTATE_TEXTUREADDRESSU, D3DTADDRESS_WRAP},
        {D3DRENDERSTATE_TEXTUREADDRESSV, D3DTADDRESS_WRAP},
        {D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE},
        {D3DRENDERSTATE_ZENABLE, TRUE},
        {D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID},
        {D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRENDERSTATE_ZWRITEENABLE, TRUE},
        {D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_NEAREST},
        {D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_NEAREST},
        {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
        {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO},
        {D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_MODULATE},
        {D3DRENDERSTATE_CULLMODE, D3DCULL_CCW},
        {D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRENDERSTATE_BLENDENABLE, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        DWORD value = 0xDEAD;
        ASSERT_EQ(device->GetRenderState(c.state, &value), D3D_OK);
        EXPECT_EQ(value, c.value);
    }
    // Z testing starts off on a target without a Z buffer.
    auto plain = Target(8, 8, 0);
    auto other = Device(plain.Get());
    DWORD value = 0xDEAD;
    ASSERT_EQ(other->GetRenderState(D3DRENDERSTATE_ZENABLE, &value), D3D_OK);
    EXPECT_EQ(value, FALSE);
}

TEST_F(DeviceTest, RenderStatesRefuseValuesOutsideTheirRange) {
    struct Case {
        D3DRENDERSTATETYPE state;
        DWORD good;
        DWORD bad;
    };
    const Case cases[] = {
        {D3DRENDERSTATE_CULLMODE, D3DCULL_NONE, 0},
        {D3DRENDERSTATE_CULLMODE, D3DCULL_CW, 4},
        {D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS, 9},
        {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA, 14},
        {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA, 0},
        {D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT, 4},
        {D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR, 7},
        {D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_LINEAR, 0},
        {D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_CLAMP, 5},
        {D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL, 9},
        {D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        ASSERT_EQ(device->SetRenderState(c.state, c.good), D3D_OK);
        EXPECT_EQ(device->SetRenderState(c.state, c.bad), DDERR_INVALIDPARAMS);
        DWORD value = 0;
        ASSERT_EQ(device->GetRenderState(c.state, &value), D3D_OK);
        EXPECT_EQ(value, c.good);
    }
    for (DWORD unknown : {0u, 96u, 0xFFFFFFFFu}) {
        const auto state = static_cast<D3DRENDERSTATETYPE>(unknown);
        DWORD value = 0;
        EXPECT_EQ(device->SetRenderState(state, 1), DDERR_INVALIDPARAMS);
        EXPECT_EQ(device->GetRenderState(state, &value), DDERR_INVALIDPARAMS);
    }
    EXPECT_EQ(device->GetRenderState(D3DRENDERSTATE_ZFUNC, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DeviceTest, RenderStatesReachTheDrawing) {
    struct Case {
        const char* name;
        std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states;
        D3DCOLOR colour;
        uint32_t expected;
    };
    // Drawn over blue; the quad is clockwise on the screen.
    const Case cases[] = {
        {"opaque", {}, RGBA_MAKE(255, 0, 0, 255), kRed},
        {"culled clockwise", {{D3DRENDERSTATE_CULLMODE, D3DCULL_CW}}, RGBA_MAKE(255, 0, 0, 255),
         kBlue},
        {"depth test never passes", {{D3DRENDERSTATE_ZFUNC, D3DCMP_NEVER}},
         RGBA_MAKE(255, 0, 0, 255), kBlue},
        {"half transparent",
         {{D3DRENDERSTATE_BLENDENABLE, TRUE},
          {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
          {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA}},
         RGBA_MAKE(255, 0, 0, 0), kBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto surface = Target(8, 8);
        auto d = Device(surface.Get());
        auto v = Viewport(d.Get());
        ClearDepth(v.Get());
        WritePixels(surface.Get(), 4, std::vector<uint32_t>(64, kBlue));
        for (auto [state, value] : c.states)
            ASSERT_EQ(d->SetRenderState(state, value), D3D_OK);
        ASSERT_EQ(DrawScene(d.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 8, 8, c.colour)), D3D_OK);
        EXPECT_EQ(ColourAt(surface.Get(), 4, 4), c.expected);
    }
}

TEST_F(DeviceTest, DrawPrimitiveRefusesWhatItCannotDraw) {
    auto quad = Quad(0, 0, 8, 8, kRed);
    struct Case {
        const char* name;
        D3DPRIMITIVETYPE type;
        D3DVERTEXTYPE vertexType;
        void* vertices;
        HRESULT result;
    };
    const Case cases[] = {
        {"no vertices", D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, nullptr, DDERR_INVALIDPARAMS},
        {"untransformed", D3DPT_TRIANGLEFAN, D3DVT_VERTEX, quad.data(), D3DERR_INVALIDVERTEXTYPE},
        {"unlit", D3DPT_TRIANGLEFAN, D3DVT_LVERTEX, quad.data(), D3DERR_INVALIDVERTEXTYPE},
        {"unknown vertex type", D3DPT_TRIANGLEFAN, static_cast<D3DVERTEXTYPE>(0), quad.data(),
         D3DERR_INVALIDVERTEXTYPE},
        {"points", D3DPT_POINTLIST, D3DVT_TLVERTEX, quad.data(), D3DERR_INVALIDPRIMITIVETYPE},
        {"lines", D3DPT_LINELIST, D3DVT_TLVERTEX, quad.data(), D3DERR_INVALIDPRIMITIVETYPE},
        {"line strip", D3DPT_LINESTRIP, D3DVT_TLVERTEX, quad.data(), D3DERR_INVALIDPRIMITIVETYPE},
        {"unknown primitive", static_cast<D3DPRIMITIVETYPE>(99), D3DVT_TLVERTEX, quad.data(),
         D3DERR_INVALIDPRIMITIVETYPE},
    };
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(device->DrawPrimitive(c.type, c.vertexType, c.vertices, 4, 0), c.result);
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(64, 0));
}

TEST_F(DeviceTest, ListsStripsAndFansCoverTheSameQuad) {
    const D3DTLVERTEX tl = Vertex(0, 0, 0xFFFF0000), tr = Vertex(8, 0, 0xFFFF0000),
                      br = Vertex(8, 8, 0xFFFF0000), bl = Vertex(0, 8, 0xFFFF0000);
    const std::pair<D3DPRIMITIVETYPE, std::vector<D3DTLVERTEX>> cases[] = {
        {D3DPT_TRIANGLEFAN, {tl, tr, br, bl}},
        {D3DPT_TRIANGLESTRIP, {tl, tr, bl, br}},
        {D3DPT_TRIANGLELIST, {tl, tr, br, tl, br, bl}},
    };
    for (const auto& [type, vertices] : cases) {
        SCOPED_TRACE(type);
        WritePixels(target.Get(), 4, std::vector<uint32_t>(64, 0));
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS), D3D_OK);
        ASSERT_EQ(DrawScene(device.Get(), type, vertices), D3D_OK);
        EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(64, kRed));
    }
}

TEST_F(DeviceTest, ViewportsBelongToOneDevice) {
    Com<IDirect3DViewport2> loose;
    ASSERT_EQ(d3d->CreateViewport(loose.Put(), nullptr), D3D_OK);
    EXPECT_EQ(device->SetCurrentViewport(loose.Get()), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->DeleteViewport(loose.Get()), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->AddViewport(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->AddViewport(viewport.Get()), DDERR_INVALIDPARAMS);
    auto otherTarget = Target(8, 8);
    auto other = Device(otherTarget.Get());
    EXPECT_EQ(other->AddViewport(viewport.Get()), DDERR_INVALIDPARAMS);
    EXPECT_EQ(other->SetCurrentViewport(viewport.Get()), DDERR_INVALIDPARAMS);

    IDirect3DViewport2* current = nullptr;
    ASSERT_EQ(device->GetCurrentViewport(&current), D3D_OK);
    EXPECT_EQ(current, viewport.Get());
    current->Release();

    // Deleting the current viewport leaves the device without one.
    ASSERT_EQ(device->DeleteViewport(viewport.Get()), D3D_OK);
    EXPECT_EQ(device->GetCurrentViewport(&current), D3DERR_NOCURRENTVIEWPORT);
    EXPECT_EQ(current, nullptr);
    auto quad = Quad(0, 0, 8, 8, kRed);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad.data(), 4, 0),
              D3DERR_NOCURRENTVIEWPORT);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    D3DRECT whole = {0, 0, 8, 8};
    EXPECT_EQ(viewport->Clear(1, &whole, D3DCLEAR_TARGET), D3DERR_VIEWPORTHASNODEVICE);

    // Free again, it can go to the other device.
    EXPECT_EQ(other->AddViewport(viewport.Get()), D3D_OK);
}

TEST_F(DeviceTest, AViewportKeepsItsData) {
    Com<IDirect3DViewport2> fresh;
    ASSERT_EQ(d3d->CreateViewport(fresh.Put(), nullptr), D3D_OK);
    D3DVIEWPORT read = {};
    read.dwSize = sizeof read;
    EXPECT_EQ(fresh->GetViewport(&read), D3DERR_VIEWPORTDATANOTSET);

    D3DVIEWPORT data = ViewportData(1, 2, 3, 4);
    ASSERT_EQ(fresh->SetViewport(&data), D3D_OK);
    ASSERT_EQ(fresh->GetViewport(&read), D3D_OK);
    EXPECT_EQ(std::memcmp(&read, &data, sizeof data), 0);

    D3DVIEWPORT bad[] = {ViewportData(0, 0, 0, 4), ViewportData(0, 0, 4, 0),
                         ViewportData(0x7FFFFFFF, 0, 1, 1), ViewportData(0, 0xFFFFFFFF, 1, 1),
                         ViewportData(0, 0, 4, 4)};
    bad[4].dwSize = 40;
    for (D3DVIEWPORT& b : bad)
        EXPECT_EQ(fresh->SetViewport(&b), DDERR_INVALIDPARAMS);
    EXPECT_EQ(fresh->SetViewport(nullptr), DDERR_INVALIDPARAMS);
    ASSERT_EQ(fresh->GetViewport(&read), D3D_OK);
    EXPECT_EQ(read.dwWidth, 3u);
}

TEST_F(DeviceTest, DrawingStaysInsideTheViewport) {
    D3DVIEWPORT data = ViewportData(2, 3, 4, 2);
    ASSERT_EQ(viewport->SetViewport(&data), D3D_OK);
    ASSERT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, Quad(-100, -100, 100, 100, 0xFFFF0000)),
              D3D_OK);
    const auto pixels = Colours(target.Get());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
            EXPECT_EQ(pixels[y * 8 + x], inside ? kRed : 0u) << x << "," << y;
        }
}

TEST_F(DeviceTest, ClearFillsTheRectanglesInsideTheViewport) {
    auto white = Material(kWhiteValue);
    ASSERT_EQ(viewport->SetBackground(HandleOf(white.Get(), device.Get())), D3D_OK);
    D3DVIEWPORT data = ViewportData(1, 1, 6, 6);
    ASSERT_EQ(viewport->SetViewport(&data), D3D_OK);
    // One rectangle reaching out of the viewport, one inside, one outside.
    D3DRECT rects[] = {{-5, -5, 3, 3}, {5, 5, 6, 7}, {7, 0, 8, 8}};
    ASSERT_EQ(viewport->Clear(3, rects, D3DCLEAR_TARGET), D3D_OK);
    const auto pixels = Colours(target.Get());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool first = x >= 1 && x < 3 && y >= 1 && y < 3;
            const bool second = x == 5 && y >= 5 && y < 7;
            EXPECT_EQ(pixels[y * 8 + x], first || second ? kWhite : 0u) << x << "," << y;
        }
}

TEST_F(DeviceTest, ClearUsesTheBackgroundsDiffuseColour) {
    struct Case {
        const char* name;
        D3DCOLORVALUE diffuse;
        uint32_t expected;
    };
    const Case cases[] = {
        {"white", kWhiteValue, kWhite},
        {"green", {0, 1, 0, 1}, kGreen},
        {"clamped", {2, -1, 0.5f, 1}, 0xFF0080},
        {"not a number", {NAN, 0, 1, 1}, kBlue},
    };
    D3DRECT whole = {0, 0, 8, 8};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto material = Material(c.diffuse);
        ASSERT_EQ(viewport->SetBackground(HandleOf(material.Get(), device.Get())), D3D_OK);
        ASSERT_EQ(viewport->Clear(1, &whole, D3DCLEAR_TARGET), D3D_OK);
        EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(64, c.expected));
    }
    // Without a background, or once it is released, the clear is black.
    ASSERT_EQ(viewport->SetBackground(0), D3D_OK);
    ASSERT_EQ(viewport->Clear(1, &whole, D3DCLEAR_TARGET), D3D_OK);
    EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(64, 0));
    {
        auto green = Material({0, 1, 0, 1});
        ASSERT_EQ(viewport->SetBackground(HandleOf(green.Get(), device.Get())), D3D_OK);
    }
    WritePixels(target.Get(), 4, std::vector<uint32_t>(64, kRed));
    ASSERT_EQ(viewport->Clear(1, &whole, D3DCLEAR_TARGET), D3D_OK);
    EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(64, 0));
    D3DMATERIALHANDLE handle = 1;
    BOOL valid = FALSE;
    ASSERT_EQ(viewport->GetBackground(&handle, &valid), D3D_OK);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(valid, TRUE);
}

TEST_F(DeviceTest, ClearRefusesBadArguments) {
    D3DRECT whole = {0, 0, 8, 8};
    EXPECT_EQ(viewport->Clear(1, &whole, 0x4), DDERR_INVALIDPARAMS);
    EXPECT_EQ(viewport->Clear(1, nullptr, D3DCLEAR_TARGET), DDERR_INVALIDPARAMS);
    EXPECT_EQ(viewport->Clear(0, nullptr, D3DCLEAR_TARGET), D3D_OK);
    EXPECT_EQ(viewport->SetBackground(12345), DDERR_INVALIDPARAMS);
    EXPECT_EQ(viewport->GetBackground(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DeviceTest, DepthIsTestedAtEveryDepthOfZBuffer) {
    for (DWORD depth : {16u, 24u, 32u}) {
        SCOPED_TRACE(depth);
        auto surface = Target(8, 8, depth);
        auto d = Device(surface.Get());
        auto v = Viewport(d.Get());
        D3DRECT whole = {0, 0, 8, 8};
        ASSERT_EQ(v->Clear(1, &whole, D3DCLEAR_ZBUFFER), D3D_OK);
        // Near over the left half, then far over all of it; then a nearer
        // one that only just passes over the right half.
        ASSERT_EQ(d->BeginScene(), D3D_OK);
        for (const auto& quad : {Quad(0, 0, 4, 8, 0xFFFF0000, 0.25f),
                                 Quad(0, 0, 8, 8, 0xFF00FF00, 0.75f),
                                 Quad(4, 0, 8, 8, 0xFF0000FF, 0.7499f)}) {
            auto copy = quad;
            ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, copy.data(), 4, 0),
                      D3D_OK);
        }
        ASSERT_EQ(d->EndScene(), D3D_OK);
        EXPECT_EQ(ColourAt(surface.Get(), 1, 4), kRed);
        EXPECT_EQ(ColourAt(surface.Get(), 6, 4), kBlue);
    }
}

TEST_F(DeviceTest, ClearingTheZBufferPutsItAtTheFarPlane) {
    // The far plane is the largest value of the buffer's significant bits;
    // 24- and 32-bit buffers keep 24 of them in 32-bit words.
    struct Case {
        DWORD depth;
        int bytes;
        uint32_t far;
    };
    for (const Case& c : {Case{16, 2, 0xFFFF}, Case{24, 4, 0xFFFFFF}, Case{32, 4, 0xFFFFFF}}) {
        SCOPED_TRACE(c.depth);
        auto [surface, z] = TargetAndZBuffer(4, 4, c.depth);
        auto d = Device(surface.Get());
        auto v = Viewport(d.Get());
        D3DRECT part = {0, 0, 2, 4};
        ASSERT_EQ(v->Clear(1, &part, D3DCLEAR_ZBUFFER), D3D_OK);
        const auto depths = ReadPixels(z.Get(), c.bytes);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(depths[i], i % 4 < 2 ? c.far : 0u) << i;
        EXPECT_EQ(Colours(surface.Get()), std::vector<uint32_t>(16, 0));
    }
}

TEST_F(DeviceTest, OtherTargetFormatsAreDrawnInto) {
    struct Case {
        const char* name;
        DDPIXELFORMAT format;
        int bytes;
        uint32_t red;
    };
    const Case cases[] = {
        {"565", kRgb565, 2, 0xF800},
        {"555", kXrgb1555, 2, 0x7C00},
        {"palettised", kPalette8, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto surface = Target(4, 4, 0, c.format);
        auto d = Device(surface.Get());
        auto v = Viewport(d.Get());
        if (c.bytes == 1) {
            ASSERT_EQ(DrawScene(d.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 4, 4, 0xFFFF0000)),
                      DDERR_NOPALETTEATTACHED);
            auto palette = Palette({{0, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {250, 0, 0, 0}});
            ASSERT_EQ(surface->SetPalette(palette.Get()), DD_OK);
        }
        ASSERT_EQ(DrawScene(d.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 4, 4, 0xFFFF0000)), D3D_OK);
        EXPECT_EQ(ReadPixels(surface.Get(), c.bytes), std::vector<uint32_t>(16, c.red));
    }
}

TEST_F(DeviceTest, TheRampDeviceTakesIntensityFromBlue) {
    const D3DCOLOR colour = RGBA_MAKE(255, 0, 128, 255);
    const std::pair<GUID, uint32_t> cases[] = {
        {IID_IDirect3DRampDevice, 0x808080},
        {IID_IDirect3DRGBDevice, 0xFF0080},
    };
    for (const auto& [guid, expected] : cases) {
        auto surface = Target(4, 4, 0);
        auto d = Device(surface.Get(), guid);
        auto v = Viewport(d.Get());
        ASSERT_EQ(DrawScene(d.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 4, 4, colour)), D3D_OK);
        EXPECT_EQ(Colours(surface.Get()), std::vector<uint32_t>(16, expected));
        DWORD model = 0;
        ASSERT_EQ(d->GetLightState(D3DLIGHTSTATE_COLORMODEL, &model), D3D_OK);
        EXPECT_EQ(model, IsEqualGUID(guid, IID_IDirect3DRampDevice) ? D3DCOLOR_MONO : D3DCOLOR_RGB);
        EXPECT_EQ(d->SetLightState(D3DLIGHTSTATE_COLORMODEL, model ^ 3), DDERR_INVALIDPARAMS);
    }
}

TEST_F(DeviceTest, LostSurfacesAreNotDrawnInto) {
    auto [depthTarget, z] = TargetAndZBuffer(8, 8);
    auto d = Device(depthTarget.Get());
    auto v = Viewport(d.Get());
    D3DRECT whole = {0, 0, 8, 8};
    for (IDirectDrawSurface* lost : {depthTarget.Get(), z.Get()}) {
        ASSERT_EQ(Lose(lost), DD_OK);
        EXPECT_EQ(DrawScene(d.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 8, 8)), DDERR_SURFACELOST);
        EXPECT_EQ(v->Clear(1, &whole, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), DDERR_SURFACELOST);
        ASSERT_EQ(lost->Restore(), DD_OK);
    }
    // Restored memory is drawn into where it now is.
    ClearDepth(v.Get());
    EXPECT_EQ(DrawScene(d.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 8, 8, 0xFFFF0000)), D3D_OK);
    EXPECT_EQ(Colours(depthTarget.Get()), std::vector<uint32_t>(64, kRed));
}

TEST_F(DeviceTest, ADeviceHoldsItsTarget) {
    auto surface = Target(4, 4);
    IDirectDrawSurface* raw = surface.Get();
    auto d = Device(raw);
    surface.Reset();
    // Still drawable: the device's reference keeps it.
    auto v = Viewport(d.Get());
    EXPECT_EQ(DrawScene(d.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 4, 4, 0xFFFF0000)), D3D_OK);
    raw->AddRef();
    EXPECT_EQ(raw->Release(), 1u);
}

} // namespace
