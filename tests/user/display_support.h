// What the display tests share: pumping the platform's messages until a
// condition holds, driving the X server with xdotool, and reading back what
// the server shows.
#pragma once

#include <platform/user.h>
#include <user/message_loop.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace zv::test {

using namespace std::chrono_literals;

// Dispatches the platform's messages until done() holds; false on timeout.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = 5000ms) {
    auto end = std::chrono::steady_clock::now() + timeout;
    int exitCode = 0;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        for (int i = 0; i < 100 && zv::user::MessageWaiting(); ++i)
            zv::user::DispatchNextMessage(exitCode);
        zv::user::PlatformIdle();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Lets the events of the next few milliseconds arrive and be handled.
inline void Settle(std::chrono::milliseconds time = 100ms) {
    auto end = std::chrono::steady_clock::now() + time;
    PumpUntil([&] { return std::chrono::steady_clock::now() > end; }, time + 1000ms);
}

inline std::string Output(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        pclose(pipe);
    }
    return output;
}

inline bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// The X window of one of our top-level windows, found by its (ASCII) title;
// 0 when there is none.
inline unsigned long XWindowNamed(const std::string& title) {
    std::string found = Output("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
    return found.empty() ? 0 : std::stoul(found);
}

// Waits (handling our messages meanwhile) until the titled window is mapped.
inline unsigned long WaitForXWindow(const std::string& title) {
    unsigned long window = 0;
    PumpUntil([&] { return (window = XWindowNamed(title)) != 0; });
    return window;
}

// A connection of the test's own to the X server. Xlib stays in the source:
// its macros clash with the test framework's names.
class XServer {
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Connected() const { return m_display != nullptr; }
    bool HasWindowManager() const;
    // The pixel the server shows at a screen position, as 0xRRGGBB.
    unsigned long PixelAt(int x, int y) const;
    // Where the server has the window's top-left corner on the screen.
    POINT ScreenOrigin(unsigned long window) const;
    // Asks the window to close, as a window manager's close box does.
    void RequestClose(unsigned long window) const;
    // A plain white window of our own over the others, to take the focus or
    // to cover part of the screen.
    unsigned long CreateWindow(int x, int y, int width, int height) const;
    void DestroyWindow(unsigned long window) const;
    void Focus(unsigned long window) const;
    // True while a popup menu is on the screen.
    bool PopupMenuShown() const;

private:
    void* m_display;
};

// Runs the commands from another thread once a popup menu is up, while the
// test's thread stays inside the menu's own loop.
class WhenMenuOpens {
public:
    explicit WhenMenuOpens(std::string commands)
        : m_thread([commands = std::move(commands)] {
              XServer server;
              auto end = std::chrono::steady_clock::now() + 10s;
              while (!server.PopupMenuShown() && std::chrono::steady_clock::now() < end)
                  std::this_thread::sleep_for(10ms);
              // The menu takes the keyboard right after it is mapped.
              std::this_thread::sleep_for(50ms);
              Shell(commands);
          }) {}
    ~WhenMenuOpens() { m_thread.join(); }
    WhenMenuOpens(const WhenMenuOpens&) = delete;
    WhenMenuOpens& operator=(const WhenMenuOpens&) = delete;

private:
    std::thread m_thread;
};

// Runs the command from another thread, for actions whose effect arrives
// while the test's thread is inside a modal loop.
class InBackground {
public:
    explicit InBackground(std::string command)
        : m_thread([command = std::move(command)] { Shell(command); }) {}
    ~InBackground() { m_thread.join(); }
    InBackground(const InBackground&) = delete;
    InBackground& operator=(const InBackground&) = delete;

private:
    std::thread m_thread;
};

} // namespace zv::test
