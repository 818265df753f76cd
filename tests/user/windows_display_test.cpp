// Windows on a real X server: geometry, presenting pixels, focus, keys, the
// system menu and icons.
#include "display_fixture.h"
#include "probe_resources.h"

#include <platform/gdi.h>

#include <string>
#include <vector>

namespace zv::test {
namespace {

using Windows = DisplayTest;

TEST_F(Windows, GeometryFollowsRealMovesAndResizes) {
    HWND hwnd = Dialog(IDD_PROBE_MAIN);
    unsigned long xWindow = WaitForXWindow("Probe Main");
    ASSERT_NE(xWindow, 0u);
    const std::string id = std::to_string(xWindow);

    Shell("timeout 15 xdotool windowmove --sync " + id + " 100 150");
    auto lastMove = [&] {
        auto moves = MessagesOf(hwnd, {WM_MOVE});
        return moves.empty() ? LPARAM(-1) : moves.back().lParam;
    };
    POINT origin{};
    ASSERT_TRUE(PumpUntil([&] {
        origin = ClientOrigin(hwnd);
        POINT real = server.ScreenOrigin(xWindow);
        return origin.x == real.x && origin.y == real.y &&
               lastMove() == MAKELPARAM(origin.x, origin.y);
    }));
    if (!server.HasWindowManager()) {
        EXPECT_EQ(origin.x, 100);
        EXPECT_EQ(origin.y, 150);
    }

    Shell("timeout 15 xdotool windowsize --sync " + id + " 300 200");
    ASSERT_TRUE(PumpUntil([&] {
        auto sizes = MessagesOf(hwnd, {WM_SIZE});
        return !sizes.empty() && sizes.back().lParam == MAKELPARAM(300, 200);
    }));
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(MessagesOf(hwnd, {WM_SIZE}).back().wParam, SIZE_RESTORED);
}

uint32_t Pattern(int x, int y) {
    return static_cast<uint32_t>((x * 5) & 0xFF) << 16 |
           static_cast<uint32_t>((y * 3) & 0xFF) << 8 | 0x40;
}

TEST_F(Windows, PresentedPixelsReachTheScreenClippedAndSurviveAnExpose) {
    ASSERT_EQ(zv::display::GetScreenFormat().bitsPerPixel, 32);
    constexpr int kWidth = 160, kHeight = 120;
    HWND hwnd = PlainWindow("Probe Plain", kWidth, kHeight);
    ASSERT_NE(WaitForXWindow("Probe Plain"), 0u);
    Settle();
    POINT origin = ClientOrigin(hwnd);

    // A block larger than the client area, starting above and left of it.
    constexpr int kMargin = 10;
    const int blockWidth = kWidth + 2 * kMargin, blockHeight = kHeight + 2 * kMargin;
    std::vector<uint32_t> block(static_cast<size_t>(blockWidth) * blockHeight);
    for (int y = 0; y < blockHeight; ++y)
        for (int x = 0; x < blockWidth; ++x)
            block[static_cast<size_t>(y) * blockWidth + x] = Pattern(x - kMargin, y - kMargin);
    ASSERT_TRUE(zv::display::PresentToWindow(hwnd, origin.x - kMargin, origin.y - kMargin,
                                             blockWidth, blockHeight, block.data(),
                                             blockWidth * 4));
    const POINT samples[] = {
        {0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}, {37, 59}};
    auto showsPattern = [&] {
        for (POINT p : samples)
            if (server.PixelAt(origin.x + p.x, origin.y + p.y) != Pattern(p.x, p.y))
                return false;
        return true;
    };
    ASSERT_TRUE(PumpUntil(showsPattern));
    // Nothing spills outside the client area.
    EXPECT_NE(server.PixelAt(origin.x + kWidth, origin.y + 5), Pattern(kWidth, 5));

    // Covered and uncovered, the window paints the last picture again.
    unsigned long cover = server.CreateWindow(origin.x, origin.y, kWidth, kHeight);
    ASSERT_EQ(server.PixelAt(origin.x + 37, origin.y + 59), 0xFFFFFFu);
    server.DestroyWindow(cover);
    EXPECT_TRUE(PumpUntil(showsPattern));
    EXPECT_TRUE(Received(hwnd, WM_PAINT));
}

TEST_F(Windows, PresentingNeedsAWindow) {
    uint32_t pixel = 0;
    EXPECT_FALSE(zv::display::PresentToWindow(nullptr, 0, 0, 1, 1, &pixel, 4));
    EXPECT_FALSE(
        zv::display::PresentToWindow(reinterpret_cast<HWND>(0x1234), 0, 0, 1, 1, &pixel, 4));
}

TEST_F(Windows, FocusBelongsToTheActiveWindowOnly) {
    HWND box = Dialog(IDD_PROBE_BOX);
    ShowWindow(box, SW_SHOW);
    unsigned long xWindow = WaitForXWindow("Probe Box");
    ASSERT_TRUE(FocusOn(box, xWindow));
    // The dialog's first tab stop holds it, as WM_INITDIALOG asked.
    EXPECT_EQ(GetFocus(), GetDlgItem(box, IDOK));
    EXPECT_EQ(GetActiveWindow(), box);

    unsigned long other = server.CreateWindow(0, 0, 50, 50);
    server.Focus(other);
    EXPECT_TRUE(PumpUntil([] { return GetFocus() == nullptr; }));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    server.DestroyWindow(other);
}

TEST_F(Windows, SpaceBarStateIsTheKeyWhileFocusedPlusPressesSinceTheLastPoll) {
    HWND hwnd = Dialog(IDD_PROBE_MAIN);
    unsigned long xWindow = WaitForXWindow("Probe Main");
    ASSERT_TRUE(FocusOn(hwnd, xWindow));
    EXPECT_EQ(GetFocus(), hwnd) << "a window without controls holds the focus itself";
    GetAsyncKeyState(VK_SPACE);

    // Held down: down now, and pressed since the last poll once.
    Shell("xdotool keydown space");
    SHORT state = 0;
    ASSERT_TRUE(PumpUntil([&] { return ((state = GetAsyncKeyState(VK_SPACE)) & 1) != 0; }));
    EXPECT_EQ(static_cast<uint16_t>(state), 0x8001u);
    EXPECT_EQ(static_cast<uint16_t>(GetAsyncKeyState(VK_SPACE)), 0x8000u);
    Shell("xdotool keyup space");
    ASSERT_TRUE(PumpUntil([] { return (GetAsyncKeyState(VK_SPACE) & 0x8000) == 0; }));
    GetAsyncKeyState(VK_SPACE);

    // Pressed and released between two polls: reported once.
    Shell("xdotool key space");
    Settle();
    EXPECT_EQ(static_cast<uint16_t>(GetAsyncKeyState(VK_SPACE)), 0x0001u);
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), 0);

