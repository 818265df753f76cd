// Every graphics-layer test starts and ends with the record as the process
// starts it: all zeros, no runtime loaded.
#pragma once

#include <gfx/hxp.h>
#include <platform/testing.h>

#include <gtest/gtest.h>

#include <string>

// On the record's DirectDraw object, in the normal cooperative level: the
// back surface an off-screen test draws into, a 3D surface of the display's
// format.
inline void CreateOffscreenBackSurface(DWORD width, DWORD height) {
    ASSERT_EQ(g_hxp.ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC back = {};
    back.dwSize = DDSURFACEDESC_SIZE;
    back.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    back.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    back.dwWidth = width;
    back.dwHeight = height;
    ASSERT_EQ(g_hxp.ddraw->CreateSurface(&back, &g_hxp.backSurface, nullptr), DD_OK);
}

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override { g_hxp = GraphicsState{}; }
    void TearDown() override {
        HXPFreeLibraries();
        g_hxp = GraphicsState{};
    }

    // A folder of fake runtime modules for one loader situation.
    static std::string Situation(const std::string& name) { return ZV_TEST_MODULES_DIR "/" + name; }

    // The layer's diagnostic lines, kept off standard error.
    zv::testing::DebugCapture debug;
};
