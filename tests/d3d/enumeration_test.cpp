// What Direct3D reports of its devices and their texture formats, and which
// surfaces a device can be made on.
#include "d3d_test.h"

#include <cstring>

namespace {

struct DeviceRecord {
    GUID guid;
    std::string description;
    std::string name;
    D3DDEVICEDESC hardware;
    D3DDEVICEDESC software;
};

HRESULT CALLBACK RecordDevice(GUID* guid, LPSTR description, LPSTR name,
                              LPD3DDEVICEDESC hardware, LPD3DDEVICEDESC software, LPVOID context) {
    auto* records = static_cast<std::vector<DeviceRecord>*>(context);
    records->push_back({*guid, description, name, *hardware, *software});
    // Scribbles on what it was given, which must change nothing for the next.
    std::memset(name, 'x', std::strlen(name));
    std::memset(software, 0xFF, sizeof *software);
    return D3DENUMRET_OK;
}

HRESULT CALLBACK CancelAfterOne(GUID*, LPSTR, LPSTR, LPD3DDEVICEDESC, LPD3DDEVICEDESC,
                                LPVOID context) {
    ++*static_cast<int*>(context);
    return D3DENUMRET_CANCEL;
}

HRESULT CALLBACK RecordFormat(LPDDSURFACEDESC desc, LPVOID context) {
    static_cast<std::vector<DDSURFACEDESC>*>(context)->push_back(*desc);
    return D3DENUMRET_OK;
}

HRESULT CALLBACK CancelFormats(LPDDSURFACEDESC, LPVOID context) {
    ++*static_cast<int*>(context);
    return D3DENUMRET_CANCEL;
}

bool AllZeroButSize(const D3DDEVICEDESC& desc) {
    D3DDEVICEDESC empty = {};
    empty.dwSize = sizeof empty;
    return std::memcmp(&desc, &empty, sizeof desc) == 0;
}

class Enumeration : public Direct3DTest {
protected:
    std::vector<DeviceRecord> Devices() {
        std::vector<DeviceRecord> records;
        EXPECT_EQ(d3d->EnumDevices(RecordDevice, &records), D3D_OK);
        return records;
    }
};

TEST_F(Enumeration, TheSoftwareDevicesComeInTheirFallbackOrder) {
    const auto records = Devices();
    ASSERT_EQ(records.size(), 3u);
    const GUID guids[] = {IID_IDirect3DMMXDevice, IID_IDirect3DRGBDevice, IID_IDirect3DRampDevice};
    const char* names[] = {"MMX Emulation", "RGB Emulation", "Ramp Emulation"};
    const D3DCOLORMODEL models[] = {D3DCOLOR_RGB, D3DCOLOR_RGB, D3DCOLOR_MONO};
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const DeviceRecord& r = records[i];
        EXPECT_EQ(r.guid, guids[i]);
        EXPECT_EQ(r.name, names[i]);
        EXPECT_FALSE(r.description.empty());
        EXPECT_TRUE(AllZeroButSize(r.hardware));
        EXPECT_EQ(r.software.dwSize, 204u);
        EXPECT_EQ(r.software.dcmColorModel, models[i]);
        EXPECT_EQ(r.software.dwDeviceZBufferBitDepth, DDBD_16 | DDBD_24 | DDBD_32);
        EXPECT_EQ(r.software.dwDeviceRenderBitDepth, DDBD_8 | DDBD_16 | DDBD_32);
        EXPECT_NE(r.software.dwFlags & D3DDD_COLORMODEL, 0u);
        EXPECT_NE(r.software.dwFlags & D3DDD_DEVICEZBUFFERBITDEPTH, 0u);
        EXPECT_NE(r.software.dwDevCaps & D3DDEVCAPS_DRAWPRIMTLVERTEX, 0u);
        EXPECT_EQ(r.software.dpcTriCaps.dwTextureFilterCaps,
                  D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR);
    }
    // The MMX device names the vector unit it runs on.
    EXPECT_TRUE(records[0].description.find("SSE2") != std::string::npos ||
                records[0].description.find("AVX2") != std::string::npos)
        << records[0].description;
    EXPECT_NE(records[1].description.find("scalar"), std::string::npos);
}

