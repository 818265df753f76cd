// Retained-mode devices: wrapping the Immediate Mode device, the settings
// the program gives them, and bad calls.
#include "retained_test.h"

#include <functional>

namespace {

using zv::d3drm::Device;
using zv::d3drm::LiveObject;

class Devices : public RetainedMode {};

TEST_F(Devices, HoldTheImmediateModeObjectsUntilReleased) {
    IDirect3DRMDevice2* created = NewDevice();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(d3d.references, 2u);
    EXPECT_EQ(device.references, 2u);
    EXPECT_EQ(Concrete(created).Direct3D(), &d3d);
    EXPECT_EQ(Concrete(created).Direct3DDevice(), &device);

    void* asDevice = nullptr;
    EXPECT_EQ(created->QueryInterface(IID_IDirect3DRMDevice, &asDevice), S_OK);
    EXPECT_EQ(asDevice, static_cast<IDirect3DRMDevice*>(created));
    created->Release();
    EXPECT_EQ(created->Release(), 0u);
}

TEST_F(Devices, KeepEachValidSettingAndRefuseTheRest) {
    struct Reading {
        DWORD bufferCount, shades;
        D3DRMTEXTUREQUALITY textureQuality;
        D3DRMRENDERQUALITY quality;
        BOOL dither;
        bool operator==(const Reading&) const = default;
    };
    const Reading defaults = {1, 32, D3DRMTEXTURE_NEAREST, D3DRMRENDER_FLAT, TRUE};
    struct Case {
        const char* what;
        std::function<HRESULT(IDirect3DRMDevice2*)> set;
        HRESULT result;
        Reading after;
    };
    auto with = [&](auto change) {
        Reading r = defaults;
        change(r);
        return r;
    };
    const Case cases[] = {
        {"two buffers", [](auto d) { return d->SetBufferCount(2); }, D3DRM_OK,
         with([](Reading& r) { r.bufferCount = 2; })},
        {"no buffer", [](auto d) { return d->SetBufferCount(0); }, D3DRMERR_BADVALUE, defaults},
        {"16 shades", [](auto d) { return d->SetShades(16); }, D3DRM_OK,
         with([](Reading& r) { r.shades = 16; })},
        {"one shade", [](auto d) { return d->SetShades(1); }, D3DRM_OK,
         with([](Reading& r) { r.shades = 1; })},
        {"no shades", [](auto d) { return d->SetShades(0); }, D3DRMERR_BADVALUE, defaults},
        {"shades not a power of two", [](auto d) { return d->SetShades(24); }, D3DRMERR_BADVALUE,
         defaults},
        {"linear textures", [](auto d) { return d->SetTextureQuality(D3DRMTEXTURE_LINEAR); },
         D3DRM_OK, with([](Reading& r) { r.textureQuality = D3DRMTEXTURE_LINEAR; })},
        {"last texture quality",
         [](auto d) { return d->SetTextureQuality(D3DRMTEXTURE_LINEARMIPLINEAR); }, D3DRM_OK,
         with([](Reading& r) { r.textureQuality = D3DRMTEXTURE_LINEARMIPLINEAR; })},
        {"unknown texture quality",
         [](auto d) { return d->SetTextureQuality(static_cast<D3DRMTEXTUREQUALITY>(6)); },
         D3DRMERR_BADVALUE, defaults},
        {"Gouraud", [](auto d) { return d->SetQuality(D3DRMRENDER_GOURAUD); }, D3DRM_OK,
         with([](Reading& r) { r.quality = 137; })},
        {"unlit wireframe Phong",
         [](auto d) { return d->SetQuality(D3DRMSHADE_PHONG | D3DRMFILL_WIREFRAME); }, D3DRM_OK,
         with([](Reading& r) { r.quality = 0x42; })},
        {"unknown shade mode", [](auto d) { return d->SetQuality(3 | D3DRMFILL_SOLID); },
         D3DRMERR_BADVALUE, defaults},
        {"unknown light mode", [](auto d) { return d->SetQuality(0x10 | D3DRMFILL_SOLID); },
         D3DRMERR_BADVALUE, defaults},
        {"unknown fill mode", [](auto d) { return d->SetQuality(0xC0); }, D3DRMERR_BADVALUE,
         defaults},
        {"bits beyond the modes", [](auto d) { return d->SetQuality(D3DRMRENDER_FLAT | 0x200); },
         D3DRMERR_BADVALUE, defaults},
        {"dither off", [](auto d) { return d->SetDither(FALSE); }, D3DRM_OK,
         with([](Reading& r) { r.dither = FALSE; })},
        {"any true value is TRUE", [](auto d) { return d->SetDither(5); }, D3DRM_OK, defaults},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IDirect3DRMDevice2* created = NewDevice();
        EXPECT_EQ(c.set(created), c.result);
        const Device& d = Concrete(created);
        Reading now = {d.BufferCount(), d.Shades(), d.TextureQuality(), d.Quality(), d.Dither()};
        EXPECT_EQ(now, c.after);
        created->Release();
    }
}

TEST_F(Devices, BadCreationsAreRefusedWithoutHarm) {
    ForeignDevice stale;
    IDirect3DRMDevice2* created = &stale;
    EXPECT_EQ(rm->CreateDeviceFromD3D(&d3d, &device, nullptr), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm->CreateDeviceFromD3D(nullptr, &device, &created), D3DRMERR_BADOBJECT);
    EXPECT_EQ(created, nullptr);
    created = &stale;
    EXPECT_EQ(rm->CreateDeviceFromD3D(&d3d, nullptr, &created), D3DRMERR_BADOBJECT);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(LiveObject::Count(), 1);
}

TEST_F(Devices, UpdateWithNothingForcedBringsNothingUpToDate) {
    IDirect3DRMDevice2* created = NewDevice();
    EXPECT_EQ(created->Update(), D3DRM_OK);
    EXPECT_EQ(Concrete(created).LastUpdate(), (D3DRECT{}));
    created->Release();
}

} // namespace
