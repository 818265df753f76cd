// The windowing calls with no display to talk to: what fails must fail
// cleanly, and what needs no display must work all the same.
#include "probe_resources.h"

#include <platform/display.h>
#include <platform/user.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const HWND kNoWindow = reinterpret_cast<HWND>(0x4242);

TEST(NoDisplay, ScreenFormatIsThirtyTwoBitXrgbOf640By480) {
    auto format = zv::display::GetScreenFormat();
    EXPECT_EQ(format.bitsPerPixel, 32);
    EXPECT_EQ(format.redMask, 0xFF0000u);
    EXPECT_EQ(format.greenMask, 0xFF00u);
    EXPECT_EQ(format.blueMask, 0xFFu);
    EXPECT_EQ(format.width, 640);
    EXPECT_EQ(format.height, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
}

TEST(NoDisplay, DialogsCannotBeMade) {
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_PROBE_MAIN), nullptr, nullptr, 0),
              nullptr);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_PROBE_BOX), nullptr, nullptr, 0), -1);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), 0);
}

TEST(NoDisplay, HandlesThatNameNoWindowAreRefused) {
    RECT rect{1, 2, 3, 4};
    POINT point{5, 6};
    uint32_t pixel = 0;
    for (HWND hwnd : {static_cast<HWND>(nullptr), kNoWindow}) {
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_FALSE(GetClientRect(hwnd, &rect));
        EXPECT_FALSE(ClientToScreen(hwnd, &point));
        EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
        EXPECT_FALSE(DestroyWindow(hwnd));
        EXPECT_FALSE(PostMessageA(hwnd, WM_CLOSE, 0, 0));
        EXPECT_EQ(SendMessageA(hwnd, WM_CLOSE, 0, 0), 0);
        EXPECT_EQ(GetSystemMenu(hwnd, FALSE), nullptr);
        EXPECT_FALSE(zv::display::PresentToWindow(hwnd, 0, 0, 1, 1, &pixel, 4));
    }
    EXPECT_EQ(rect.right, 3) << "a failed call leaves its output alone";
    EXPECT_EQ(point.x, 5);
}

TEST(NoDisplay, StringsComeFromTheExecutablesTable) {
    struct Case {
        UINT id;
        int bufferSize;
        int length;
        std::string text;
    };
    const std::string about = "Probe のﾊﾞｰｼﾞｮﾝ情報(&A)...";
    const Case cases[] = {
        {IDS_PROBE_ABOUT, 128, static_cast<int>(about.size()), about},
        {IDS_PROBE_ABOUT, 6, 5, "Probe"}, // cut to the buffer, terminated
        {IDS_PROBE_EMPTY, 128, 0, ""},
        {999, 128, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        char buffer[128] = "stale";
        EXPECT_EQ(LoadStringA(nullptr, c.id, buffer, c.bufferSize), c.length);
        EXPECT_EQ(std::string(buffer), c.text);
    }
}

TEST(NoDisplay, MenusKeepTheirItems) {
    HMENU menu = CreatePopupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(AppendMenuA(menu, MF_STRING, 7, "&Seven"));
    EXPECT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
    EXPECT_TRUE(AppendMenuA(menu, MF_STRING | MF_GRAYED, 9, "Nine"));
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuItemID(menu, 0), 7u);
    EXPECT_EQ(GetMenuItemID(menu, 1), 0u);
    EXPECT_EQ(GetMenuItemID(menu, 3), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION), MF_SEPARATOR);
    EXPECT_EQ(GetMenuState(menu, 9, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, 8, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(EnableMenuItem(menu, 9, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(menu, 9, MF_BYCOMMAND), 0u);
    char text[16];
    EXPECT_EQ(GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION), 6);
    EXPECT_STREQ(text, "&Seven");
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_EQ(GetMenuItemCount(menu), -1);
    EXPECT_FALSE(AppendMenuA(menu, MF_STRING, 1, "gone"));
}

} // namespace
