// Message maps, command routing and the parts of the class library that need
// no display.
#include "probe_resources.h"

#include <platform/afx.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

void Call(const std::string& what) {
    Calls().push_back(what);
}

class CBaseWnd : public CWnd {
public:
    afx_msg void OnSize(UINT nType, int cx, int cy) {
        Call("Base::OnSize " + std::to_string(nType) + " " + std::to_string(cx) + " " +
             std::to_string(cy));
    }
    afx_msg void OnClose() { Call("Base::OnClose"); }
    afx_msg void OnCommandHundred() { Call("Base::OnCommandHundred"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
ON_WM_SIZE()
ON_WM_CLOSE()
ON_COMMAND(100, CBaseWnd::OnCommandHundred)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    afx_msg void OnSize(UINT nType, int cx, int cy) {
        Call("Derived::OnSize " + std::to_string(nType) + " " + std::to_string(cx) + " " +
             std::to_string(cy));
    }
    afx_msg LRESULT OnSizeAgain(WPARAM, LPARAM) {
        Call("Derived::OnSizeAgain");
        return 0;
    }
    afx_msg void OnMove(int x, int y) {
        Call("Derived::OnMove " + std::to_string(x) + " " + std::to_string(y));
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
        Call("Derived::OnSysCommand " + std::to_string(nID) + " " + std::to_string(lParam));
    }
    afx_msg HCURSOR OnQueryDragIcon() {
        Call("Derived::OnQueryDragIcon");
        return reinterpret_cast<HCURSOR>(0x1234);
    }
    afx_msg void OnPaint() { Call("Derived::OnPaint"); }
    afx_msg void OnDestroy() { Call("Derived::OnDestroy"); }
    afx_msg LRESULT OnUser(WPARAM wParam, LPARAM lParam) {
        Call("Derived::OnUser");
        return static_cast<LRESULT>(wParam + lParam);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
ON_WM_SIZE()
ON_MESSAGE(WM_SIZE, CDerivedWnd::OnSizeAgain)
ON_WM_MOVE()
ON_WM_SYSCOMMAND()
ON_WM_QUERYDRAGICON()
ON_WM_PAINT()
ON_WM_DESTROY()
ON_MESSAGE(WM_USER + 1, CDerivedWnd::OnUser)
END_MESSAGE_MAP()

TEST(MessageMaps, DispatchToTheFirstEntryOfTheMostDerivedMapThenTheBases) {
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool handled;
        std::vector<std::string> calls;
        LRESULT result;
    };
    const Case cases[] = {
        // The derived map wins, and only its first entry for the message runs.
        {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200), true, {"Derived::OnSize 2 300 200"}, 0},
        // Not in the derived map: the base's handler.
        {WM_CLOSE, 0, 0, true, {"Base::OnClose"}, 0},
        // Positions are signed.
        {WM_MOVE, 0, MAKELPARAM(-5, 7), true, {"Derived::OnMove -5 7"}, 0},
        {WM_SYSCOMMAND, SC_CLOSE, 77, true, {"Derived::OnSysCommand 61536 77"}, 0},
        {WM_QUERYDRAGICON, 0, 0, true, {"Derived::OnQueryDragIcon"}, 0x1234},
        {WM_PAINT, 0, 0, true, {"Derived::OnPaint"}, 0},
        {WM_DESTROY, 0, 0, true, {"Derived::OnDestroy"}, 0},
        {WM_USER + 1, 40, 2, true, {"Derived::OnUser"}, 42},
        // Commands by id and code, through the chain.
        {WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), 0, true, {"Base::OnCommandHundred"}, 1},
        {WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0, false, {}, 0},
        {WM_KEYDOWN, VK_SPACE, 0, false, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        CDerivedWnd wnd;
        Calls().clear();
        LRESULT result = -1;
        EXPECT_EQ(wnd.OnWndMsg(c.message, c.wParam, c.lParam, &result), c.handled);
        EXPECT_EQ(Calls(), c.calls);
        if (c.handled) {
            EXPECT_EQ(result, c.result);
        }
    }
}

class CRoutingApp : public CWinApp {
public:
    afx_msg void OnHelpCommand() { Call("App::OnHelpCommand"); }
    afx_msg void OnControlFive() { Call("App::OnControlFive"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRoutingApp, CWinApp)
ON_COMMAND(ID_HELP, CRoutingApp::OnHelpCommand)
ON_COMMAND(5, CRoutingApp::OnControlFive)
END_MESSAGE_MAP()

TEST(MessageMaps, DialogsPassCommandsButNotControlIdsOnToTheApplication) {
    CRoutingApp app;
    ASSERT_EQ(AfxGetApp(), &app);
    CDialog dialog;
    Calls().clear();
    EXPECT_TRUE(dialog.OnCmdMsg(ID_HELP, BN_CLICKED));
    EXPECT_FALSE(dialog.OnCmdMsg(5, BN_CLICKED));
    EXPECT_FALSE(dialog.OnCmdMsg(SC_CLOSE, BN_CLICKED));
    EXPECT_EQ(Calls(), std::vector<std::string>{"App::OnHelpCommand"});
}

class CCountingApp : public CWinApp {
public:
    BOOL BaseIdle(LONG count) { return CWinApp::OnIdle(count); }
    BOOL ThreadIdle(LONG count) { return CWinThread::OnIdle(count); }
};

TEST(Application, OwnIdleWorkAsksForMoreOnlyOnTheFirstCall) {
    CCountingApp app;
    const LONG counts[] = {0, 1, 2, 10};
    for (LONG count : counts) {
        SCOPED_TRACE(count);
        EXPECT_EQ(app.BaseIdle(count), count == 0 ? TRUE : FALSE);
        EXPECT_EQ(app.ThreadIdle(count), FALSE);
    }
}

TEST(Application, IsTheOneObjectConstructedAndIsNamedAfterTheExecutable) {
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        CCountingApp first;
        CCountingApp second;
        EXPECT_EQ(AfxGetApp(), &first);
        EXPECT_STREQ(first.m_pszAppName, "zv_mfc_tests");
        CWinApp named("Named");
        EXPECT_STREQ(named.m_pszAppName, "Named");
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(Application, EndsAtOnceWhenThereIsNothingToRun) {
    {
        struct FailingApp : CWinApp {
            BOOL InitInstance() override { return FALSE; }
        } app;
        EXPECT_EQ(AfxWinMain(), 0) << "a start the program refused ends with ExitInstance";
    }
    {
        // Without a window no message could ever arrive.
        struct WindowlessApp : CWinApp {
            BOOL InitInstance() override { return TRUE; }
        } app;
        EXPECT_EQ(AfxWinMain(), 1);
    }
}

TEST(Windows, ObjectsForHandlesArePermanentWhenAttachedElseTemporary) {
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    HWND handle = reinterpret_cast<HWND>(0x5000);
    CWnd owner;
    ASSERT_TRUE(owner.Attach(handle));
    EXPECT_FALSE(CWnd().Attach(handle)) << "one object per window";
    EXPECT_EQ(CWnd::FromHandle(handle), &owner);
    EXPECT_EQ(CWnd::FromHandlePermanent(handle), &owner);
    EXPECT_EQ(owner.Detach(), handle);

    CWnd* temporary = CWnd::FromHandle(handle);
    ASSERT_NE(temporary, nullptr);
    EXPECT_NE(temporary, &owner);
    EXPECT_EQ(temporary->m_hWnd, handle);
    EXPECT_EQ(CWnd::FromHandle(handle), temporary);
    EXPECT_EQ(CWnd::FromHandlePermanent(handle), nullptr);
}

TEST(Strings, LoadFromTheExecutablesTableAndFormat) {
    CString text;
    EXPECT_TRUE(text.LoadString(IDS_PROBE_ABOUT));
    EXPECT_STREQ(text, "Probe のﾊﾞｰｼﾞｮﾝ情報(&A)...");
    EXPECT_FALSE(text.IsEmpty());
    EXPECT_FALSE(text.LoadString(999));
    EXPECT_TRUE(text.IsEmpty());
    text.Format("%s:%d,%d", "Hxp", 640, -1);
    EXPECT_STREQ(text, "Hxp:640,-1");
    EXPECT_EQ(text.GetLength(), 10);
}

TEST(Menus, AppendThroughTheirObjects) {
    CMenu menu;
    ASSERT_TRUE(menu.Attach(CreatePopupMenu()));
    EXPECT_TRUE(menu.AppendMenu(MF_SEPARATOR));
    EXPECT_TRUE(menu.AppendMenu(MF_STRING, 0x10, "About"));
    EXPECT_EQ(menu.GetMenuItemCount(), 2u);
    EXPECT_EQ(menu.GetMenuItemID(1), 0x10u);
    CString text;
    menu.GetMenuString(0x10, text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "About");
    CMenu* same = CMenu::FromHandle(menu.m_hMenu);
    EXPECT_EQ(same->m_hMenu, menu.m_hMenu);
    EXPECT_EQ(CMenu::FromHandle(nullptr), nullptr);
}

} // namespace
