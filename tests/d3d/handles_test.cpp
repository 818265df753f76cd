// Materials and textures as devices refer to them: by handles that stay the
// same for the object's life and stop working when it goes.
#include "d3d_test.h"

#include <cstring>

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

class Handles : public Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        target = Target(4, 4, 0);
        device = Device(target.Get());
        viewport = Viewport(device.Get());
        otherTarget = Target(4, 4, 0);
        other = Device(otherTarget.Get());
    }

    // A 1 x 1 texture of one colour.
    Com<IDirectDrawSurface> Texture(uint32_t colour) {
        auto texture = TextureSurface(1, 1, kXrgb8888);
        WritePixels(texture.Get(), 4, {colour});
        return texture;
    }

    HRESULT Select(D3DTEXTUREHANDLE handle) {
        return device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, handle);
    }

    // What a white quad looks like in the middle of the target.
    uint32_t Drawn() {
        EXPECT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 4, 4)), D3D_OK);
        return ColourAt(target.Get(), 2, 2);
    }

    Com<IDirectDrawSurface> target, otherTarget;
    Com<IDirect3DDevice2> device, other;
    Com<IDirect3DViewport2> viewport;
};

TEST_F(Handles, AMaterialKeepsItsDescription) {
    Com<IDirect3DMaterial2> material;
    ASSERT_EQ(d3d->CreateMaterial(material.Put(), nullptr), D3D_OK);
    D3DMATERIAL read = {};
    read.dwSize = sizeof read;
    ASSERT_EQ(material->GetMaterial(&read), D3D_OK);
    D3DMATERIAL empty = {};
    empty.dwSize = sizeof empty;
    EXPECT_EQ(std::memcmp(&read, &empty, sizeof read), 0);

    D3DMATERIAL written = MaterialOf({0.1f, 0.2f, 0.3f, 0.4f});
    written.power = 5;
    written.hTexture = 77;
    written.dwRampSize = 32;
    ASSERT_EQ(material->SetMaterial(&written), D3D_OK);
    ASSERT_EQ(material->GetMaterial(&read), D3D_OK);
    EXPECT_EQ(std::memcmp(&read, &written, sizeof read), 0);

    D3DMATERIAL wrongSize = written;
    wrongSize.dwSize = 76;
    EXPECT_EQ(material->SetMaterial(&wrongSize), DDERR_INVALIDPARAMS);
    EXPECT_EQ(material->GetMaterial(&wrongSize), DDERR_INVALIDPARAMS);
    EXPECT_EQ(material->SetMaterial(nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Handles, MaterialHandlesArePerDeviceAndStable) {
    auto material = Material({1, 1, 1, 1});
    const D3DMATERIALHANDLE mine = HandleOf(material.Get(), device.Get());
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(HandleOf(material.Get(), device.Get()), mine);
    const D3DMATERIALHANDLE theirs = HandleOf(material.Get(), other.Get());
    EXPECT_NE(theirs, mine);
    D3DMATERIALHANDLE handle = 0;
    EXPECT_EQ(material->GetHandle(nullptr, &handle), DDERR_INVALIDPARAMS);
    EXPECT_EQ(material->GetHandle(device.Get(), nullptr), DDERR_INVALIDPARAMS);

    ASSERT_EQ(device->SetLightState(D3DLIGHTSTATE_MATERIAL, mine), D3D_OK);
    DWORD selected = 0;
    ASSERT_EQ(device->GetLightState(D3DLIGHTSTATE_MATERIAL, &selected), D3D_OK);
    EXPECT_EQ(selected, mine);
    EXPECT_EQ(device->SetLightState(D3DLIGHTSTATE_MATERIAL, theirs), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetLightState(D3DLIGHTSTATE_MATERIAL, 0xBAD), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetLightState(D3DLIGHTSTATE_MATERIAL, 0), D3D_OK);

    material.Reset();
    EXPECT_EQ(device->SetLightState(D3DLIGHTSTATE_MATERIAL, mine), DDERR_INVALIDPARAMS);
    EXPECT_EQ(viewport->SetBackground(mine), DDERR_INVALIDPARAMS);
}

TEST_F(Handles, LightStatesAreKeptAndUnknownOnesRefused) {
    ASSERT_EQ(device->SetLightState(D3DLIGHTSTATE_AMBIENT, 0x00404040), D3D_OK);
    DWORD value = 0;
    ASSERT_EQ(device->GetLightState(D3DLIGHTSTATE_AMBIENT, &value), D3D_OK);
    EXPECT_EQ(value, 0x00404040u);
    for (DWORD unknown : {0u, 8u, 1000u}) {
        const auto state = static_cast<D3DLIGHTSTATETYPE>(unknown);
        EXPECT_EQ(device->SetLightState(state, 1), DDERR_INVALIDPARAMS);
        EXPECT_EQ(device->GetLightState(state, &value), DDERR_INVALIDPARAMS);
    }
    EXPECT_EQ(device->GetLightState(D3DLIGHTSTATE_AMBIENT, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Handles, TextureHandlesArePerDeviceAndStable) {
    auto red = Texture(0xFF0000);
    const D3DTEXTUREHANDLE mine = HandleOf(red.Get(), device.Get());
    EXPECT_NE(mine, 0u);
    // A new texture interface of the same surface gives the same handle.
    EXPECT_EQ(HandleOf(red.Get(), device.Get()), mine);
    const D3DTEXTUREHANDLE theirs = HandleOf(red.Get(), other.Get());
    EXPECT_NE(theirs, mine);

    EXPECT_EQ(Select(theirs), DDERR_INVALIDPARAMS);
    EXPECT_EQ(Select(0xBAD), DDERR_INVALIDPARAMS);
    DWORD selected = 1;
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, &selected), D3D_OK);
    EXPECT_EQ(selected, 0u);
    ASSERT_EQ(Select(mine), D3D_OK);
    EXPECT_EQ(Drawn(), kRed);
    ASSERT_EQ(Select(0), D3D_OK);
    EXPECT_EQ(Drawn(), 0xFFFFFFu);
}

TEST_F(Handles, AReleasedTextureLosesItsHandle) {
    auto red = Texture(0xFF0000);
    const D3DTEXTUREHANDLE handle = HandleOf(red.Get(), device.Get());
    ASSERT_EQ(Select(handle), D3D_OK);
    EXPECT_EQ(Drawn(), kRed);

    // Released while selected: the next draw shows the vertices' own colour
    // and the handle is no longer taken.
    red.Reset();
    EXPECT_EQ(Drawn(), 0xFFFFFFu);
    EXPECT_EQ(Select(handle), DDERR_INVALIDPARAMS);

    // A new texture, wherever it lands in memory, gets a new handle.
    auto green = Texture(0x00FF00);
    const D3DTEXTUREHANDLE next = HandleOf(green.Get(), device.Get());
    EXPECT_NE(next, handle);
    ASSERT_EQ(Select(next), D3D_OK);
    EXPECT_EQ(Drawn(), kGreen);
}

TEST_F(Handles, ATextureOutlivesADeviceThatHadAHandle) {
    auto red = Texture(0xFF0000);
    const D3DTEXTUREHANDLE handle = HandleOf(red.Get(), other.Get());
    IDirectDrawSurface* raw = red.Get();
    other.Reset();
    otherTarget.Reset();
    // The handle went with the device, and so did its reference.
    raw->AddRef();
    EXPECT_EQ(raw->Release(), 1u);
    EXPECT_EQ(Select(handle), DDERR_INVALIDPARAMS);
}

TEST_F(Handles, OnlyTextureSurfacesInSampledFormatsAreTextures) {
    Com<IDirect3DTexture2> texture;
    auto plain = Offscreen(2, 2, &kXrgb8888);
    EXPECT_EQ(plain->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(texture.Put())),
              E_NOINTERFACE);
    EXPECT_FALSE(texture);

    for (const DDPIXELFORMAT& format : {kXbgr8888, kRgb332}) {
        auto odd = TextureSurface(2, 2, format);
        ASSERT_EQ(odd->QueryInterface(IID_IDirect3DTexture2,
                                      reinterpret_cast<void**>(texture.Put())),
                  S_OK);
        D3DTEXTUREHANDLE handle = 0;
        EXPECT_EQ(texture->GetHandle(device.Get(), &handle), D3DERR_TEXTURE_NO_SUPPORT);
        EXPECT_EQ(texture->GetHandle(nullptr, &handle), DDERR_INVALIDPARAMS);
    }

    // The texture interface leads back to its surface.
    auto red = Texture(0xFF0000);
    ASSERT_EQ(red->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(texture.Put())),
              S_OK);
    Com<IDirectDrawSurface> back;
    ASSERT_EQ(texture->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(back.Put())),
              S_OK);
    EXPECT_EQ(back.Get(), red.Get());
    Com<IUnknown> identity, surfaceIdentity;
    ASSERT_EQ(texture->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.Put())), S_OK);
    ASSERT_EQ(red->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(surfaceIdentity.Put())),
              S_OK);
    EXPECT_EQ(identity.Get(), surfaceIdentity.Get());
}

