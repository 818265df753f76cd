// The class library on a real X server: dialogs, the idle loop, modal boxes,
// focus and the default command handling.
#include "display_support.h"
#include "probe_resources.h"

#include <platform/afx.h>
#include <platform/testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zv::test {
namespace {

std::vector<std::string>& Events() {
    static std::vector<std::string> events;
    return events;
}

void Note(const std::string& event) {
    Events().push_back(event);
}

bool Noted(const std::string& event) {
    return std::find(Events().begin(), Events().end(), event) != Events().end();
}

// The rest of the first event that starts with the prefix; empty if none.
std::string NotedAfter(const std::string& prefix) {
    auto found = std::find_if(Events().begin(), Events().end(),
                              [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    return found == Events().end() ? std::string() : found->substr(prefix.size());
}

class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(UINT id = IDD_PROBE_MAIN, bool deleteSelf = false)
        : CDialog(id), m_deleteSelf(deleteSelf) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        Note("InitDialog");
        return TRUE;
    }
    void PostNcDestroy() override {
        Note("PostNcDestroy");
        if (m_deleteSelf)
            delete this;
    }

protected:
    void OnOK() override {
        Note("OK");
        CDialog::OnOK();
    }
    void OnCancel() override {
        Note("Cancel");
        CDialog::OnCancel();
    }
    afx_msg void OnSize(UINT nType, int cx, int cy) {
        Note("Size " + std::to_string(nType) + " " + std::to_string(cx) + " " + std::to_string(cy));
        CDialog::OnSize(nType, cx, cy);
    }
    afx_msg void OnMove(int, int) { Note("Move"); }
    afx_msg void OnDestroy() {
        Note("Destroy");
        CDialog::OnDestroy();
    }
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        Note(dc.m_hDC != nullptr ? "Paint with a context" : "Paint without a context");
    }

private:
    bool m_deleteSelf;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
ON_WM_SIZE()
ON_WM_MOVE()
ON_WM_DESTROY()
ON_WM_PAINT()
END_MESSAGE_MAP()

class Framework : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Connected())
            GTEST_SKIP() << "needs an X server";
        Events().clear();
    }

    XServer server;
};

TEST_F(Framework, CreatingFromATemplateSizesAndMovesBeforeOnInitDialog) {
    CProbeDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_PROBE_MAIN));
    ASSERT_GE(Events().size(), 3u);
    EXPECT_EQ(Events()[0], "Size 0 420 418");
    EXPECT_EQ(Events()[1], "Move");
    EXPECT_EQ(Events()[2], "InitDialog");
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    EXPECT_TRUE(PumpUntil([] { return Noted("Paint with a context"); }));

    HWND hwnd = dialog.m_hWnd;
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "destruction detaches the object";
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(Noted("Destroy"));
    EXPECT_EQ(Events().back(), "PostNcDestroy");
}

TEST_F(Framework, DefaultOkAndCancelOnlyHideAModelessDialog) {
    CProbeDlg dialog(IDD_PROBE_BOX);
    ASSERT_TRUE(dialog.Create(IDD_PROBE_BOX));
    dialog.ShowWindow(SW_SHOW);
    unsigned long xWindow = WaitForXWindow("Probe Box");
    ASSERT_NE(xWindow, 0u);

    struct Case {
        const char* what;
        const char* event;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"Enter", "OK", [] { Shell("xdotool key Return"); }},
        {"Escape", "Cancel", [] { Shell("xdotool key Escape"); }},
        {"close box", "Cancel", [&] { server.RequestClose(xWindow); }},
    };
    HWND okButton = GetDlgItem(dialog.m_hWnd, IDOK);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialog.ShowWindow(SW_SHOW);
        ASSERT_EQ(WaitForXWindow("Probe Box"), xWindow);
        Shell("timeout 15 xdotool windowfocus --sync " + std::to_string(xWindow));
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == okButton; }));
        Events().clear();
        c.act();
        ASSERT_TRUE(PumpUntil([&] { return Noted(c.event); }));
        Settle(50ms);
        EXPECT_EQ(Events(), std::vector<std::string>{c.event});
        EXPECT_TRUE(IsWindow(dialog.m_hWnd));
        EXPECT_FALSE(dialog.IsWindowVisible());
    }
}

TEST_F(Framework, FocusMapsToTheWindowsObject) {
    CProbeDlg main;
    ASSERT_TRUE(main.Create(IDD_PROBE_MAIN));
    unsigned long mainWindow = WaitForXWindow("Probe Main");
    Shell("timeout 15 xdotool windowfocus --sync " + std::to_string(mainWindow));
    ASSERT_TRUE(PumpUntil([&] { return CWnd::GetFocus() == &main; }));

    // A control has no object of its own: a temporary one stands for it.
    CProbeDlg box(IDD_PROBE_BOX);
    ASSERT_TRUE(box.Create(IDD_PROBE_BOX));
    box.ShowWindow(SW_SHOW);
    unsigned long boxWindow = WaitForXWindow("Probe Box");
    Shell("timeout 15 xdotool windowfocus --sync " + std::to_string(boxWindow));
    CWnd* focus = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        focus = CWnd::GetFocus();
        return focus != nullptr && focus != &main;
    }));
    EXPECT_EQ(focus->m_hWnd, GetDlgItem(box.m_hWnd, IDOK));
    EXPECT_EQ(CWnd::FromHandlePermanent(focus->m_hWnd), nullptr);
}

TEST_F(Framework, SystemCloseGoesThroughTheDefaultProcessingToCancel) {
    CProbeDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_PROBE_MAIN));
    dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([] { return Noted("Cancel"); }));
}

class CHelpApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