    // Another window has the focus: the key is not ours.
    unsigned long other = server.CreateWindow(0, 0, 50, 50);
    server.Focus(other);
    ASSERT_TRUE(PumpUntil([] { return GetFocus() == nullptr; }));
    Shell("xdotool keydown space");
    Settle();
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), 0);
    Shell("xdotool keyup space");
    server.DestroyWindow(other);
}

std::vector<UINT> ItemIds(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        ids.push_back(GetMenuItemID(menu, i));
    return ids;
}

TEST_F(Windows, SystemMenuHasTheStandardItemsForTheFrameThenTheProgramsOwn) {
    struct Case {
        unsigned id;
        std::vector<UINT> standard;
        std::vector<UINT> grayed;
    };
    const Case cases[] = {
        {IDD_PROBE_MAIN,
         {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE},
         {SC_RESTORE}},
        // A dialog frame can only be moved and closed.
        {IDD_PROBE_BOX, {SC_MOVE, SC_CLOSE}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HWND hwnd = Dialog(c.id);
        HMENU menu = GetSystemMenu(hwnd, FALSE);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(ItemIds(menu), c.standard);
        for (UINT id : c.standard) {
            if (id == 0)
                continue;
            bool grayed = std::find(c.grayed.begin(), c.grayed.end(), id) != c.grayed.end();
            EXPECT_EQ((GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0, grayed) << id;
        }

        char text[128];
        ASSERT_GT(LoadStringA(nullptr, IDS_PROBE_ABOUT, text, sizeof text), 0);
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_PROBE_ABOUT, text);
        auto ids = ItemIds(menu);
        ASSERT_EQ(ids.size(), c.standard.size() + 2);
        EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(ids.size() - 2), MF_BYPOSITION),
                  MF_SEPARATOR);
        EXPECT_EQ(ids.back(), static_cast<UINT>(IDM_PROBE_ABOUT));
        char appended[128];
        GetMenuStringA(menu, IDM_PROBE_ABOUT, appended, sizeof appended, MF_BYCOMMAND);
        EXPECT_STREQ(appended, "Probe のﾊﾞｰｼﾞｮﾝ情報(&A)...");

        EXPECT_EQ(GetSystemMenu(hwnd, TRUE), nullptr);
        EXPECT_EQ(ItemIds(GetSystemMenu(hwnd, FALSE)), c.standard) << "revert keeps the standard";
    }
}

