// Dialogs built from the test program's templates, on a real X server.
#include "display_fixture.h"
#include "probe_resources.h"

#include <cstdlib>

namespace zv::test {
namespace {

using Dialogs = DisplayTest;

TEST_F(Dialogs, TakeTheirClientSizeFromDialogUnitsOfTheTemplateFont) {
    // IPAPGothic 9 pt has base units of 7 x 13 pixels.
    struct Case {
        unsigned id;
        LONG width, height;
    };
    const Case cases[] = {
        {IDD_PROBE_MAIN, 420, 418},  // 240 x 257 units
        {IDD_PROBE_BOX, 411, 89},    // 235 x 55 units
        {IDD_PROBE_PLACED, 175, 65}, // 100 x 40 units
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HWND hwnd = Dialog(c.id);
        ASSERT_NE(hwnd, nullptr);
        RECT client{};
        ASSERT_TRUE(GetClientRect(hwnd, &client));
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, c.width);
        EXPECT_EQ(client.bottom, c.height);
    }
}

TEST_F(Dialogs, DeliverSizeAndMoveBeforeInitDialog) {
    HWND hwnd = Dialog(IDD_PROBE_MAIN, nullptr, 1234);
    ASSERT_NE(hwnd, nullptr);
    auto messages = MessagesOf(hwnd, {WM_SIZE, WM_MOVE, WM_INITDIALOG});
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, WM_SIZE);
    EXPECT_EQ(messages[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(messages[0].lParam, MAKELPARAM(420, 418));
    EXPECT_EQ(messages[1].message, WM_MOVE);
    POINT origin = ClientOrigin(hwnd);
    EXPECT_EQ(messages[1].lParam, MAKELPARAM(origin.x, origin.y));
    EXPECT_EQ(messages[2].message, WM_INITDIALOG);
    EXPECT_EQ(messages[2].lParam, 1234);
}

TEST_F(Dialogs, OpenCentredOnTheScreenOrOverTheirOwner) {
    HWND main = Dialog(IDD_PROBE_MAIN);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(WaitForXWindow("Probe Main"), 0u);
    Settle();
    // A window manager adds a frame that the first placement cannot know;
    // odd sizes halve with a pixel to spare.
    const LONG slack = server.HasWindowManager() ? 40 : 1;
    auto centre = [](const RECT& r) {
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };

    RECT window{};
    GetWindowRect(main, &window);
    POINT screenCentre{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    EXPECT_NEAR(centre(window).x, screenCentre.x, slack);
    EXPECT_NEAR(centre(window).y, screenCentre.y, slack);

    HWND box = Dialog(IDD_PROBE_BOX, main);
    ShowWindow(box, SW_SHOW);
    ASSERT_NE(WaitForXWindow("Probe Box"), 0u);
    Settle();
    RECT boxRect{};
    GetWindowRect(box, &boxRect);
    GetWindowRect(main, &window);
    EXPECT_NEAR(centre(boxRect).x, centre(window).x, slack);
    EXPECT_NEAR(centre(boxRect).y, centre(window).y, slack);
}

TEST_F(Dialogs, WithAbsoluteAlignmentStayWhereTheTemplateSays) {
    if (server.HasWindowManager())
        GTEST_SKIP() << "the window manager places windows itself";
    HWND hwnd = Dialog(IDD_PROBE_PLACED);
    ShowWindow(hwnd, SW_SHOW);
    ASSERT_NE(WaitForXWindow("Probe Placed"), 0u);
    POINT origin = ClientOrigin(hwnd);
    // 20 x 30 dialog units of 7 x 13 pixels.
    EXPECT_EQ(origin.x, 35);
    EXPECT_EQ(origin.y, 49);
}

TEST_F(Dialogs, TurnEnterEscapeAndTheCloseBoxIntoCommands) {
    HWND box = Dialog(IDD_PROBE_BOX);
    ShowWindow(box, SW_SHOW);
    unsigned long xWindow = WaitForXWindow("Probe Box");
    ASSERT_TRUE(FocusOn(box, xWindow));
    HWND okButton = GetDlgItem(box, IDOK);
    ASSERT_NE(okButton, nullptr);

    struct Case {
        const char* what;
        std::function<void()> act;
        WPARAM command;
        LPARAM control;
    };
    const Case cases[] = {
        {"Enter presses the default button", [] { Shell("xdotool key Return"); }, IDOK,
         reinterpret_cast<LPARAM>(okButton)},
        {"Escape cancels", [] { Shell("xdotool key Escape"); }, IDCANCEL, 0},
        {"the close box cancels", [&] { server.RequestClose(xWindow); }, IDCANCEL, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageLog().clear();
        c.act();
        ASSERT_TRUE(PumpUntil([&] { return Received(box, WM_COMMAND); }));
        auto commands = MessagesOf(box, {WM_COMMAND});
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].wParam, MAKEWPARAM(c.command, BN_CLICKED));
        EXPECT_EQ(commands[0].lParam, c.control);
    }
    // The close box goes through WM_CLOSE, whose default processing posts the
    // command; the box stays, as nobody ended it.
    EXPECT_TRUE(Received(box, WM_CLOSE));
    EXPECT_TRUE(IsWindow(box));
}

BOOL g_ownerEnabledInLoop = TRUE;

// Ends itself with 42 from a message posted while its modal loop runs.
INT_PTR CALLBACK SelfEndingBox(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LoggingDialogProc(hwnd, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        PostMessageA(hwnd, WM_USER, 0, 0);
    if (message == WM_USER) {
        g_ownerEnabledInLoop = IsWindowEnabled(GetParent(hwnd));
        EndDialog(hwnd, 42);
    }
    return message == WM_INITDIALOG;
}

TEST_F(Dialogs, RunModallyWithTheirOwnerDisabled) {
    HWND main = Dialog(IDD_PROBE_MAIN);
    ASSERT_NE(main, nullptr);
    INT_PTR result =
        DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_PROBE_BOX), main, SelfEndingBox, 0);
    EXPECT_EQ(result, 42);

    auto posted = std::find_if(MessageLog().begin(), MessageLog().end(),
                               [](const LoggedMessage& m) { return m.message == WM_USER; });
    ASSERT_NE(posted, MessageLog().end());
    EXPECT_FALSE(g_ownerEnabledInLoop);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_FALSE(IsWindow(posted->hwnd)) << "the box outlived DialogBoxParamA";
}

TEST_F(Dialogs, EndDialogOnlyHidesAModelessOne) {
    HWND hwnd = Dialog(IDD_PROBE_MAIN);
    ASSERT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(EndDialog(hwnd, IDOK));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(Dialogs, DestroyingSendsDestroyThenNcDestroyAndKillsEveryHandle) {
    HWND box =
        CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_PROBE_BOX), nullptr, LoggingDialogProc, 0);
    HWND okButton = GetDlgItem(box, IDOK);
    ASSERT_TRUE(IsWindow(okButton));
    ASSERT_TRUE(DestroyWindow(box));
    auto messages = MessagesOf(box, {WM_DESTROY, WM_NCDESTROY});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_DESTROY);
    EXPECT_EQ(messages[1].message, WM_NCDESTROY);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(IsWindow(okButton));
    EXPECT_FALSE(DestroyWindow(box));
    // Handles are not reused: a new window never answers to the old handle.
    HWND next = Dialog(IDD_PROBE_BOX);
    EXPECT_NE(next, box);
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(Dialogs, MissingTemplatesMakeNoWindow) {
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, LoggingDialogProc, 0),
              nullptr);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, LoggingDialogProc, 0), -1);
    EXPECT_TRUE(MessageLog().empty());
}

} // namespace
} // namespace zv::test
