// The program itself, with the real graphics layer and runtimes, started
// from the folder of its picture on a virtual X server of the test's own.
#include "display_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using zv::test::Output;
using zv::test::Shell;
using zv::test::XServer;

constexpr unsigned long kWhite = 0xFFFFFF;
// The warped grid: 49 quads of 10 pixels from the client area's corner.
constexpr int kGridPixels = 490;

int StatusOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t Start(const char* folder) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder) == 0)
            execl(ZV_ZEVRA, ZV_ZEVRA, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Waits for the process to end; -1 when it has not within the time.
int WaitForExit(pid_t pid, std::chrono::seconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(20ms);
    }
    return StatusOf(status);
}

template <class Condition> bool Eventually(Condition condition) {
    auto end = std::chrono::steady_clock::now() + 30s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

TEST(Program, WithoutADisplayEndsWithStatusOne) {
    std::string output = Output("env -u DISPLAY " ZV_ZEVRA " 2>&1; echo \"status $?\"");
    EXPECT_EQ(output, "The program has no main window to run.\nstatus 1\n");
}

TEST(Program, DrawsThePictureOnWhiteFollowsAResizeAndEndsWithZeroOnEscape) {
    XServer server;
    if (!server.Connected())
        GTEST_SKIP() << "needs an X server";
    pid_t pid = Start(ZV_DATA_DIR);
    ASSERT_GT(pid, 0);
    std::string found = Output("timeout 30 xdotool search --sync --onlyvisible --pid " +
                               std::to_string(pid) + " | head -n 1");
    ASSERT_FALSE(found.empty()) << "no window";
    std::string window = std::to_string(std::stoul(found));

    // Larger than the grid, so that the white background shows beside it.
    ASSERT_TRUE(
        Shell("timeout 15 xdotool windowsize --sync " + window + " 700 600 windowfocus --sync " + window));
    POINT origin = server.ScreenOrigin(std::stoul(window));
    auto at = [&](int x, int y) { return server.PixelAt(origin.x + x, origin.y + y); };
    const std::pair<int, int> kInside[] = {{kGridPixels / 2, kGridPixels / 2},
                                           {kGridPixels - 5, 100}};
    const std::pair<int, int> kBeside[] = {
        {kGridPixels + 5, 100}, {600, 550}, {100, kGridPixels + 5}};
    // A frame of the new size: the picture in the corner, white beside it.
    auto resizedFrameShown = [&] {
        for (auto [x, y] : kInside)
            if (at(x, y) == kWhite)
                return false;
        for (auto [x, y] : kBeside)
            if (at(x, y) != kWhite)
                return false;
        return true;
    };
    EXPECT_TRUE(Eventually(resizedFrameShown))
        << "inside " << std::hex << at(kInside[0].first, kInside[0].second) << ", beside "
        << at(kBeside[1].first, kBeside[1].second);

    // The surface never comes to rest: frames keep changing the picture.
    auto row = [&] {
        std::vector<unsigned long> pixels;
        for (int x = 100; x < 400; x += 3)
            pixels.push_back(at(x, kGridPixels / 2));
        return pixels;
    };
    std::vector<unsigned long> first = row();
    EXPECT_TRUE(Eventually([&] { return row() != first; }));

    ASSERT_TRUE(Shell("timeout 15 xdotool windowfocus --sync " + window + " key Escape"));
    EXPECT_EQ(WaitForExit(pid, 30s), 0);
}

} // namespace
