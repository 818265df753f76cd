// Device selection against a recording Direct3D that enumerates whatever
// devices a test lists, hardware ones included, and creates or refuses
// devices as told. The real module's software devices are at the end.
#include "fake_com.h"
#include "graphics_test.h"

#include <platform/testing.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// What HXPCleanup writes.
const std::string kCleanupLine = "HXP:Hexaplan Cleanup\n";

constexpr GUID kFastGuid = {0x1234ABCD, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
constexpr GUID kOtherGuid = {0x0BADF00D, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 11}};
constexpr GUID kSoftGuid = {0x5EF7, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 12}};

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

std::string GuidName(REFCLSID guid) {
    if (IsEqualGUID(guid, IID_IDirect3DMMXDevice))
        return "MMX";
    if (IsEqualGUID(guid, IID_IDirect3DRGBDevice))
        return "RGB";
    if (IsEqualGUID(guid, IID_IDirect3DRampDevice))
        return "Ramp";
    return Hex(guid.Data1);
}

D3DDEVICEDESC Describe(D3DCOLORMODEL models, DWORD depths) {
    D3DDEVICEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dcmColorModel = models;
    desc.dwDeviceZBufferBitDepth = depths;
    desc.dwMaxVertexCount = 0xC0FFEE; // something only a copy of the record carries
    return desc;
}

struct EnumeratedDevice {
    GUID guid;
    std::string name;
    D3DDEVICEDESC hardware;
    D3DDEVICEDESC software;
};

EnumeratedDevice Hardware(const GUID& guid, std::string name, D3DCOLORMODEL models, DWORD depths) {
    return {guid, std::move(name), Describe(models, depths), Describe(0, 0)};
}

EnumeratedDevice Software(const GUID& guid, std::string name, D3DCOLORMODEL models) {
    return {guid, std::move(name), Describe(0, 0), Describe(models, DDBD_16)};
}

struct Direct3D : FakeDirect3D {
    using FakeDirect3D::FakeDirect3D;

    HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK callback,
                                          LPVOID context) override {
        Record("EnumDevices");
        for (EnumeratedDevice& d : devices) {
            // Each call gets its own copies, which die with it, as the real
            // enumerator's do.
            GUID guid = d.guid;
            std::vector<char> name(d.name.begin(), d.name.end());
            name.push_back('\0');
            char description[] = "a device";
            D3DDEVICEDESC hardware = d.hardware, software = d.software;
            results.push_back(
                callback(&guid, description, name.data(), &hardware, &software, context));
            std::memset(&guid, 0xEE, sizeof guid);
        }
        return D3D_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID guid, LPDIRECTDRAWSURFACE target,
                                           LPDIRECT3DDEVICE2* device) override {
        Record("CreateDevice(" + GuidName(guid) + ", " + Log().NameOf(target) + ")");
        const std::string which = GuidName(guid);
        const bool fails = std::find(failing.begin(), failing.end(), which) != failing.end();
        *device = fails ? nullptr : madeDevice;
        return fails ? DDERR_GENERIC : D3D_OK;
    }

    std::vector<EnumeratedDevice> devices;
    // Devices, by GuidName, whose creation fails.
    std::vector<std::string> failing;
    IDirect3DDevice2* madeDevice = nullptr;
    std::vector<HRESULT> results;
};

struct DirectDraw : FakeDirectDraw {
    using FakeDirectDraw::FakeDirectDraw;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        Record(IsEqualIID(riid, IID_IDirect3D2) ? "QueryInterface(IDirect3D2)"
                                                : "QueryInterface(?)");
        *object = queryResult >= 0 ? static_cast<IDirect3D2*>(direct3D) : nullptr;
        return queryResult;
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                                            IUnknown* outer) override {
        Record("CreateSurface(" + Hex(desc->dwFlags) + ", " + Hex(desc->ddsCaps.dwCaps) + ", " +
               std::to_string(desc->dwZBufferBitDepth) + (outer ? ", outer" : "") + ")");
        zBufferDescription = *desc;
        *surface = createResult == DD_OK ? zBuffer : nullptr;
        return createResult;
    }

    Direct3D* direct3D = nullptr;
    HRESULT queryResult = S_OK;
    IDirectDrawSurface* zBuffer = nullptr;
    HRESULT createResult = DD_OK;
    DDSURFACEDESC zBufferDescription = {};
};

