// A program built the way the system's own is: an application object in
// static storage, a modeless main dialog that ends the program when it is
// cancelled or closed, and the library's main. It reports what happens to
// it on standard output.
#include "probe_resources.h"

#include <platform/afx.h>

#include <cstdarg>
#include <cstdio>

namespace {

void Report(const char* format, ...) __attribute__((format(printf, 1, 2)));

void Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    std::fflush(stdout);
}

class CProbeMainDlg : public CDialog {
public:
    CProbeMainDlg() : CDialog(IDD_PROBE_MAIN) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (CMenu* menu = GetSystemMenu(FALSE)) {
            CString about;
            about.LoadString(IDS_PROBE_ABOUT);
            menu->AppendMenu(MF_SEPARATOR);
            menu->AppendMenu(MF_STRING, IDM_PROBE_ABOUT, about);
        }
        Report("InitDialog");
        return TRUE;
    }

protected:
    void OnCancel() override {
        Report("Cancel");
        CDialog::OnCancel();
        DestroyWindow();
    }
    void PostNcDestroy() override {
        Report("PostNcDestroy");
        delete this;
    }
    afx_msg void OnSize(UINT nType, int cx, int cy) {
        Report("Size %u %d %d", nType, cx, cy);
        CDialog::OnSize(nType, cx, cy);
    }
    afx_msg void OnMove(int x, int y) {
        Report("Move");
        CDialog::OnMove(x, y);
    }
    afx_msg void OnClose() {
        Report("Close");
        CDialog::OnClose();
        DestroyWindow();
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
        if ((nID & 0xFFF0) == IDM_PROBE_ABOUT) {
            CDialog box(IDD_PROBE_BOX);
            Report("About %d", static_cast<int>(box.DoModal()));
        } else {
            CDialog::OnSysCommand(nID, lParam);
        }
    }
    afx_msg void OnDestroy() {
        Report("Destroy");
        CDialog::OnDestroy();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeMainDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_MOVE()
END_MESSAGE_MAP()

class CProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        AfxEnableControlContainer();
        Enable3dControlsStatic();
        auto* main = new CProbeMainDlg;
        main->Create(IDD_PROBE_MAIN);
        main->ShowWindow(SW_SHOW);
        m_pMainWnd = main;
        return TRUE;
    }
    int ExitInstance() override {
        int status = CWinApp::ExitInstance();
        Report("ExitInstance %d", status);
        return status;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CProbeApp theApp;

} // namespace
