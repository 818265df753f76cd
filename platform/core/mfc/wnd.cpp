// Window objects: attaching them to windows, their procedure, dispatch
// through the message map, and the default handlers.
#include "../user/window_table.h"
#include "handle_maps.h"

#include <memory>
#include <unordered_map>

namespace {

struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The message being handled, for Default(); nested sends save and restore it.
CurrentMessage& Current() {
    static CurrentMessage current;
    return current;
}

struct HandleMaps {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporaryWindows;
    std::unordered_map<HMENU, std::unique_ptr<CMenu>> temporaryMenus;
};

HandleMaps& Maps() {
    static auto* maps = new HandleMaps;
    return *maps;
}

// The temporary object standing for the handle, made on first use.
template <class Object, class Handle>
Object* Temporary(std::unordered_map<Handle, std::unique_ptr<Object>>& map, Handle handle,
                  Handle Object::*member) {
    auto& object = map[handle];
    if (!object) {
        object = std::make_unique<Object>();
        (*object).*member = handle;
    }
    return object.get();
}

// Objects given up no longer stand for their handles: destroying them must
// not destroy what the handles name.
template <class Object, class Handle>
void DeleteTemporaries(std::unordered_map<Handle, std::unique_ptr<Object>>& map,
                       Handle Object::*member) {
    for (auto& [handle, object] : map)
        (*object).*member = nullptr;
    map.clear();
}

} // namespace

namespace zv::afx {

void DeleteTemporaryObjects() {
    DeleteTemporaries(Maps().temporaryWindows, &CWnd::m_hWnd);
    DeleteTemporaries(Maps().temporaryMenus, &CMenu::m_hMenu);
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* window = CWnd::FromHandlePermanent(hwnd);
    if (window == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    CurrentMessage saved = Current();
    Current() = {message, wParam, lParam};
    // The object may be gone when this returns (PostNcDestroy deletes it).
    LRESULT result = window->WindowProc(message, wParam, lParam);
    Current() = saved;
    return result;
}

} // namespace zv::afx

void AfxHookWindowCreate(CWnd* pWnd) {
    if (pWnd == nullptr) {
        zv::user::HookNextWindowCreation(nullptr);
        return;
    }
    zv::user::HookNextWindowCreation([pWnd](HWND hwnd) {
        pWnd->Attach(hwnd);
        pWnd->m_pfnSuper = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&zv::afx::WindowProcedure)));
    });
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (hMenu == nullptr)
        return nullptr;
    return Temporary(Maps().temporaryMenus, hMenu, &CMenu::m_hMenu);
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
ON_MESSAGE(WM_HELP, CWnd::OnHelpRequest)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd))
        return permanent;
    return Temporary(Maps().temporaryWindows, hWnd, &CWnd::m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto found = Maps().permanent.find(hWnd);
    return found == Maps().permanent.end() ? nullptr : found->second;
}

BOOL CWnd::Attach(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr)
        return FALSE;
    m_hWnd = hWnd;
    Maps().permanent[hWnd] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr)
        Maps().permanent.erase(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    ::ClientToScreen(m_hWnd, lpPoint);
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    ::SetWindowTextA(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const {
    char text[1024];
    ::GetWindowTextA(m_hWnd, text, sizeof text);
    rString = text;
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(::SendMessageA(
        m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

LRESULT CWnd::Default() {
    const CurrentMessage& current = Current();
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (entry == nullptr)
        return FALSE;
    *pResult = entry->pfnInvoke(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::PostNcDestroy() {}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnClose() {
    Default();
}

void CWnd::OnDestroy() {
    Default();
}

void CWnd::OnNcDestroy() {
    // The main window takes the message loop with it.
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    Default();
    Detach();
    m_pfnSuper = nullptr;
    PostNcDestroy();
}

void CWnd::OnSize(UINT, int, int) {
    Default();
}

void CWnd::OnMove(int, int) {
    Default();
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}

LRESULT CWnd::OnHelpRequest(WPARAM, LPARAM) {
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(WM_COMMAND, ID_HELP);
    return TRUE;
}