struct BackSurface : FakeSurface {
    using FakeSurface::FakeSurface;

    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC desc) override {
        Record("GetSurfaceDesc(" + std::to_string(desc->dwSize) + ")");
        DDSURFACEDESC filled = {};
        filled.dwSize = desc->dwSize;
        filled.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
        filled.dwWidth = 640;
        filled.dwHeight = 480;
        filled.lPitch = 2560;
        filled.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        filled.ddpfPixelFormat.dwFlags = DDPF_RGB;
        filled.ddpfPixelFormat.dwRGBBitCount = 32;
        filled.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        *desc = filled;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE attached) override {
        Record("AddAttachedSurface(" + Log().NameOf(attached) + ")");
        return attachResult;
    }

    HRESULT attachResult = DD_OK;
};

class DeviceSelection : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        ddraw.direct3D = &d3d;
        ddraw.zBuffer = &zBuffer;
        d3d.madeDevice = &device;
        g_hxp.ddraw = &ddraw;
        g_hxp.backSurface = &back;
    }

    // The calls after the query and the enumeration.
    Lines CallsAfterEnumeration() const {
        auto from = std::find(log.calls.begin(), log.calls.end(), "d3d->EnumDevices");
        return from == log.calls.end() ? Lines{} : Lines(from + 1, log.calls.end());
    }

    ReleaseLog log;
    DirectDraw ddraw{"ddraw", log};
    Direct3D d3d{"d3d", log};
    BackSurface back{"back", log};
    FakeSurface zBuffer{"zBuffer", log};
    FakeDevice device{"device", log};
    zv::testing::MessageBoxRecorder boxes;
};

Lines BoxTexts(const zv::testing::MessageBoxRecorder& recorder) {
    Lines texts;
    for (const auto& box : recorder.boxes) {
        EXPECT_EQ(box.type, MB_OK);
        EXPECT_EQ(box.helpId, 0u);
        texts.push_back(box.text);
    }
    return texts;
}

TEST_F(DeviceSelection, AHardwareDeviceWithTheColourModelAndADepthIsUsed) {
    d3d.devices = {Software(kSoftGuid, "Soft", D3DCOLOR_RGB),
                   Hardware(kFastGuid, "Fast 3D", D3DCOLOR_RGB, DDBD_16 | DDBD_32)};
    ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);

    EXPECT_EQ(log.calls, (Lines{"ddraw->QueryInterface(IDirect3D2)", "d3d->EnumDevices",
                                "back->GetSurfaceDesc(108)", "ddraw->CreateSurface(47, 24000, 16)",
                                "back->AddAttachedSurface(zBuffer)",
                                "d3d->CreateDevice(1234abcd, back)"}));
    EXPECT_EQ(debug.lines,
              (Lines{"HXP:DeviceName :Soft 5ef7\n", "HXP:HAL DeviceName :Fast 3D 1234abcd\n",
                     "HXP:I'll use HAL\n", "HXP:DeviceGuid 1234abcd\n"}));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_STREQ(g_hxp.deviceName, "Fast 3D");
    EXPECT_EQ(g_hxp.deviceChosen, 1);
    EXPECT_EQ(g_hxp.halFound, 1);
    EXPECT_EQ(g_hxp.halGuid, kFastGuid);
    EXPECT_EQ(g_hxp.d3d, &d3d);
    EXPECT_EQ(g_hxp.zBuffer, &zBuffer);
    EXPECT_EQ(g_hxp.device, &device);
    EXPECT_EQ(d3d.results, (std::vector<HRESULT>{D3DENUMRET_OK, D3DENUMRET_OK}));
}

