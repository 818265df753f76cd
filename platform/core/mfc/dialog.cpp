// Dialogs from the application's templates, modeless and modal.
#include <platform/afx.h>

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, CDialog::HandleInitDialog)
ON_COMMAND(IDOK, CDialog::OnOK)
ON_COMMAND(IDCANCEL, CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    if (pParentWnd != nullptr)
        m_pParentWnd = pParentWnd;
    AfxHookWindowCreate(this);
    HWND hwnd =
        ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDTemplate),
                             m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr, nullptr, 0);
    // A template that could not be found leaves the hook unused.
    AfxHookWindowCreate(nullptr);
    return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    // Without a parent the box belongs to the main window, as it must stay
    // in front of it and keep it disabled.
    CWnd* owner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    HWND ownerHandle = owner != nullptr && owner != this ? owner->m_hWnd : nullptr;
    AfxHookWindowCreate(this);
    INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                       ownerHandle, nullptr, 0);
    AfxHookWindowCreate(nullptr);
    return result;
}

void CDialog::EndDialog(int nResult) {
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
    if (CWnd::OnCmdMsg(nID, nCode))
        return TRUE;
    // Commands (not control ids, not system commands) go on to the
    // application, the last one that may handle them.
    bool command = (nID & 0x8000) != 0 && nID < 0xF000;
    if (nCode != BN_CLICKED || !command)
        return FALSE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(nID, nCode);
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}
