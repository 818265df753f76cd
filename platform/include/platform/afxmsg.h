// Message maps of the application class library: the table layout, the
// macros that declare them and the adapters that unpack a message's
// parameters into a handler's arguments. Included by afx.h.
#pragma once

#include <platform/windows.h>

#include <type_traits>

class CCmdTarget;

// Marks message handlers in class declarations; nothing to the compiler.
#define afx_msg

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    // Commands: the notification code and the range of ids handled.
    UINT nCode;
    UINT nID;
    UINT nLastID;
    // Calls the handler on the target with the message's parameters.
    LRESULT (*pfnInvoke)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    // The base class's map, searched after this one; null ends the chain.
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace zv::afx {

template <class T> struct Member;
template <class C, class R, class... A> struct Member<R (C::*)(A...)> {
    using Class = C;
    using Type = R(A...);
};

// The handler's object: handlers are members of the target's own class or
// of one of its bases.
template <auto F> auto* Target(CCmdTarget* target) {
    return static_cast<typename Member<decltype(F)>::Class*>(target);
}

template <auto F, class Expected>
inline constexpr bool kHasSignature = std::is_same_v<typename Member<decltype(F)>::Type, Expected>;

template <auto F> LRESULT NoArguments(CCmdTarget* target, WPARAM, LPARAM) {
    static_assert(kHasSignature<F, void()>, "the handler must be void ()");
    (Target<F>(target)->*F)();
    return 0;
}

template <auto F> LRESULT Size(CCmdTarget* target, WPARAM wParam, LPARAM lParam) {
    static_assert(kHasSignature<F, void(UINT, int, int)>,
                  "OnSize must be void (UINT nType, int cx, int cy)");
    (Target<F>(target)->*F)(static_cast<UINT>(wParam), LOWORD(static_cast<DWORD_PTR>(lParam)),
                            HIWORD(static_cast<DWORD_PTR>(lParam)));
    return 0;
}

template <auto F> LRESULT Move(CCmdTarget* target, WPARAM, LPARAM lParam) {
    static_assert(kHasSignature<F, void(int, int)>, "OnMove must be void (int x, int y)");
    (Target<F>(target)->*F)(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

template <auto F> LRESULT SysCommand(CCmdTarget* target, WPARAM wParam, LPARAM lParam) {
    static_assert(kHasSignature<F, void(UINT, LPARAM)>,
                  "OnSysCommand must be void (UINT nID, LPARAM lParam)");
    (Target<F>(target)->*F)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <auto F> LRESULT QueryDragIcon(CCmdTarget* target, WPARAM, LPARAM) {
    static_assert(kHasSignature<F, HCURSOR()>, "OnQueryDragIcon must be HCURSOR ()");
    return reinterpret_cast<LRESULT>((Target<F>(target)->*F)());
}

template <auto F> LRESULT Message(CCmdTarget* target, WPARAM wParam, LPARAM lParam) {
    static_assert(kHasSignature<F, LRESULT(WPARAM, LPARAM)>,
                  "a message handler must be LRESULT (WPARAM, LPARAM)");
    return (Target<F>(target)->*F)(wParam, lParam);
}

} // namespace zv::afx

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr }                                                                        \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]};   \
    return &messageMap;                                                                            \
    }

#define ON_WM_SIZE() {WM_SIZE, 0, 0, 0, &zv::afx::Size<&ThisClass::OnSize>},
#define ON_WM_MOVE() {WM_MOVE, 0, 0, 0, &zv::afx::Move<&ThisClass::OnMove>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, &zv::afx::NoArguments<&ThisClass::OnPaint>},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, &zv::afx::NoArguments<&ThisClass::OnClose>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, &zv::afx::NoArguments<&ThisClass::OnDestroy>},
#define ON_WM_NCDESTROY() {WM_NCDESTROY, 0, 0, 0, &zv::afx::NoArguments<&ThisClass::OnNcDestroy>},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, 0, &zv::afx::SysCommand<&ThisClass::OnSysCommand>},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, 0, &zv::afx::QueryDragIcon<&ThisClass::OnQueryDragIcon>},
// The member is named with its class: ON_COMMAND(ID_HELP, CWinApp::OnHelp).
#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, BN_CLICKED, static_cast<WORD>(id), static_cast<WORD>(id),                         \
     &zv::afx::NoArguments<&memberFxn>},
#define ON_MESSAGE(message, memberFxn) {message, 0, 0, 0, &zv::afx::Message<&memberFxn>},
