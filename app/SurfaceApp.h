// The application object: creates the main window and drives its frames from
// the message loop's idle time.
#pragma once

#include <platform/afx.h>

class CSurfaceDlg;

class CSurfaceApp : public CWinApp {
public:
    CSurfaceApp();
    ~CSurfaceApp() override;

    BOOL InitInstance() override;
    // Hands every idle call to the frame target as one tick and always asks
    // for more, so frames run back to back.
    BOOL OnIdle(LONG lCount) override;

    // The window that receives idle ticks; null until it registers itself
    // in its OnInitDialog, and again once it is destroyed.
    CSurfaceDlg* m_pFrameWnd;

    DECLARE_MESSAGE_MAP()
};

extern CSurfaceApp theApp;