TEST_F(Windows, SystemMenuPopsUpOnAltSpaceAndRightClickAndSendsTheChoice) {
    HWND hwnd = Dialog(IDD_PROBE_MAIN);
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_PROBE_ABOUT, "Probe のﾊﾞｰｼﾞｮﾝ情報(&A)...");
    unsigned long xWindow = WaitForXWindow("Probe Main");
    ASSERT_TRUE(FocusOn(hwnd, xWindow));
    const std::string id = std::to_string(xWindow);

    struct Case {
        const char* open;
        const char* choose;
        UINT command;
        bool fromMouse;
    };
    const Case cases[] = {
        {"xdotool key alt+space", "xdotool key a", IDM_PROBE_ABOUT, false},
        {"xdotool mousemove --window ID 30 40 click 3", "xdotool key a", IDM_PROBE_ABOUT, true},
        // Mnemonics of the standard items.
        {"xdotool key alt+space", "xdotool key c", SC_CLOSE, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.open) + ", " + c.choose);
        MessageLog().clear();
        std::string open = c.open;
        if (auto at = open.find("ID"); at != std::string::npos)
            open.replace(at, 2, id);
        {
            WhenMenuOpens choose(c.choose);
            Shell(open);
            ASSERT_TRUE(PumpUntil([&] { return Received(hwnd, WM_SYSCOMMAND); }));
        }
        auto commands = MessagesOf(hwnd, {WM_SYSCOMMAND});
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].wParam, c.command);
        if (c.fromMouse) {
            POINT origin = ClientOrigin(hwnd);
            EXPECT_EQ(commands[0].lParam, MAKELPARAM(origin.x + 30, origin.y + 40));
        }
    }
    // Close from the system menu closes the way the close box does.
    EXPECT_TRUE(PumpUntil([&] { return Received(hwnd, WM_COMMAND); }));
    EXPECT_TRUE(Received(hwnd, WM_CLOSE));
    EXPECT_EQ(MessagesOf(hwnd, {WM_COMMAND}).back().wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
}

// Paints the probe icon at (10, 20) of its client area.
LRESULT CALLBACK IconPainter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT)
        return LoggingWindowProc(hwnd, message, wParam, lParam);
    MessageLog().push_back({hwnd, message, wParam, lParam});
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    DrawIcon(dc, 10, 20, LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_PROBE)));
    EndPaint(hwnd, &paint);
    return 0;
}

