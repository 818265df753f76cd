// The real message box on a virtual display of its own.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kIdOk = 1;

bool Installed(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(MessageBoxOnADisplay, ShowsACaptionedBoxThatEnterClosesWithOk) {
    if (!Installed("Xvfb") || !Installed("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool";
    std::string command = std::string(ZV_WITH_DISPLAY) + " " + ZV_PRESS_OK + " " +
                          ZV_MESSAGE_BOX_PROBE + " 'DirectXの初期化に失敗しました'";
    std::FILE* run = popen(command.c_str(), "r");
    ASSERT_NE(run, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, run) != nullptr)
        output += buffer;
    int status = pclose(run);

    EXPECT_EQ(output, "Zevra\n");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kIdOk);
}

} // namespace