TEST_F(Enumeration, ADeviceDescribesItselfAsItWasEnumerated) {
    const auto records = Devices();
    auto target = Target(8, 8);
    for (const DeviceRecord& r : records) {
        SCOPED_TRACE(r.name);
        auto device = Device(target.Get(), r.guid);
        ASSERT_TRUE(device);
        D3DDEVICEDESC hardware = {}, software = {};
        hardware.dwSize = software.dwSize = sizeof(D3DDEVICEDESC);
        ASSERT_EQ(device->GetCaps(&hardware, &software), D3D_OK);
        EXPECT_TRUE(AllZeroButSize(hardware));
        EXPECT_EQ(std::memcmp(&software, &r.software, sizeof software), 0);
        software.dwSize = 100;
        EXPECT_EQ(device->GetCaps(&hardware, &software), DDERR_INVALIDPARAMS);
        EXPECT_EQ(device->GetCaps(nullptr, &software), DDERR_INVALIDPARAMS);
    }
}

TEST_F(Enumeration, CallbacksStopTheEnumerationsWhenTheyCancel) {
    int devices = 0;
    EXPECT_EQ(d3d->EnumDevices(CancelAfterOne, &devices), D3D_OK);
    EXPECT_EQ(devices, 1);
    EXPECT_EQ(d3d->EnumDevices(nullptr, nullptr), DDERR_INVALIDPARAMS);

    auto target = Target(8, 8);
    auto device = Device(target.Get());
    int formats = 0;
    EXPECT_EQ(device->EnumTextureFormats(CancelFormats, &formats), D3D_OK);
    EXPECT_EQ(formats, 1);
    EXPECT_EQ(device->EnumTextureFormats(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Enumeration, EveryTextureFormatOfferedIsSampled) {
    auto target = Target(4, 4, 0);
    auto device = Device(target.Get());
    auto viewport = Viewport(device.Get());
    std::vector<DDSURFACEDESC> offered;
    ASSERT_EQ(device->EnumTextureFormats(RecordFormat, &offered), D3D_OK);

    struct Expected {
        DDPIXELFORMAT format;
        // A pixel of that format that means pure red, and its byte count.
        uint32_t red;
        int bytes;
    };
    const Expected expected[] = {
        {kPalette8, 7, 1},
        {kRgb565, 0xF800, 2},
        {kXrgb1555, 0x7C00, 2},
        {kArgb1555, 0xFC00, 2},
        {kRgb888, 0xFF0000, 3},
        {kXrgb8888, 0xFF0000, 4},
        {kArgb8888, 0xFFFF0000, 4},
    };
    ASSERT_EQ(offered.size(), std::size(expected));
    auto palette = Palette({{0, 0, 0, 0}, {}, {}, {}, {}, {}, {}, {255, 0, 0, 0}});
    for (size_t i = 0; i < offered.size(); ++i) {
        SCOPED_TRACE(i);
        const DDSURFACEDESC& desc = offered[i];
        EXPECT_EQ(desc.dwSize, 108u);
        EXPECT_EQ(desc.dwFlags, DDSD_CAPS | DDSD_PIXELFORMAT);
        EXPECT_EQ(desc.ddsCaps.dwCaps, DDSCAPS_TEXTURE);
        EXPECT_EQ(std::memcmp(&desc.ddpfPixelFormat, &expected[i].format, sizeof(DDPIXELFORMAT)),
                  0);

        auto texture = TextureSurface(2, 2, desc.ddpfPixelFormat);
        ASSERT_TRUE(texture);
        if (expected[i].bytes == 1) {
            ASSERT_EQ(texture->SetPalette(palette.Get()), DD_OK);
        }
        WritePixels(texture.Get(), expected[i].bytes, std::vector<uint32_t>(4, expected[i].red));
        const D3DTEXTUREHANDLE handle = HandleOf(texture.Get(), device.Get());
        ASSERT_NE(handle, 0u);
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, handle), D3D_OK);
        ASSERT_EQ(DrawScene(device.Get(), D3DPT_TRIANGLEFAN, Quad(0, 0, 4, 4)), D3D_OK);
        EXPECT_EQ(Colours(target.Get()), std::vector<uint32_t>(16, 0xFF0000));
        WritePixels(target.Get(), 4, std::vector<uint32_t>(16, 0));
    }
}

