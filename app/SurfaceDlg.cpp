#include "SurfaceDlg.h"

#include "AboutDlg.h"
#include "SurfaceApp.h"

#include <gfx/hxp.h>

// The About command shares WM_SYSCOMMAND with the system's own commands,
// whose low four bits the system keeps for itself.
static_assert((IDM_ABOUTBOX & 0xFFF0) == IDM_ABOUTBOX && IDM_ABOUTBOX < 0xF000);

namespace {

// The pause after every drawn frame.
constexpr DWORD kFramePauseMs = 10;

} // namespace

CSurfaceDlg::CSurfaceDlg(CWnd* pParent)
    : CDialog(CSurfaceDlg::IDD, pParent), m_bNeedSetup(0), m_cx(0), m_cy(0), m_pScene(nullptr),
      m_pCamera(nullptr), m_bgMaterial{}, m_hBgMaterial(0), m_pBgMaterial(nullptr) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CSurfaceDlg::~CSurfaceDlg() = default;

void CSurfaceDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

BEGIN_MESSAGE_MAP(CSurfaceDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_MOVE()
END_MESSAGE_MAP()

BOOL CSurfaceDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu != nullptr) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    theApp.m_pFrameWnd = this;
    m_bNeedSetup = 1;
    m_pBgMaterial = nullptr;
    SeedFields(m_field);
    // No controls: the window itself takes the focus when it is active.
    return TRUE;
}

void CSurfaceDlg::OnFrameTick() {
    // Frames and pokes belong to the window the user is working in; an
    // unfocused window does no work at all, not even the pause.
    if (CWnd::GetFocus() != this)
        return;
    // Down now, or pressed and released since the last tick: both count.
    if (GetAsyncKeyState(VK_SPACE) != 0)
        PokeCentre(m_field);
    RenderFrame();
    Sleep(kFramePauseMs);
}

void CSurfaceDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CSurfaceDlg::OnPaint() {
    if (!IsIconic()) {
        // The next frame draws the picture; the platform repaints the last one.
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CSurfaceDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CSurfaceDlg::OnClose() {
    // A dialog's default only posts Cancel, which arrives after the window
    // is gone; the main window must go now.
    CDialog::OnClose();
    DestroyWindow();
}

void CSurfaceDlg::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    // Minimised: nothing to draw into, so keep what was built for the last size.
    if (cx == 0 || cy == 0)
        return;
    m_cx = cx;
    m_cy = cy;
    // The texture lives on the surfaces the resize replaces.
    ReleaseBitmapTexture(&m_texture);
    HXPResizeWindow(m_hWnd, m_cx, m_cy);
    m_bNeedSetup = 1;
}

void CSurfaceDlg::OnDestroy() {
    CDialog::OnDestroy();
    // The platform's idle work may dispatch messages before the quit message
    // is seen; no tick may reach this object once it is going.
    if (theApp.m_pFrameWnd == this)
        theApp.m_pFrameWnd = nullptr;
    // Everything made from the graphics layer goes before the layer itself.
    ReleaseBitmapTexture(&m_texture);
    ReleaseSceneObjects();
    HXPCleanup();
}

void CSurfaceDlg::OnMove(int x, int y) {
    CDialog::OnMove(x, y);
    HXPMoveWindow(m_hWnd);
}

void CSurfaceDlg::OnOK() {
    // Enter would only hide a modeless dialog and leave the process running
    // without a window: end the program as Escape does.
    OnCancel();
}

void CSurfaceDlg::OnCancel() {
    CDialog::OnCancel();
    DestroyWindow();
}

void CSurfaceDlg::PostNcDestroy() {
    CDialog::PostNcDestroy();
    delete this;
}

void CSurfaceDlg::ReleaseSceneObjects() {
    HXPRelease(m_pBgMaterial);
    m_hBgMaterial = 0;
    HXPRelease(m_pCamera);
    HXPRelease(m_pScene);
}
