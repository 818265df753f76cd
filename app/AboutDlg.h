// The About box: the application's icon, name, version and copyright, shown
// modally from the main window's system menu.
#pragma once

#include "resource.h"

#include <platform/afx.h>

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    enum { IDD = IDD_ABOUTBOX };

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
