// The application class library: the application object and its idle loop,
// windows and dialogs with message maps, menus, strings and paint contexts.
//
// A program defines one CWinApp-derived object in static storage and links
// the library's main (the zv_platform_main library), which runs its
// InitInstance and then Run and returns Run's result as the exit status.
// Its resources come from the executable's exported resource table.
#pragma once

#include <platform/afxmsg.h>
#include <platform/windows.h>

#include <string>

// The standard help command, routed from any window to the application.
inline constexpr UINT ID_HELP = 0xE146;

class CObject {
public:
    virtual ~CObject() = default;

protected:
    CObject() = default;
};

// Anything that can receive commands through a message map.
class CCmdTarget : public CObject {
public:
    // Runs the first handler for the command in the map chain; FALSE when
    // there is none.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // The first entry for the message (and, for commands, the code and id)
    // in this class's map or its bases', in map order.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_text(text != nullptr ? text : "") {}

    // The string resource of the application; FALSE (and empty) when missing.
    BOOL LoadString(UINT nID);
    // Formats printf-style.
    void Format(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));

    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator LPCSTR() const { return m_text.c_str(); }
    CString& operator+=(LPCSTR text) {
        m_text += text != nullptr ? text : "";
        return *this;
    }
    friend CString operator+(const CString& a, LPCSTR b) {
        CString sum(a);
        return sum += b;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }

private:
    std::string m_text;
};

class CMenu : public CObject {
public:
    CMenu() = default;
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // A temporary object for a handle the program does not own; it goes in
    // the next idle time.
    static CMenu* FromHandle(HMENU hMenu);

    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    operator HMENU() const { return m_hMenu; }

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;

    HMENU m_hMenu = nullptr;
};

class CDC : public CObject {
public:
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

    HDC m_hDC = nullptr;
};

class CWnd;

// A paint context for the lifetime of the object (BeginPaint to EndPaint).
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

// The direction data moves between a dialog's controls and its members.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // A window still alive when its object goes is destroyed with it.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object of a window: its own if one is attached, else a temporary
    // that goes in the next idle time. Null for null.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWnd);
    HWND Detach();
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    BOOL ShowWindow(int nCmdShow);
    virtual BOOL DestroyWindow();
    BOOL IsIconic() const;
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void SetWindowText(LPCSTR lpszString);
    void GetWindowText(CString& rString) const;
    CWnd* GetParent() const;
    CMenu* GetSystemMenu(BOOL bRevert) const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The window with the keyboard focus, as an object.
    static CWnd* GetFocus();
    CWnd* SetFocus();

    // Passes the message being handled on to the default processing.
    LRESULT Default();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // TRUE when a handler of the map took the message; its result in *pResult.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange* pDX);
    // The last call for a window; the place where objects made with new
    // delete themselves.
    virtual void PostNcDestroy();

    HWND m_hWnd = nullptr;

protected:
    afx_msg void OnPaint();
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg HCURSOR OnQueryDragIcon();
    // F1: the help command goes to the main window, and from there on to
    // the application.
    afx_msg LRESULT OnHelpRequest(WPARAM wParam, LPARAM lParam);

    // The procedure the window had before this object took it over.
    WNDPROC m_pfnSuper = nullptr;
    friend void AfxHookWindowCreate(CWnd* pWnd);

    DECLARE_MESSAGE_MAP()
};

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Modeless, from the template given here or at construction.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Runs the box in a loop of its own, its owner disabled, and returns
    // the value given to EndDialog (-1 when it could not be created).
    virtual INT_PTR DoModal();
    // Modal boxes end their loop; modeless ones are hidden, not destroyed.
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    BOOL OnCmdMsg(UINT nID, int nCode) override;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()
};

class CWinThread : public CCmdTarget {
public:
    virtual BOOL InitInstance();
    // While no message waits and the last OnIdle asked for more, calls
    // OnIdle with a count growing from 0; otherwise dispatches and starts
    // the count again. Ends with the quit message and returns ExitInstance.
    virtual int Run();
    // Count 0: the platform's idle work; 1 and up: frees temporary objects.
    // Asks for no more idle time.
    virtual BOOL OnIdle(LONG lCount);
    // The quit message's exit code.
    virtual int ExitInstance();

    // Destroying this window ends the message loop.
    CWnd* m_pMainWnd = nullptr;

protected:
    int m_nExitCode = 0;
};

class CWinApp : public CWinThread {
public:
    // Without a name the application is named after its executable.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HICON LoadIcon(UINT nIDResource) const;
    // Asks for more idle time for count 0 only.
    BOOL OnIdle(LONG lCount) override;
    // Kept for programs written for themed and unthemed systems alike:
    // every control here is drawn by the toolkit's theme already.
    BOOL Enable3dControlsStatic() { return TRUE; }
    afx_msg void OnHelp();

    LPCSTR m_pszAppName;
    HINSTANCE m_hInstance = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    std::string m_appName;
};

// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// Attaches the object to the next window created, before it gets any
// message; null forgets a hook that was not used.
void AfxHookWindowCreate(CWnd* pWnd);
// Runs the application object: InitInstance, then Run. The library's main.
int AfxWinMain();

class COccManager;
// Embedded controls need no container support here: dialogs hold only the
// platform's own controls.
inline BOOL AfxEnableControlContainer(COccManager* = nullptr) {
    return TRUE;
}

// Shows the text in a modal box captioned with the application's name and
// returns the id of the button that closed it (IDOK for MB_OK). Without a
// display the text goes to standard error and the first button's id is
// returned.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
