// A log of the messages the test windows receive.
#pragma once

#include <platform/user.h>

#include <algorithm>
#include <vector>

namespace zv::test {

struct LoggedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<LoggedMessage>& MessageLog() {
    static std::vector<LoggedMessage> log;
    return log;
}

// The logged messages of one window, of the kinds asked for, in order.
inline std::vector<LoggedMessage> MessagesOf(HWND hwnd, std::initializer_list<UINT> kinds) {
    std::vector<LoggedMessage> found;
    for (const auto& m : MessageLog())
        if (m.hwnd == hwnd && std::find(kinds.begin(), kinds.end(), m.message) != kinds.end())
            found.push_back(m);
    return found;
}

inline bool Received(HWND hwnd, UINT message) {
    return !MessagesOf(hwnd, {message}).empty();
}

// Logs and leaves everything to the default processing; WM_INITDIALOG asks
// for the usual focus.
inline INT_PTR CALLBACK LoggingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog().push_back({hwnd, message, wParam, lParam});
    return message == WM_INITDIALOG;
}

inline LRESULT CALLBACK LoggingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog().push_back({hwnd, message, wParam, lParam});
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace zv::test
