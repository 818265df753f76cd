// The application object, its message loop and the library's entry point.
#include <platform/afx.h>

#include "../user/message_loop.h"
#include "handle_maps.h"

#include <unistd.h>

#include <climits>

namespace {

CWinApp* g_app = nullptr;

std::string ExecutableName() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "";
    std::string name(path, static_cast<size_t>(length));
    name = name.substr(name.rfind('/') + 1);
    return name.substr(0, name.find('.'));
}

} // namespace

BOOL CWinThread::InitInstance() {
    return FALSE;
}

int CWinThread::Run() {
    bool idle = true;
    LONG idleCount = 0;
    for (;;) {
        while (idle && !zv::user::MessageWaiting())
            if (!OnIdle(idleCount++))
                idle = false;
        int exitCode = 0;
        if (!zv::user::DispatchNextMessage(exitCode)) {
            m_nExitCode = exitCode;
            return ExitInstance();
        }
        idle = true;
        idleCount = 0;
    }
}

BOOL CWinThread::OnIdle(LONG lCount) {
    if (lCount <= 0)
        zv::user::PlatformIdle();
    else
        zv::afx::DeleteTemporaryObjects();
    return lCount < 0;
}

int CWinThread::ExitInstance() {
    return m_nExitCode;
}

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_appName(lpszAppName != nullptr ? lpszAppName : ExecutableName()) {
    m_pszAppName = m_appName.c_str();
    if (g_app == nullptr)
        g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

BOOL CWinApp::OnIdle(LONG lCount) {
    if (lCount <= 1)
        CWinThread::OnIdle(lCount);
    return lCount < 1;
}

void CWinApp::OnHelp() {
    // The program ships no help content; say so rather than do nothing.
    AfxMessageBox("ヘルプはありません。", MB_OK | MB_ICONINFORMATION, ID_HELP);
}

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    return GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    return GetModuleHandleA(nullptr);
}

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        OutputDebugStringA("The program has no application object.\n");
        return 1;
    }
    app->m_hInstance = AfxGetInstanceHandle();
    if (!app->InitInstance())
        return app->ExitInstance();
    // Without a window no message can ever arrive: the loop would wait for
    // good (no display, or a template that is missing).
    if (app->m_pMainWnd == nullptr || !IsWindow(app->m_pMainWnd->m_hWnd)) {
        OutputDebugStringA("The program has no main window to run.\n");
        return 1;
    }
    return app->Run();
}
