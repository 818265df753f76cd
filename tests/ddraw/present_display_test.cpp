// The presentation surfaces over the real module and a real window on an X
// server of the test's own: what HXPPresent shows, where, after a move and a
// resize, and what a destroyed window does to the blit.
#include "display_support.h"
#include "x_screen.h"

#include <gfx/hxp.h>
#include <platform/display.h>
#include <platform/testing.h>
#include <platform/user.h>
#include <user/message_loop.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using zv::test::PumpUntil;

// Lets the events of the next moments arrive and be handled.
void Settle() {
    zv::test::Settle(150ms);
}

POINT ClientOrigin(HWND hwnd) {
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    return origin;
}

uint32_t Pattern(int x, int y) {
    return static_cast<uint32_t>((x * 7) & 0xFF) << 16 |
           static_cast<uint32_t>((y * 5) & 0xFF) << 8 | static_cast<uint32_t>((x + y) & 0xFF);
}

std::vector<uint32_t> PatternOf(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(Pattern(x, y));
    return pixels;
}

class WindowPresent : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(zv::display::GetScreenFormat().bitsPerPixel, 32);
        static const ATOM registered = [] {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.lpszClassName = "ZevraPresentTest";
            return RegisterClassA(&windowClass);
        }();
        ASSERT_NE(registered, 0);
        hwnd = CreateWindowExA(0, "ZevraPresentTest", "Present", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               60, 40, 200, 150, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(hwnd) != 0; }));
        Settle();

        g_hxp = GraphicsState{};
        ASSERT_EQ(HXPInitialize(), 1);
        HXPSetPreferRgb(1);
    }

    void TearDown() override {
        HXPCleanup();
        HXPFreeLibraries();
        g_hxp = GraphicsState{};
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
    }

    // Draws the pattern into the whole back surface.
    static void PaintBackSurface() {
        DDSURFACEDESC desc = {};
        desc.dwSize = DDSURFACEDESC_SIZE;
        ASSERT_EQ(g_hxp.backSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        ASSERT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                const uint32_t pixel = Pattern(static_cast<int>(x), static_cast<int>(y));
                std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 4, &pixel,
                            4);
            }
        ASSERT_EQ(g_hxp.backSurface->Unlock(desc.lpSurface), DD_OK);
    }

    // True once the client area shows the pattern where the layer believes
    // it to be.
    static bool ClientAreaShowsThePattern() {
        return ScreenPixels(g_hxp.clientRect) == PatternOf(g_hxp.width, g_hxp.height);
    }

    // A strip just left of the client area and as tall.
    static RECT LeftOfClientArea() {
        const RECT& r = g_hxp.clientRect;
        return {r.left - 4, r.top, r.left, r.bottom};
    }

    HWND hwnd = nullptr;
    zv::testing::DebugCapture debug;
};

TEST_F(WindowPresent, TheBackSurfaceAppearsInTheClientAreaAndFollowsAMove) {
    ASSERT_EQ(CreateDirectDrawWin(hwnd), 1);
    RECT client = {};
    GetClientRect(hwnd, &client);
    POINT origin = ClientOrigin(hwnd);
    EXPECT_EQ(g_hxp.width, client.right);
    EXPECT_EQ(g_hxp.height, client.bottom);
    EXPECT_EQ(g_hxp.clientRect.left, origin.x);
    EXPECT_EQ(g_hxp.clientRect.top, origin.y);

    PaintBackSurface();
    const std::vector<uint32_t> besideBefore = ScreenPixels(LeftOfClientArea());
    HXPSetRenderEnabled(1);
    ASSERT_EQ(HXPPresent(), 1);
    EXPECT_TRUE(PumpUntil(ClientAreaShowsThePattern));
    // Nothing lands outside the client area.
    EXPECT_EQ(ScreenPixels(LeftOfClientArea()), besideBefore);

    const RECT before = g_hxp.clientRect;
    MoveWindow(hwnd, 300, 260, 200, 150, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return ClientOrigin(hwnd).x != before.left; }));
    Settle();
    EXPECT_EQ(HXPMoveWindow(hwnd), 1);
    origin = ClientOrigin(hwnd);
    EXPECT_EQ(g_hxp.clientRect.left, origin.x);
    EXPECT_EQ(g_hxp.clientRect.top, origin.y);
    EXPECT_EQ(g_hxp.width, before.right - before.left);
    EXPECT_EQ(g_hxp.height, before.bottom - before.top);
    ASSERT_EQ(HXPPresent(), 1);
    EXPECT_TRUE(PumpUntil(ClientAreaShowsThePattern));
}

TEST_F(WindowPresent, AResizeBuildsSurfacesOfTheNewSize) {
    ASSERT_EQ(CreateDirectDrawWin(hwnd), 1);
    HXPSetRenderEnabled(1);
    MoveWindow(hwnd, 60, 40, 260, 190, TRUE);
    ASSERT_TRUE(PumpUntil([&] {
        RECT client = {};
        GetClientRect(hwnd, &client);
        return client.right != g_hxp.width;
    }));
    Settle();
    RECT client = {};
    GetClientRect(hwnd, &client);

    ASSERT_EQ(HXPResizeWindow(hwnd, client.right, client.bottom), 1);
    EXPECT_EQ(g_hxp.width, client.right);
    EXPECT_EQ(g_hxp.height, client.bottom);
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(g_hxp.backSurface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, static_cast<DWORD>(client.right));
    EXPECT_EQ(desc.dwHeight, static_cast<DWORD>(client.bottom));

    PaintBackSurface();
    ASSERT_EQ(HXPPresent(), 1);
    EXPECT_TRUE(PumpUntil(ClientAreaShowsThePattern));
}

TEST_F(WindowPresent, ALostPrimarySurfaceIsRestoredBeforeThePresent) {
    ASSERT_EQ(CreateDirectDrawWin(hwnd), 1);
    HXPSetRenderEnabled(1);
    auto lose = reinterpret_cast<HRESULT(WINAPI*)(IDirectDrawSurface*)>(
        GetProcAddress(g_hxp.ddrawModule, "ZvTestLoseSurface"));
    ASSERT_NE(lose, nullptr);
    ASSERT_EQ(lose(g_hxp.primarySurface), DD_OK);
    RECT source = {0, 0, g_hxp.width, g_hxp.height};
    EXPECT_EQ(g_hxp.primarySurface->Blt(&g_hxp.clientRect, g_hxp.backSurface, &source, DDBLT_WAIT,
                                        nullptr),
              DDERR_SURFACELOST);

    EXPECT_EQ(HXPRestoreSurfaces(), 1);
    PaintBackSurface();
    ASSERT_EQ(HXPPresent(), 1);
    EXPECT_TRUE(PumpUntil(ClientAreaShowsThePattern));
}

TEST_F(WindowPresent, ADestroyedWindowTakesNoMoreBlits) {
    ASSERT_EQ(CreateDirectDrawWin(hwnd), 1);
    DestroyWindow(hwnd);
    RECT source = {0, 0, g_hxp.width, g_hxp.height};
    EXPECT_EQ(g_hxp.primarySurface->Blt(&g_hxp.clientRect, g_hxp.backSurface, &source, DDBLT_WAIT,
                                        nullptr),
              DDERR_NOHWND);
    EXPECT_EQ(g_hxp.clipper->SetHWnd(0, hwnd), DDERR_INVALIDPARAMS);
    EXPECT_EQ(g_hxp.ddraw->SetCooperativeLevel(hwnd, DDSCL_NORMAL), DDERR_INVALIDPARAMS);
}

} // namespace
