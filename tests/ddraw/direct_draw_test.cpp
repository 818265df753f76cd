// The DirectDraw object of the real module: capabilities, display mode and
// cooperative level.
#include "ddraw_test.h"

namespace {

class DirectDrawObject : public DirectDrawTest {};

TEST_F(DirectDrawObject, CapabilitiesAdmitThatThereIsNo3DHardware) {
    DDCAPS driver = {}, emulation = {};
    driver.dwSize = emulation.dwSize = sizeof(DDCAPS);
    driver.dwVidMemTotal = emulation.dwVidMemTotal = 0xDEAD;
    ASSERT_EQ(directDraw->GetCaps(&driver, &emulation), DD_OK);
    EXPECT_EQ(driver.dwSize, 364u);
    EXPECT_EQ(emulation.dwSize, 364u);
    EXPECT_EQ(driver.dwCaps & DDCAPS_3D, 0u);
    EXPECT_EQ(driver.ddsCaps.dwCaps & (DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_ZBUFFER), 0u);
    EXPECT_EQ(driver.dwVidMemTotal, 0u);
    // What the emulation does instead.
    const DWORD surfaces = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_TEXTURE |
                           DDSCAPS_3DDEVICE | DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY |
                           DDSCAPS_VIDEOMEMORY;
    EXPECT_EQ(emulation.ddsCaps.dwCaps & surfaces, surfaces);
    EXPECT_EQ(emulation.dwZBufferBitDepths, DDBD_16 | DDBD_24 | DDBD_32);
    EXPECT_EQ(emulation.dwVidMemTotal, 0u);

    // Either record alone.
    DDCAPS only = {};
    only.dwSize = sizeof only;
    EXPECT_EQ(directDraw->GetCaps(&only, nullptr), DD_OK);
    EXPECT_EQ(directDraw->GetCaps(nullptr, &only), DD_OK);
}

TEST_F(DirectDrawObject, CapabilityRecordsWantTheirStamp) {
    DDCAPS good = {}, bad = {};
    good.dwSize = sizeof good;
    for (DWORD stamp : {0u, 363u, 365u, 316u}) {
        SCOPED_TRACE(stamp);
        bad.dwSize = stamp;
        EXPECT_EQ(directDraw->GetCaps(&bad, &good), DDERR_INVALIDPARAMS);
        EXPECT_EQ(directDraw->GetCaps(&good, &bad), DDERR_INVALIDPARAMS);
    }
    EXPECT_EQ(directDraw->GetCaps(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DirectDrawObject, WithoutADisplayTheScreenIs640By480Xrgb) {
    DDSURFACEDESC mode = {};
    mode.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(directDraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 640u);
    EXPECT_EQ(mode.dwHeight, 480u);
    EXPECT_EQ(mode.lPitch, 640 * 4);
    EXPECT_EQ(std::memcmp(&mode.ddpfPixelFormat, &kXrgb8888, sizeof kXrgb8888), 0);
}

TEST_F(DirectDrawObject, OnlyTheNormalCooperativeLevelIsOffered) {
    HWND notAWindow = reinterpret_cast<HWND>(&directDraw);
    struct Case {
        HWND window;
        DWORD flags;
        HRESULT result;
    };
    const Case cases[] = {
        {nullptr, DDSCL_NORMAL, DD_OK},
        {nullptr, DDSCL_NORMAL | 0x2 /* ALLOWREBOOT */, DD_OK},
        {nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE, DDERR_UNSUPPORTED},
        {nullptr, DDSCL_NORMAL | DDSCL_EXCLUSIVE, DDERR_INVALIDPARAMS},
        {nullptr, DDSCL_FULLSCREEN, DDERR_INVALIDPARAMS},
        {nullptr, 0, DDERR_INVALIDPARAMS},
        {nullptr, DDSCL_NORMAL | 0x1000, DDERR_INVALIDPARAMS},
        {notAWindow, DDSCL_NORMAL, DDERR_INVALIDPARAMS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.flags);
        EXPECT_EQ(directDraw->SetCooperativeLevel(c.window, c.flags), c.result);
    }
}

} // namespace
