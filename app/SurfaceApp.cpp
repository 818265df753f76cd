#include "SurfaceApp.h"

#include "SurfaceDlg.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CSurfaceApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CSurfaceApp::CSurfaceApp() : m_pFrameWnd(nullptr) {}

CSurfaceApp::~CSurfaceApp() = default;

CSurfaceApp theApp;

BOOL CSurfaceApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    CSurfaceDlg* pDlg = new CSurfaceDlg(nullptr);
    if (!pDlg->Create(IDD_SURFACE_DIALOG, nullptr)) {
        // No window, no frames: the object would only leak, and without a
        // main window the framework ends the program with its own message.
        delete pDlg;
        return TRUE;
    }
    pDlg->ShowWindow(SW_SHOW);
    m_pMainWnd = pDlg;
    return TRUE;
}

BOOL CSurfaceApp::OnIdle(LONG lCount) {
    // The platform's own idle work comes first: it frees temporary objects
    // and lets the toolkit catch up.
    BOOL bMore = CWinApp::OnIdle(lCount);
    if (m_pFrameWnd == nullptr)
        return bMore;
    m_pFrameWnd->OnFrameTick();
    return TRUE;
}