TEST_F(Windows, IconsComeFromTheResourceTableAndDrawAtTheirSize) {
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_PROBE));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_PROBE)), icon);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_PROBE + 1)), nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
    EXPECT_EQ(DrawIcon(nullptr, 0, 0, icon), FALSE);

    HWND hwnd = PlainWindow("Probe Icon", 100, 100);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IconPainter));
    ASSERT_NE(WaitForXWindow("Probe Icon"), 0u);
    InvalidateRect(hwnd, nullptr, TRUE);
    // The standard 32 x 32 image: red left half, blue right half, and a
    // transparent top row that leaves the background.
    auto at = [&](int x, int y) {
        POINT origin = ClientOrigin(hwnd);
        return server.PixelAt(origin.x + 10 + x, origin.y + 20 + y);
    };
    EXPECT_TRUE(PumpUntil([&] { return at(4, 10) == 0xFF0000 && at(20, 10) == 0x0000FF; }));
    EXPECT_NE(at(4, 0), 0xFF0000u);
    EXPECT_EQ(at(4, 0), at(4, -2));
    EXPECT_EQ(at(33, 10), at(40, 10)) << "drawn wider than the icon";

    EXPECT_EQ(SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)), 0);
    EXPECT_EQ(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(SendMessageA(hwnd, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(icon));
}

TEST_F(Windows, SystemCommandsDoWhatTheySay) {
    if (!server.HasWindowManager())
        GTEST_SKIP() << "minimising and maximising need a window manager";
    HWND hwnd = Dialog(IDD_PROBE_MAIN);
    ASSERT_NE(WaitForXWindow("Probe Main"), 0u);
    HMENU menu = GetSystemMenu(hwnd, FALSE);

    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(hwnd) != FALSE; }));
    ASSERT_TRUE(PumpUntil([&] {
        auto sizes = MessagesOf(hwnd, {WM_SIZE});
        return sizes.back().wParam == SIZE_MAXIMIZED;
    }));
    menu = GetSystemMenu(hwnd, FALSE);
    EXPECT_EQ(GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);

    SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(hwnd); }));

    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(hwnd) != FALSE; }));
    ASSERT_TRUE(PumpUntil([&] {
        auto sizes = MessagesOf(hwnd, {WM_SIZE});
        return sizes.back().wParam == SIZE_MINIMIZED && sizes.back().lParam == 0;
    }));

    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Received(hwnd, WM_CLOSE));
}

TEST_F(Windows, ARestoredWindowStaysWhereItWasMovedAndSaysWhereItIs) {
    if (!server.HasWindowManager())
        GTEST_SKIP() << "minimising needs a window manager";
    HWND hwnd = Dialog(IDD_PROBE_MAIN);
    unsigned long xWindow = WaitForXWindow("Probe Main");
    ASSERT_NE(xWindow, 0u);
    const std::string id = std::to_string(xWindow);
    auto reportedWhereItIs = [&] {
        POINT real = server.ScreenOrigin(xWindow);
        auto moves = MessagesOf(hwnd, {WM_MOVE});
        POINT origin = ClientOrigin(hwnd);
        return !moves.empty() && moves.back().lParam == MAKELPARAM(real.x, real.y) &&
               origin.x == real.x && origin.y == real.y;
    };

    Shell("timeout 15 xdotool windowmove --sync " + id + " 60 40");
    ASSERT_TRUE(PumpUntil(reportedWhereItIs));
    POINT moved = server.ScreenOrigin(xWindow);

    for (int cycle = 0; cycle < 2; ++cycle) {
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(PumpUntil([&] { return IsIconic(hwnd) != FALSE; }));
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(PumpUntil([&] { return !IsIconic(hwnd) && XWindowNamed("Probe Main") != 0; }));
        Settle(300ms);
        ASSERT_TRUE(PumpUntil(reportedWhereItIs));
        POINT now = server.ScreenOrigin(xWindow);
        EXPECT_EQ(now.x, moved.x);
        EXPECT_EQ(now.y, moved.y);
    }
}

} // namespace
} // namespace zv::test
