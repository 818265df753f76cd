// The main window as a real window on a virtual X server, over the recorded
// graphics layer: what its creation does, ticks with and without the focus
// and the space bar, the About command, how it ends, and the set-up failures.
#include "recording_graphics.h"
#include "test_surface_dlg.h"

#include "display_support.h"

#include <platform/testing.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace zv::test;

std::string HandleName(HWND hwnd) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(hwnd));
    return text;
}

// Moves come whenever the window manager or the server place the window.
std::vector<std::string> WithoutMoves(std::vector<std::string> calls) {
    std::erase_if(calls, [](const std::string& call) { return call.starts_with("HXPMoveWindow"); });
    return calls;
}

long CountOf(const std::vector<std::string>& calls, const std::string& call) {
    return std::count(calls.begin(), calls.end(), call);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Connected())
            GTEST_SKIP() << "needs an X server";
        recorder.Reset();
        deleted = false;
        dlg = new CTestSurfaceDlg;
        dlg->m_pDeleted = &deleted;
        ASSERT_TRUE(dlg->Create(IDD_SURFACE_DIALOG));
        hwnd = dlg->m_hWnd;
        creationCalls = recorder.log.Entries();
        recorder.Name(hwnd, "window");
        dlg->ShowWindow(SW_SHOW);
        xWindow = WaitForXWindow("Zevra");
        ASSERT_NE(xWindow, 0u);
        recorder.log.Clear();
    }

    void TearDown() override {
        if (dlg != nullptr && !deleted)
            dlg->DestroyWindow();
        Settle(20ms);
        theApp.m_pFrameWnd = nullptr;
    }

    std::vector<std::string> Calls() const { return WithoutMoves(recorder.log.Entries()); }

    bool Focus() {
        Shell("timeout 15 xdotool windowfocus --sync " + std::to_string(xWindow));
        return PumpUntil([&] { return GetFocus() == hwnd; });
    }

    apptest::Recorder& recorder = apptest::TheRecorder();
    zv::testing::MessageBoxRecorder boxes;
    XServer server;
    CTestSurfaceDlg* dlg = nullptr;
    bool deleted = false;
    HWND hwnd = nullptr;
    unsigned long xWindow = 0;
    std::vector<std::string> creationCalls;
};

TEST_F(MainWindowTest, CreationSizesAndMovesBeforeItInitialises) {
    RECT client{};
    GetClientRect(hwnd, &client);
    ASSERT_GE(creationCalls.size(), 3u);
    EXPECT_EQ(creationCalls[0], "ReleaseBitmapTexture");
    EXPECT_EQ(creationCalls[1], "HXPResizeWindow(" + HandleName(hwnd) + ", " +
                                    std::to_string(client.right) + ", " +
                                    std::to_string(client.bottom) + ")");
    EXPECT_EQ(WithoutMoves({creationCalls.begin() + 2, creationCalls.end()}),
              std::vector<std::string>{})
        << "then only moves";
    EXPECT_EQ(creationCalls[2], "HXPMoveWindow(" + HandleName(hwnd) + ")");
    EXPECT_EQ(dlg->m_cx, client.right);
    EXPECT_EQ(dlg->m_cy, client.bottom);
    EXPECT_EQ(dlg->m_bNeedSetup, 1);
    EXPECT_EQ(theApp.m_pFrameWnd, dlg);
}

TEST_F(MainWindowTest, SystemMenuEndsWithTheAboutEntryAndTheIconsAreSet) {
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    ASSERT_NE(menu, nullptr);
    int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_NE(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Zevra のﾊﾞｰｼﾞｮﾝ情報(&A)...");

    for (WPARAM which : {ICON_BIG, ICON_SMALL})
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, which, 0)), dlg->m_hIcon)
            << which;
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_QUERYDRAGICON, 0, 0)), dlg->m_hIcon);
}

TEST_F(MainWindowTest, TicksPokeWhenTheSpaceBarIsDownOrWasPressedSinceTheLastPoll) {
    ASSERT_TRUE(Focus());
    dlg->OnFrameTick();
    EXPECT_EQ(CountOf(Calls(), "CreateDirectDrawWin(window)"), 1) << "the first tick sets up";
    EXPECT_EQ(CountOf(Calls(), "HXPPresent"), 1);

    struct Case {
        const char* what;
        const char* before;
        bool pokedFirst;
        bool pokedSecond;
        const char* after;
    };
    const Case cases[] = {
        {"no key", "true", false, false, "true"},
        {"space held", "xdotool keydown space", true, true, "xdotool keyup space"},
        {"space pressed and released", "xdotool key space", true, false, "true"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Shell(c.before));
        Settle();
        DisplacementField field = dlg->m_field;
        recorder.log.Clear();

        dlg->OnFrameTick();
        field = NextFrameField(field, c.pokedFirst);
        EXPECT_TRUE(SameField(dlg->m_field, field)) << "first tick";
        dlg->OnFrameTick();
        field = NextFrameField(field, c.pokedSecond);
        EXPECT_TRUE(SameField(dlg->m_field, field)) << "second tick";
        EXPECT_EQ(CountOf(Calls(), "HXPPresent"), 2) << "one frame per tick";
        EXPECT_EQ(CountOf(Calls(), "HXPInitialize"), 0);

        Shell(c.after);
        Settle();
        // Forget a press the poll has not seen yet.
        GetAsyncKeyState(VK_SPACE);
    }
}

