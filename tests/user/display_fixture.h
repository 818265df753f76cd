// The fixture of the display tests: a clean message log, a connection of our
// own to the X server, and every window made by a test gone after it.
#pragma once

#include "display_support.h"
#include "message_log.h"

#include <platform/display.h>

#include <gtest/gtest.h>

#include <vector>

namespace zv::test {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Connected())
            GTEST_SKIP() << "needs an X server";
        MessageLog().clear();
    }

    void TearDown() override {
        for (HWND hwnd : m_windows)
            DestroyWindow(hwnd);
        Settle(20ms);
    }

    HWND Keep(HWND hwnd) {
        if (hwnd != nullptr)
            m_windows.push_back(hwnd);
        return hwnd;
    }

    HWND Dialog(unsigned id, HWND owner = nullptr, LPARAM param = 0) {
        return Keep(
            CreateDialogParamA(nullptr, MAKEINTRESOURCEA(id), owner, LoggingDialogProc, param));
    }

    // A plain top-level window of the logging class, shown.
    HWND PlainWindow(const char* title, int width, int height) {
        static const ATOM registered = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = LoggingWindowProc;
            windowClass.lpszClassName = "ProbePlain";
            return RegisterClassA(&windowClass);
        }();
        EXPECT_NE(registered, 0);
        return Keep(CreateWindowExA(0, "ProbePlain", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                    width, height, nullptr, nullptr, nullptr, nullptr));
    }

    // Gives the window the focus and waits until the platform sees it.
    bool FocusOn(HWND hwnd, unsigned long xWindow) {
        Shell("timeout 15 xdotool windowfocus --sync " + std::to_string(xWindow));
        return PumpUntil([&] { return GetFocus() == hwnd || GetParent(GetFocus()) == hwnd; });
    }

    POINT ClientOrigin(HWND hwnd) {
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        return origin;
    }

    XServer server;

private:
    std::vector<HWND> m_windows;
};

} // namespace zv::test
