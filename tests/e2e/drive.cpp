// Drives Zevra through a long run on a virtual X server of its own and prints
// what happened, for the reliability scripts (scripts/memcheck.sh,
// scripts/memory-flat.sh):
//   zv_e2e_drive [--frames N] [--resizes N] [--rss-every N] [--timeout S]
//                [-- command ...]
// The command (by default the program itself; for example Valgrind running
// it) is started in the picture's folder and given the focus; then at least
// N frames are let through, the window is resized N times with every new
// size set up and drawn, and Escape ends it. Frames are counted by the X
// server's reports of drawing into the window, which may merge two frames
// into one report: the counts are lower bounds.
#include "desktop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace zv::e2e;

namespace {

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

long CountOf(const std::vector<std::string>& lines, const std::string& wanted) {
    long count = 0;
    for (const std::string& line : lines)
        count += line == wanted;
    return count;
}

int Fail(Program& zevra, const char* what) {
    std::printf("failed: %s\n", what);
    if (!zevra.Running())
        std::printf("the program had ended with status %d\n", zevra.WaitForExit(0ms));
    return 1;
}

// Waits for the condition while the program runs, taking in the server's
// drawing reports as they come.
bool WhileRunning(Program& zevra, Display::DrawCounter& counter,
                  const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto end = Clock::now() + limit;
    while (!condition()) {
        if (!zevra.Running() || Clock::now() > end)
            return false;
        counter.Await(20ms);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    long frames = 200, resizes = 0, rssEvery = 0;
    int timeout = 120;
    std::vector<std::string> command;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--") {
            command.assign(argv + i + 1, argv + argc);
            break;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s needs a value\n", argv[i]);
            return 2;
        }
        long value = std::atol(argv[++i]);
        if (option == "--frames")
            frames = value;
        else if (option == "--resizes")
            resizes = value;
        else if (option == "--rss-every")
            rssEvery = value;
        else if (option == "--timeout")
            timeout = static_cast<int>(value);
        else {
            std::fprintf(stderr, "unknown option %s\n", argv[i - 1]);
            return 2;
        }
    }
    if (command.empty())
        command = {ProgramPath()};
    const auto limit = std::chrono::seconds(timeout);

    Display display(true);
    if (!display.Ready()) {
        std::printf("failed: no virtual X server\n");
        return 1;
    }
    auto start = Clock::now();
    Program zevra(command, DataDir());
    unsigned long window = 0;
    Eventually(
        [&] {
            window = display.WindowTitled(zevra.Pid(), "Zevra");
            return window != 0 || !zevra.Running();
        },
        limit);
    if (window == 0)
        return Fail(zevra, "no window");
    std::printf("window after %.1f s\n", Seconds(start));
    if (rssEvery > 0)
        std::printf("when the window appeared: VmRSS %ld kB\n", ResidentKb(zevra.Pid()));
    if (!display.ActivateAndWait(window))
        return Fail(zevra, "no focus");

    Display::DrawCounter counter(display, window);
    auto framesFrom = Clock::now();
    long rssFrom = 0, rssPeak = 0;
    for (long done = 0; done < frames;) {
        long next = rssEvery > 0 ? std::min(frames, done + rssEvery) : frames;
        if (!WhileRunning(
                zevra, counter, [&] { return counter.Count() >= next; }, limit))
            return Fail(zevra, "frames stopped");
        done = counter.Count();
        if (rssEvery > 0) {
            long rss = ResidentKb(zevra.Pid());
            if (rssFrom == 0)
                rssFrom = rss;
            rssPeak = std::max(rssPeak, rss);
            std::printf("after %6ld frames: VmRSS %ld kB\n", done, rss);
        }
    }
    double elapsed = Seconds(framesFrom);
    std::printf("frames: %ld in %.1f s (%.1f per second)\n", counter.Count(), elapsed,
                static_cast<double>(counter.Count()) / elapsed);
    if (rssEvery > 0)
        std::printf("VmRSS first %ld kB, last %ld kB, peak %ld kB\n", rssFrom,
                    ResidentKb(zevra.Pid()), rssPeak);

    auto resizesFrom = Clock::now();
    for (long i = 0; i < resizes; ++i) {
        Size wanted = {300 + static_cast<int>(i * 37 % 400), 250 + static_cast<int>(i * 53 % 350)};
        if (display.ClientSize(window) == wanted)
            wanted.width += 10;
        long setUps = CountOf(zevra.ProgramLines(), "phase 4");
        display.Resize(window, wanted.width, wanted.height);
        // The new size set up and drawn at least once.
        bool drawn = WhileRunning(
            zevra, counter, [&] { return CountOf(zevra.ProgramLines(), "phase 4") > setUps; },
            limit);
        long after = counter.Count();
        drawn = drawn && WhileRunning(
                             zevra, counter, [&] { return counter.Count() > after; }, limit);
        if (!drawn)
            return Fail(zevra, "a resize was not drawn");
    }
    if (resizes > 0)
        std::printf("resizes: %ld, each set up and drawn, in %.1f s\n", resizes,
                    Seconds(resizesFrom));

    if (!display.ActivateAndWait(window))
        return Fail(zevra, "no focus for Escape");
    display.Key("Escape");
    int status = zevra.WaitForExit(limit);
    std::printf("exit status: %d\n", status);
    return status == 0 ? 0 : 1;
}