TEST_F(Handles, APalettisedTextureShowsItsPaletteAsItIsAtDrawTime) {
    auto texture = TextureSurface(1, 1, kPalette8);
    WritePixels(texture.Get(), 1, {1});
    auto palette = Palette({{0, 0, 0, 0}, {255, 0, 0, 0}});
    ASSERT_EQ(texture->SetPalette(palette.Get()), DD_OK);
    ASSERT_EQ(Select(HandleOf(texture.Get(), device.Get())), D3D_OK);
    EXPECT_EQ(Drawn(), kRed);

    PALETTEENTRY blue = {0, 0, 255, 0};
    ASSERT_EQ(palette->SetEntries(0, 1, 1, &blue), DD_OK);
    EXPECT_EQ(Drawn(), kBlue);

    auto green = Palette({{0, 0, 0, 0}, {0, 255, 0, 0}});
    ASSERT_EQ(texture->SetPalette(green.Get()), DD_OK);
    EXPECT_EQ(Drawn(), kGreen);

    // Without any palette the texture has no colours: the vertices show.
    ASSERT_EQ(texture->SetPalette(nullptr), DD_OK);
    EXPECT_EQ(Drawn(), 0xFFFFFFu);

    // A palette made once the last one drawn with is gone, likely in its
    // place, is a palette of its own.
    green.Reset();
    auto red = Palette({{0, 0, 0, 0}, {255, 0, 0, 0}});
    ASSERT_EQ(texture->SetPalette(red.Get()), DD_OK);
    EXPECT_EQ(Drawn(), kRed);
}