TEST_F(Enumeration, SurfacesADeviceCannotBeMadeOn) {
    struct Case {
        const char* name;
        GUID guid;
        Com<IDirectDrawSurface> surface;
        HRESULT result;
    };
    auto lost = Target(8, 8);
    ASSERT_EQ(Lose(lost.Get()), DD_OK);
    auto deep = Offscreen(8, 8, &kXrgb8888, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    auto ownZ = ZBuffer(8, 8, 24);
    ASSERT_EQ(deep->AddAttachedSurface(ownZ.Get()), DD_OK);
    const GUID unknown = {0x12345678, 0, 0, {}};
    Case cases[] = {
        {"unknown device", unknown, Target(8, 8), D3DERR_INVALID_DEVICE},
        {"no 3D caps", IID_IDirect3DMMXDevice, Offscreen(8, 8, &kXrgb8888), DDERR_INVALIDCAPS},
        {"no surface", IID_IDirect3DRGBDevice, nullptr, DDERR_INVALIDPARAMS},
        {"a texture", IID_IDirect3DRGBDevice, TextureSurface(8, 8, kXrgb8888), DDERR_INVALIDCAPS},
        {"24-bit target", IID_IDirect3DMMXDevice, Target(8, 8, 16, kRgb888),
         DDERR_INVALIDPIXELFORMAT},
        {"alpha target", IID_IDirect3DMMXDevice, Target(8, 8, 16, kArgb8888),
         DDERR_INVALIDPIXELFORMAT},
        {"blue-first target", IID_IDirect3DRampDevice, Target(8, 8, 16, kXbgr8888),
         DDERR_INVALIDPIXELFORMAT},
        {"lost target", IID_IDirect3DMMXDevice, lost, DDERR_SURFACELOST},
        {"24-bit Z buffer", IID_IDirect3DMMXDevice, deep, D3D_OK},
        {"32-bit Z buffer", IID_IDirect3DRGBDevice, Target(8, 8, 32), D3D_OK},
        {"565 target", IID_IDirect3DRGBDevice, Target(8, 8, 16, kRgb565), D3D_OK},
        {"555 target", IID_IDirect3DRampDevice, Target(8, 8, 16, kXrgb1555), D3D_OK},
        {"palettised target", IID_IDirect3DMMXDevice, Target(8, 8, 16, kPalette8), D3D_OK},
        {"no Z buffer", IID_IDirect3DMMXDevice, Target(8, 8, 0), D3D_OK},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DDevice2* device = reinterpret_cast<IDirect3DDevice2*>(&c);
        EXPECT_EQ(d3d->CreateDevice(c.guid, c.surface.Get(), &device), c.result);
        EXPECT_EQ(device != nullptr, c.result == D3D_OK);
        if (device != nullptr)
            device->Release();
    }
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DMMXDevice, deep.Get(), nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Enumeration, ObjectsAreNotAggregated) {
    IDirect3DMaterial2* material = nullptr;
    IDirect3DViewport2* viewport = nullptr;
    EXPECT_EQ(d3d->CreateMaterial(&material, d3d.Get()), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(d3d->CreateViewport(&viewport, d3d.Get()), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(material, nullptr);
    EXPECT_EQ(viewport, nullptr);
    EXPECT_EQ(d3d->CreateMaterial(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Enumeration, Direct3DKeepsItsDirectDrawAlive) {
    IDirectDraw* raw = directDraw.Get();
    raw->AddRef();
    const ULONG withDirect3D = raw->Release();
    d3d.Reset();
    raw->AddRef();
    EXPECT_EQ(raw->Release(), withDirect3D - 1);
}

} // namespace