TEST_F(DeviceSelection, TheZBufferIsTheShallowestDepthTheHardwareOffers) {
    struct Case {
        DWORD depths;
        DWORD chosen;
    };
    const Case cases[] = {
        {DDBD_16 | DDBD_32, 16},
        {DDBD_16 | DDBD_24 | DDBD_32, 16},
        {DDBD_24 | DDBD_32, 24},
        {DDBD_32 | DDBD_8, 32},
        {DDBD_24, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.depths));
        g_hxp.ddraw = &ddraw;
        d3d.devices = {Hardware(kFastGuid, "Fast 3D", D3DCOLOR_RGB, c.depths)};
        ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
        const DDSURFACEDESC& z = ddraw.zBufferDescription;
        EXPECT_EQ(z.dwZBufferBitDepth, c.chosen);
        EXPECT_EQ(z.ddsCaps.dwCaps, DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY);
        EXPECT_EQ(z.dwFlags, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH);
    }
}

TEST_F(DeviceSelection, TheZBufferKeepsWhatTheBackSurfaceReported) {
    d3d.devices = {Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
    ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
    const DDSURFACEDESC& z = ddraw.zBufferDescription;
    EXPECT_EQ(z.dwSize, 108u);
    EXPECT_EQ(z.dwFlags, 0x47u);
    EXPECT_EQ(z.ddsCaps.dwCaps, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(z.dwZBufferBitDepth, 16u);
    EXPECT_EQ(z.dwWidth, 640u);
    EXPECT_EQ(z.dwHeight, 480u);
    // Filled in by the read, no longer flagged.
    EXPECT_EQ(z.lPitch, 2560);
    EXPECT_EQ(z.ddpfPixelFormat.dwRGBBitCount, 32u);
}

TEST_F(DeviceSelection, HardwareWithoutAUsableDepthIsPassedOverEntirely) {
    // Its software description offers the model too, but the device is not
    // looked at again; the later software device is the one recorded.
    EnumeratedDevice noDepth = Hardware(kFastGuid, "No Depth", D3DCOLOR_RGB, DDBD_8);
    noDepth.software = Describe(D3DCOLOR_RGB, DDBD_16);
    d3d.devices = {noDepth, Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
    ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);

    EXPECT_EQ(debug.lines, (Lines{"HXP:DeviceName :Soft 5ef7\n", "HXP:DeviceGuid 0\n",
                                  "HXP:Created Direct3DDevice with MMX(HEL)\n"}));
    EXPECT_EQ(g_hxp.halFound, 0);
    EXPECT_EQ(g_hxp.deviceChosen, 0);
    EXPECT_EQ(g_hxp.halGuid, GUID{});
    EXPECT_STREQ(g_hxp.deviceName, "MMX HEL Driver");
}

TEST_F(DeviceSelection, TheFirstOfTwoPassingHardwareDevicesWins) {
    d3d.devices = {Hardware(kFastGuid, "First", D3DCOLOR_RGB, DDBD_16),
                   Hardware(kOtherGuid, "Second", D3DCOLOR_RGB, DDBD_32),
                   Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
    ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
    EXPECT_EQ(debug.lines, (Lines{"HXP:HAL DeviceName :First 1234abcd\n", "HXP:I'll use HAL\n",
                                  "HXP:DeviceGuid 1234abcd\n"}));
    EXPECT_STREQ(g_hxp.deviceName, "First");
    EXPECT_EQ(ddraw.zBufferDescription.dwZBufferBitDepth, 16u);
    EXPECT_EQ(CallsAfterEnumeration().back(), "d3d->CreateDevice(1234abcd, back)");
    EXPECT_EQ(d3d.results, (std::vector<HRESULT>(3, D3DENUMRET_OK)));
}

TEST_F(DeviceSelection, AFailedHardwareDeviceHasNoSoftwareFallback) {
    d3d.devices = {Hardware(kFastGuid, "Fast 3D", D3DCOLOR_RGB, DDBD_16),
                   Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
    d3d.failing = {"1234abcd"};
    EXPECT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 0);

    const Lines after = CallsAfterEnumeration();
    EXPECT_EQ(std::count_if(after.begin(), after.end(),
                            [](const std::string& c) { return c.find("CreateDevice") != c.npos; }),
              1);
    ASSERT_GE(debug.lines.size(), 2u);
    EXPECT_EQ(Lines(debug.lines.end() - 2, debug.lines.end()),
              (Lines{"HXP:Can't Create Direct3DDevice2 from Direct3D2\n", kCleanupLine}));
    EXPECT_EQ(BoxTexts(boxes), Lines{"Direct3DDevice2の取得に失敗しました"});
    // The clean-up released what the selection had made.
    EXPECT_EQ(g_hxp.d3d, nullptr);
    EXPECT_EQ(g_hxp.zBuffer, nullptr);
    EXPECT_EQ(g_hxp.ddraw, nullptr);
    EXPECT_EQ(g_hxp.device, nullptr);
}

TEST_F(DeviceSelection, TheSoftwarePathFallsBackFromMmxByColourModel) {
    struct Case {
        int colorModel;
        std::vector<std::string> failing;
        Lines created;
        Lines lastLines;
        const char* deviceName;
        BOOL result;
        Lines boxTexts;
    };
    const Case cases[] = {
        {D3DCOLOR_RGB, {}, {"MMX"}, {"HXP:Created Direct3DDevice with MMX(HEL)\n"},
         "MMX HEL Driver", 1, {}},
        {D3DCOLOR_MONO, {}, {"MMX"}, {"HXP:Created Direct3DDevice with MMX(HEL)\n"},
         "MMX HEL Driver", 1, {}},
        {D3DCOLOR_RGB, {"MMX"}, {"MMX", "RGB"}, {"HXP:Created Direct3DDevice with RGB(HEL)\n"},
         "RGB Emulation", 1, {}},
        {D3DCOLOR_MONO, {"MMX"}, {"MMX", "Ramp"},
         {"HXP:Created Direct3DDevice with RAMP(HEL)\n"}, "Ramp Emulation", 1, {}},
        // The name and the line come before the result is known.
        {D3DCOLOR_RGB, {"MMX", "RGB"}, {"MMX", "RGB"},
         {"HXP:Created Direct3DDevice with RGB(HEL)\n", "HXP:Failed to Create Direct3DDevice!\n",
          kCleanupLine},
         "RGB Emulation", 0, {"Direct3DDeviceの生成に失敗しました"}},
        {D3DCOLOR_MONO, {"MMX", "Ramp"}, {"MMX", "Ramp"},
         {"HXP:Created Direct3DDevice with RAMP(HEL)\n", "HXP:Failed to Create Direct3DDevice!\n",
          kCleanupLine},
         "Ramp Emulation", 0, {"Direct3DDeviceの生成に失敗しました"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.colorModel << " " << c.created.size());
        log.calls.clear();
        debug.lines.clear();
        boxes.boxes.clear();
        g_hxp = GraphicsState{};
        g_hxp.ddraw = &ddraw;
        g_hxp.backSurface = &back;
        // A hardware device with only the other colour model is not taken.
        d3d.devices = {Hardware(kFastGuid, "Fast 3D", D3DCOLOR_RGB & ~c.colorModel, DDBD_16)};
        d3d.failing = c.failing;

        EXPECT_EQ(HXPCreateDevice(c.colorModel), c.result);
        Lines created;
        for (const std::string& call : CallsAfterEnumeration())
            if (call.rfind("d3d->CreateDevice(", 0) == 0)
                created.push_back(call.substr(18, call.find(',') - 18));
        EXPECT_EQ(created, c.created);
        EXPECT_EQ(ddraw.zBufferDescription.ddsCaps.dwCaps, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY);
        EXPECT_EQ(ddraw.zBufferDescription.dwZBufferBitDepth, 16u);
        ASSERT_GE(debug.lines.size(), c.lastLines.size());
        EXPECT_EQ(Lines(debug.lines.end() - c.lastLines.size(), debug.lines.end()), c.lastLines);
        EXPECT_STREQ(g_hxp.deviceName, c.deviceName);
        EXPECT_EQ(BoxTexts(boxes), c.boxTexts);
        EXPECT_EQ(g_hxp.halFound, 0);
        // A failure cleans up, which releases DirectDraw too.
        EXPECT_EQ(g_hxp.ddraw == nullptr, c.result == 0);
    }
}

TEST_F(DeviceSelection, OnlyTheFirstMatchingSoftwareDeviceIsReported) {
    d3d.devices = {Software(kSoftGuid, "Mono Only", D3DCOLOR_MONO),
                   Software(kOtherGuid, "First RGB", D3DCOLOR_RGB | D3DCOLOR_MONO),
                   Software(kFastGuid, "Second RGB", D3DCOLOR_RGB)};
    ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
    EXPECT_EQ(debug.lines.front(), "HXP:DeviceName :First RGB badf00d\n");
    EXPECT_EQ(std::count_if(debug.lines.begin(), debug.lines.end(),
                            [](const std::string& l) { return l.rfind("HXP:DeviceName", 0) == 0; }),
              1);
}

TEST_F(DeviceSelection, TheGuidLineShowsTheLastHardwareEverAccepted) {
    d3d.devices = {Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
    // Nothing accepted in this process yet.
    ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
    EXPECT_EQ(debug.lines[1], "HXP:DeviceGuid 0\n");

    // A hardware device accepted by an earlier set-up is still named after
    // HXPInitialize, which leaves halGuid alone; here hardware is disabled.
    GraphicsResetBlock& reset = g_hxp;
    reset = GraphicsResetBlock{};
    g_hxp.halGuid = kOtherGuid;
    g_hxp.hardwareDisabled = 1;
    g_hxp.ddraw = &ddraw;
    g_hxp.backSurface = &back;
    d3d.devices = {Hardware(kFastGuid, "Fast 3D", D3DCOLOR_RGB, DDBD_16),
                   Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
    debug.lines.clear();
    ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
    EXPECT_EQ(debug.lines, (Lines{"HXP:DeviceName :Soft 5ef7\n", "HXP:DeviceGuid badf00d\n",
                                  "HXP:Created Direct3DDevice with MMX(HEL)\n"}));
    EXPECT_EQ(g_hxp.halFound, 0);
    EXPECT_EQ(g_hxp.halGuid, kOtherGuid);
}

TEST_F(DeviceSelection, EveryEnumerationStartsAfresh) {
    g_hxp.deviceChosen = 1;
    std::strcpy(g_hxp.deviceName, "stale");
    d3d.devices = {Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
    d3d.failing = {"MMX", "RGB"};
    EXPECT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 0);
    EXPECT_EQ(debug.lines.front(), "HXP:DeviceName :Soft 5ef7\n");
    EXPECT_STREQ(g_hxp.deviceName, "RGB Emulation");
}

TEST_F(DeviceSelection, AFailedQueryReleasesDirectDraw) {
    for (HRESULT failure : {E_NOINTERFACE, DDERR_GENERIC}) {
        SCOPED_TRACE(Hex(failure));
        log.calls.clear();
        debug.lines.clear();
        boxes.boxes.clear();
        g_hxp.ddraw = &ddraw;
        ddraw.queryResult = failure;
        EXPECT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 0);
        EXPECT_EQ(log.calls, (Lines{"ddraw->QueryInterface(IDirect3D2)", "ddraw->Release"}));
        EXPECT_EQ(debug.lines, Lines{"HXP:Error:Failed to QI Direct3D2 from DirectDraw\n"});
        EXPECT_EQ(BoxTexts(boxes), Lines{"Direct3D2インターフェイスの取得に失敗しました"});
        EXPECT_EQ(g_hxp.ddraw, nullptr);
    }
}

TEST_F(DeviceSelection, APositiveQueryResultCountsAsSuccess) {
    ddraw.queryResult = S_FALSE;
    d3d.devices = {Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
    EXPECT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
    EXPECT_EQ(g_hxp.device, &device);
}

TEST_F(DeviceSelection, ZBufferFailuresStopBeforeAnyDevice) {
    struct Case {
        HRESULT create;
        HRESULT attach;
        const char* text;
    };
    const Case cases[] = {
        {DDERR_OUTOFMEMORY, DD_OK, "Zバッファの生成に失敗しました"},
        {DD_OK, DDERR_CANNOTATTACHSURFACE, "Zバッファのアタッチに失敗しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        log.calls.clear();
        boxes.boxes.clear();
        g_hxp.ddraw = &ddraw;
        g_hxp.zBuffer = nullptr;
        ddraw.createResult = c.create;
        back.attachResult = c.attach;
        d3d.devices = {Software(kSoftGuid, "Soft", D3DCOLOR_RGB)};
        EXPECT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 0);
        EXPECT_EQ(BoxTexts(boxes), Lines{c.text});
        const Lines after = CallsAfterEnumeration();
        EXPECT_TRUE(std::none_of(after.begin(), after.end(), [](const std::string& call) {
            return call.find("CreateDevice") != call.npos;
        }));
        // Nothing is released here: the caller's clean-up does that.
        EXPECT_EQ(g_hxp.ddraw, &ddraw);
    }
}

TEST_F(DeviceSelection, AnOverlongDeviceNameIsCutNotOverrun) {
    const std::string longName(300, 'n');
    d3d.devices = {Software(kSoftGuid, longName, D3DCOLOR_RGB),
                   Hardware(kFastGuid, longName, D3DCOLOR_RGB, DDBD_16)};
    ASSERT_EQ(HXPCreateDevice(D3DCOLOR_RGB), 1);
    // Room is kept for eight hex digits; the line ends with its value.
    EXPECT_EQ(debug.lines[0], "HXP:DeviceName :" + std::string(173, 'n') + " 5ef7\n");
    EXPECT_EQ(debug.lines[1], "HXP:HAL DeviceName :" + std::string(169, 'n') + " 1234abcd\n");
    EXPECT_EQ(debug.lines[1].size(), 199u);
    EXPECT_EQ(std::string(g_hxp.deviceName), std::string(255, 'n'));
}

// The real module, as the program loads it, on an off-screen 3D surface.
TEST(DeviceSelectionOfTheModule, TheMmxDeviceIsMadeForEitherColourModel) {
    for (int colorModel : {D3DCOLOR_RGB, D3DCOLOR_MONO}) {
        SCOPED_TRACE(colorModel);
        g_hxp = GraphicsState{};
        zv::testing::DebugCapture debug;
        zv::testing::MessageBoxRecorder boxes;
        HMODULE module = LoadLibraryA("ddraw.dll");
        ASSERT_NE(module, nullptr);
        auto create =
            reinterpret_cast<decltype(&DirectDrawCreate)>(GetProcAddress(module, "DirectDrawCreate"));
        ASSERT_EQ(create(nullptr, &g_hxp.ddraw, nullptr), DD_OK);
        ASSERT_NO_FATAL_FAILURE(CreateOffscreenBackSurface(64, 48));

        ASSERT_EQ(HXPCreateDevice(colorModel), 1);
        const std::string first =
            colorModel == D3DCOLOR_RGB ? "HXP:DeviceName :MMX Emulation 881949a1\n"
                                       : "HXP:DeviceName :Ramp Emulation f2086b20\n";
        EXPECT_EQ(debug.lines, (Lines{first, "HXP:DeviceGuid 0\n",
                                      "HXP:Created Direct3DDevice with MMX(HEL)\n"}));
        EXPECT_STREQ(g_hxp.deviceName, "MMX HEL Driver");
        ASSERT_NE(g_hxp.d3d, nullptr);
        ASSERT_NE(g_hxp.zBuffer, nullptr);
        ASSERT_NE(g_hxp.device, nullptr);
        DDSURFACEDESC z = {};
        z.dwSize = DDSURFACEDESC_SIZE;
        ASSERT_EQ(g_hxp.zBuffer->GetSurfaceDesc(&z), DD_OK);
        EXPECT_EQ(z.dwZBufferBitDepth, 16u);
        EXPECT_EQ(z.dwWidth, 64u);
        EXPECT_EQ(z.dwHeight, 48u);
        EXPECT_NE(z.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY, 0u);
        HXPCleanup();
        FreeLibrary(module);
    }
    g_hxp = GraphicsState{};
}

} // namespace