TEST_F(Handles, ALostTextureIsNotSampled) {
    auto red = Texture(0xFF0000);
    ASSERT_EQ(Select(HandleOf(red.Get(), device.Get())), D3D_OK);
    ASSERT_EQ(Lose(red.Get()), DD_OK);
    EXPECT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 4, 4)), DDERR_SURFACELOST);
    ASSERT_EQ(red->Restore(), DD_OK);
    WritePixels(red.Get(), 4, {0x0000FF});
    EXPECT_EQ(Drawn(), kBlue);
}

Com<IDirect3DTexture2> TextureOf(IDirectDrawSurface* surface) {
    Com<IDirect3DTexture2> texture;
    EXPECT_EQ(surface->QueryInterface(IID_IDirect3DTexture2,
                                      reinterpret_cast<void**>(texture.Put())),
              S_OK);
    return texture;
}

TEST_F(Handles, LoadCopiesPixelsAndPalette) {
    auto source = TextureSurface(2, 2, kPalette8);
    WritePixels(source.Get(), 1, {1, 2, 3, 1});
    auto palette = Palette({{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}});
    ASSERT_EQ(source->SetPalette(palette.Get()), DD_OK);
    auto destination = TextureSurface(2, 2, kPalette8, DDSCAPS_VIDEOMEMORY);

    ASSERT_EQ(TextureOf(destination.Get())->Load(TextureOf(source.Get()).Get()), D3D_OK);
    EXPECT_EQ(ReadPixels(destination.Get(), 1), (std::vector<uint32_t>{1, 2, 3, 1}));
    // The destination's palette is its own copy.
    PALETTEENTRY white = {255, 255, 255, 0};
    ASSERT_EQ(palette->SetEntries(0, 2, 1, &white), DD_OK);
    auto shown = Target(2, 2, 0);
    auto d = Device(shown.Get());
    auto v = Viewport(d.Get());
    ASSERT_EQ(d->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, HandleOf(destination.Get(), d.Get())),
              D3D_OK);
    ASSERT_EQ(DrawScene(d.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 2, 2)), D3D_OK);
    EXPECT_EQ(Colours(shown.Get()), (std::vector<uint32_t>{kRed, kGreen, kBlue, kRed}));
}

TEST_F(Handles, LoadRefusesTexturesThatDoNotMatch) {
    auto destination = TextureSurface(2, 2, kXrgb8888);
    auto texture = TextureOf(destination.Get());
    struct Case {
        const char* name;
        Com<IDirectDrawSurface> source;
        HRESULT result;
    };
    Case cases[] = {
        {"other size", TextureSurface(2, 3, kXrgb8888), DDERR_INVALIDPARAMS},
        {"other format", TextureSurface(2, 2, kRgb565), DDERR_INVALIDPARAMS},
        {"lost", TextureSurface(2, 2, kXrgb8888), DDERR_SURFACELOST},
    };
    ASSERT_EQ(Lose(cases[2].source.Get()), DD_OK);
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(texture->Load(TextureOf(c.source.Get()).Get()), c.result);
    }
    EXPECT_EQ(texture->Load(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(texture->Load(texture.Get()), D3D_OK);
}

} // namespace
