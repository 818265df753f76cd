// A whole program on the class library, from its static application object
// through the library's main to its exit status, on a virtual X server.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::vector<std::string> lines;
    int status;
};

Outcome RunProgram(const std::string& command) {
    Outcome outcome{{}, -1};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return outcome;
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        outcome.lines.push_back(line);
    return outcome;
}

bool Installed(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Waits until the program shows a popup menu besides its main window.
const std::string kWaitForMenu =
    "until [ $(xdotool search --onlyvisible --pid $PROBE_PID | wc -l) -ge 2 ]; do sleep 0.02; "
    "done; sleep 0.05";

std::string Drive(const std::vector<std::string>& commands) {
    std::string command = std::string(ZV_WITH_DISPLAY) + " " + ZV_DRIVE_PROBE + " " + ZV_PROBE_APP;
    for (const auto& c : commands)
        command += " '" + c + "'";
    return command;
}

TEST(ProgramOnTheLibrary, StartsWithSizeAndMoveBeforeInitDialogAndEndsWithStatusZero) {
    if (!Installed("Xvfb") || !Installed("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool";
    struct Case {
        const char* what;
        std::vector<std::string> commands;
        std::vector<std::string> ending;
    };
    const Case cases[] = {
        {"Escape",
         {"xdotool key Escape"},
         {"Cancel", "Destroy", "PostNcDestroy", "ExitInstance 0"}},
        {"Close from the system menu",
         {"xdotool key alt+space; " + kWaitForMenu + "; xdotool key c"},
         {"Close", "Destroy", "PostNcDestroy", "ExitInstance 0"}},
        {"About box, then Escape",
         {"xdotool key alt+space; " + kWaitForMenu + "; xdotool key a",
          "timeout 15 xdotool search --sync --onlyvisible --name \"^Probe Box$\" windowfocus --sync key "
          "Escape",
          "timeout 15 xdotool search --sync --onlyvisible --pid $PROBE_PID windowfocus --sync key Escape"},
         {"About 2", "Cancel", "Destroy", "PostNcDestroy", "ExitInstance 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome outcome = RunProgram(Drive(c.commands));
        EXPECT_EQ(outcome.status, 0);
        ASSERT_GE(outcome.lines.size(), 3 + c.ending.size());
        EXPECT_EQ(outcome.lines[0], "Size 0 420 418");
        EXPECT_EQ(outcome.lines[1], "Move");
        EXPECT_EQ(outcome.lines[2], "InitDialog");
        std::vector<std::string> ending(outcome.lines.end() - static_cast<long>(c.ending.size()),
                                        outcome.lines.end());
        // Moves may come at any time; the rest of the ending is fixed.
        std::erase(ending, "Move");
        EXPECT_EQ(ending, c.ending);
    }
}

TEST(ProgramOnTheLibrary, WithoutADisplayEndsWithStatusOne) {
    Outcome outcome = RunProgram(std::string("env -u DISPLAY ") + ZV_PROBE_APP + " 2>&1");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.lines, std::vector<std::string>{"The program has no main window to run."});
}

} // namespace