TEST_F(Framework, F1AsksTheApplicationForHelpThroughTheMainWindow) {
    CHelpApp app;
    CProbeDlg main;
    ASSERT_TRUE(main.Create(IDD_PROBE_MAIN));
    app.m_pMainWnd = &main;
    zv::testing::MessageBoxRecorder boxes;
    Shell("timeout 15 xdotool windowfocus --sync " + std::to_string(WaitForXWindow("Probe Main")));
    ASSERT_TRUE(PumpUntil([&] { return CWnd::GetFocus() == &main; }));
    Shell("xdotool key F1");
    ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty(); }));
    EXPECT_EQ(boxes.boxes[0].text, "ヘルプはありません。");
    EXPECT_EQ(boxes.boxes[0].helpId, ID_HELP);
    app.m_pMainWnd = nullptr;
}

// Idle calls so far, for the boxes to note.
size_t g_idleCalls = 0;

class CCountingBox : public CProbeDlg {
public:
    CCountingBox() : CProbeDlg(IDD_PROBE_BOX) {}
    BOOL OnInitDialog() override {
        Note("Box opened after " + std::to_string(g_idleCalls));
        return CProbeDlg::OnInitDialog();
    }
};

// The main window of the idle-loop tests: it deletes itself, and records
// what the loop delivers.
class CLoopDlg : public CProbeDlg {
public:
    CLoopDlg() : CProbeDlg(IDD_PROBE_MAIN, true) {}

    afx_msg LRESULT OnPosted(WPARAM, LPARAM) {
        Note("Posted");
        return 0;
    }
    afx_msg LRESULT OnOpenBox(WPARAM, LPARAM) {
        CCountingBox box;
        INT_PTR result = box.DoModal();
        Note("DoModal " + std::to_string(result) + " after " + std::to_string(g_idleCalls));
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLoopDlg, CProbeDlg)
ON_MESSAGE(WM_USER, CLoopDlg::OnPosted)
ON_MESSAGE(WM_USER + 1, CLoopDlg::OnOpenBox)
END_MESSAGE_MAP()

// An application whose idle handler runs a script: what to do when the
// count reaches a value for the nth time.
class CScriptedApp : public CWinApp {
public:
    BOOL InitInstance() override {
        auto* main = new CLoopDlg;
        main->Create(IDD_PROBE_MAIN);
        m_pMainWnd = main;
        return TRUE;
    }

    BOOL OnIdle(LONG lCount) override {
        EXPECT_NE(m_pMainWnd, nullptr) << "idle time after the main window went";
        counts.push_back(lCount);
        g_idleCalls = counts.size();
        BOOL more = CWinApp::OnIdle(lCount);
        if (step)
            step(lCount);
        return alwaysMore ? TRUE : more;
    }

    std::vector<LONG> counts;
    std::function<void(LONG)> step;
    bool alwaysMore = true;
};

TEST_F(Framework, IdleCountsRestartAfterEachMessageAndRunEndsWithTheMainWindow) {
    CScriptedApp app;
    size_t postedAt = 0;
    app.step = [&](LONG count) {
        if (count == 5 && postedAt == 0) {
            postedAt = app.counts.size();
            app.m_pMainWnd->PostMessage(WM_USER);
        }
        // Ends the loop once idle time has resumed after the posted message.
        if (postedAt != 0 && app.counts.size() > postedAt + 3 && Noted("Posted"))
            app.m_pMainWnd->DestroyWindow();
    };
    EXPECT_EQ(AfxWinMain(), 0);

    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(Noted("PostNcDestroy"));
    ASSERT_GT(app.counts.size(), postedAt + 3);
    EXPECT_EQ(app.counts[0], 0);
    for (size_t i = 1; i < app.counts.size(); ++i)
        EXPECT_TRUE(app.counts[i] == 0 || app.counts[i] == app.counts[i - 1] + 1)
            << "count " << app.counts[i] << " after " << app.counts[i - 1];
    EXPECT_EQ(app.counts[postedAt], 0) << "the posted message ended idleness";
}

TEST_F(Framework, WithTheLibrarysOwnIdleWorkTheLoopWaitsAfterTheSecondCall) {
    CScriptedApp app;
    app.alwaysMore = false;
    // A real move wakes the waiting loop; the second one ends it.
    int idleRuns = 0;
    app.step = [&](LONG count) {
        if (count != 1)
            return;
        HWND main = app.m_pMainWnd->m_hWnd;
        if (++idleRuns == 3)
            app.m_pMainWnd->DestroyWindow();
        else
            MoveWindow(main, 10 * idleRuns, 10 * idleRuns, 420, 418, TRUE);
    };
    EXPECT_EQ(AfxWinMain(), 0);
    EXPECT_EQ(idleRuns, 3);
    for (LONG count : app.counts)
        EXPECT_LE(count, 1);
}

TEST_F(Framework, IdleStopsWhileAModalBoxRuns) {
    CScriptedApp app;
    bool opened = false;
    app.step = [&](LONG count) {
        if (count == 3 && !opened) {
            opened = true;
            app.m_pMainWnd->PostMessage(WM_USER + 1);
        }
        if (count == 3 && !NotedAfter("DoModal ").empty())
            app.m_pMainWnd->DestroyWindow();
    };
    // Escape closes the box once it is up.
    InBackground closer("timeout 15 xdotool search --sync --onlyvisible --name '^Probe Box$' "
                        "windowfocus --sync key Escape");
    EXPECT_EQ(AfxWinMain(), 0);

    std::string atOpen = NotedAfter("Box opened after ");
    ASSERT_FALSE(atOpen.empty());
    EXPECT_EQ(NotedAfter("DoModal 2 after "), atOpen) << "idle calls while the box was open";
    EXPECT_GT(app.counts.size(), std::stoul(atOpen)) << "idle calls resume after the box";
}

} // namespace
} // namespace zv::test