TEST_F(MainWindowTest, ATickWhileAnotherWindowHasTheFocusDoesNothing) {
    ASSERT_TRUE(Focus());
    unsigned long other = server.CreateWindow(0, 0, 100, 100);
    server.Focus(other);
    ASSERT_TRUE(PumpUntil([] { return GetFocus() == nullptr; }));
    Shell("xdotool keydown space");
    Settle();
    DisplacementField field = dlg->m_field;

    for (int tick = 0; tick < 3; ++tick)
        dlg->OnFrameTick();

    EXPECT_EQ(Calls(), std::vector<std::string>{});
    EXPECT_TRUE(SameField(dlg->m_field, field)) << "neither poked nor stepped";
    Shell("xdotool keyup space");
    server.DestroyWindow(other);
}

TEST_F(MainWindowTest, EveryIdleCallIsOneTickOnceTheWindowRegistered) {
    ASSERT_TRUE(Focus());
    ASSERT_EQ(theApp.m_pFrameWnd, dlg);
    long frames = 0;
    for (LONG count : {0, 1, 2, 7}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(theApp.OnIdle(count), TRUE);
        EXPECT_EQ(CountOf(Calls(), "device->EndScene"), ++frames);
    }
}

TEST_F(MainWindowTest, TheAboutCommandOpensTheAboutBoxModally) {
    const std::string names = ::testing::TempDir() + "zevra_about_names";
    // Any id from 0x10 to 0x1F is the About command.
    for (WPARAM command : {IDM_ABOUTBOX, IDM_ABOUTBOX | 0xF}) {
        SCOPED_TRACE(command);
        std::remove(names.c_str());
        std::string pid = std::to_string(getpid());
        std::string list = "xdotool search --onlyvisible --pid " + pid;
        InBackground closer("for i in $(seq 300); do [ $(" + list +
                                " | wc -l) -ge 2 ] && break; sleep 0.05; done; " +
                            "for w in $(" + list + "); do xdotool getwindowname $w; done > " +
                            names + "; for w in $(" + list +
                            "); do [ \"$(xdotool getwindowname $w)\" = Zevra ] || "
                            "timeout 15 xdotool windowfocus --sync $w key Escape; done");
        SendMessageA(hwnd, WM_SYSCOMMAND, command, 0);

        std::ifstream file(names);
        std::vector<std::string> titles;
        for (std::string line; std::getline(file, line);)
            titles.push_back(line);
        std::sort(titles.begin(), titles.end());
        EXPECT_EQ(titles, (std::vector<std::string>{"Zevra", "Zevraのﾊﾞｰｼﾞｮﾝ情報"}));
    }
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(deleted);
}

TEST_F(MainWindowTest, EscapeEnterAndTheCloseBoxEndTheWindowAndReleaseOnce) {
    struct Case {
        const char* what;
        std::string action;
    };
    const Case cases[] = {
        {"Escape", "xdotool key Escape"},
        {"Enter", "xdotool key Return"},
        {"close box", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (hwnd == nullptr)
            SetUp();
        ASSERT_TRUE(Focus());
        dlg->OnFrameTick();
        recorder.log.Clear();

        if (c.action.empty())
            server.RequestClose(xWindow);
        else
            Shell(c.action);
        ASSERT_TRUE(PumpUntil([&] { return deleted; }));

        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(theApp.m_pFrameWnd, nullptr);
        EXPECT_EQ(Calls(),
                  (std::vector<std::string>{"ReleaseBitmapTexture", "material1->Release",
                                            "frame2->Release", "frame1->Release", "HXPCleanup",
                                            // The destructor's release finds nothing left.
                                            "ReleaseBitmapTexture"}));
        hwnd = nullptr;
    }
}

// What a set-up failure leaves behind, written when the process ends.
struct FailureReport {
    zv::testing::MessageBoxRecorder* boxes;
    HWND hwnd;
    bool* deleted;
};
FailureReport g_failure;

void WriteFailureReport() {
    std::string report = "report: boxes:";
    for (const auto& box : g_failure.boxes->boxes)
        report += " [" + box.text + "]";
    report += " calls:";
    for (const auto& call : WithoutMoves(apptest::TheRecorder().log.Entries()))
        report += " [" + call + "]";
    report += IsWindow(g_failure.hwnd) ? " window alive" : " window gone";
    report += *g_failure.deleted ? ", object deleted" : ", object kept";
    std::fprintf(stderr, "%s\n", report.c_str());
}

std::string Escaped(const std::string& text) {
    std::string pattern;
    for (char ch : text) {
        if (std::string("\\^$.|?*+()[]{}").find(ch) != std::string::npos)
            pattern += '\\';
        pattern += ch;
    }
    return pattern;
}

TEST_F(MainWindowTest, AFailedSetUpShowsItsMessageDestroysTheWindowAndExitsWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string kFailed = "DirectXの初期化に失敗しました";
    const std::string kTail =
        " [ReleaseBitmapTexture] [HXPCleanup] [ReleaseBitmapTexture] window gone, object deleted";
    struct Case {
        const char* what;
        BOOL initialize;
        BOOL createD3DRM;
        std::string report;
    };
    const Case cases[] = {
        {"HXPInitialize fails", 0, 1, "boxes: [" + kFailed + "] calls: [HXPInitialize]" + kTail},
        {"CreateD3DRM fails", 1, 0,
         "boxes: [CreateD3DRM's own message] [" + kFailed +
             "] calls: [HXPInitialize] [HXPSetPreferRgb(1)] [CreateDirectDrawWin(window)] "
             "[CreateD3DRM]" +
             kTail},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto failSetUp = [&] {
            recorder.script.initializeResult = c.initialize;
            recorder.script.createD3DRMResult = c.createD3DRM;
            g_failure = {&boxes, hwnd, &deleted};
            std::atexit(WriteFailureReport);
            dlg->RenderFrame();
        };
        EXPECT_EXIT(failSetUp(), ::testing::ExitedWithCode(1),
                    Escaped("report: " + c.report + "\n"));
    }
}

} // namespace
