// Zevra started as a user starts it: the window it opens, what it writes
// to the debug channel on the way, and the picture of its first frames.
#include "desktop.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zv::e2e {
namespace {

struct StartCase {
    const char* name;
    bool windowManager;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class Start : public ::testing::TestWithParam<StartCase> {};

TEST_P(Start, OpensTheTemplatesWindowWithItsCaptionAndSetsUpOnTheFirstFrame) {
    Display display(GetParam().windowManager);
    ASSERT_TRUE(display.Ready());
    Program zevra(ProgramPath(), DataDir());
    unsigned long window = WaitForWindow(display, zevra.Pid(), "Zevra");
    ASSERT_NE(window, 0u) << "no window titled Zevra";
    EXPECT_EQ(display.WindowsOf(zevra.Pid()).size(), 1u) << "one window only";

    EXPECT_EQ(display.ClientSize(window), kTemplateClient);

    ASSERT_TRUE(display.ActivateAndWait(window));
    Display::DrawCounter frames(display, window);
    ASSERT_TRUE(Eventually([&] { return frames.Count() >= 5; })) << "no frames";

    // The size notification while the window is created comes before
    // anything else; the first frame then builds the graphics.
    std::vector<std::string> wanted = {"HXP:Resize Window"};
    for (const std::string& line : SetupLines(kTemplateClient))
        wanted.push_back(line);
    EXPECT_EQ(zevra.ProgramLines(), wanted);

    Image picture = ReadPicture(DataDir() + "/Can1.bmp");
    ASSERT_EQ(picture.width, 256) << "the picture could not be read";
    Image client = display.GrabClient(window);
    EXPECT_GE(PictureMatch(client, picture), 0.97);
    // The comparison tells a picture from its mirror image.
    EXPECT_LT(PictureMatch(client, FlippedVertically(picture)), 0.8);
}

// Centred on the screen as a whole: without a window manager the client
// area is the window.
TEST(StartBare, TheWindowIsCentredOnTheScreen) {
    Display display(false);
    ASSERT_TRUE(display.Ready());
    Program zevra(ProgramPath(), DataDir());
    unsigned long window = WaitForWindow(display, zevra.Pid(), "Zevra");
    ASSERT_NE(window, 0u);
    Size screen = display.ScreenSize();
    Point origin = display.ClientOrigin(window);
    EXPECT_EQ(origin.x, (screen.width - kTemplateClient.width) / 2);
    EXPECT_EQ(origin.y, (screen.height - kTemplateClient.height) / 2);
}

// With a window manager the window includes the manager's frame.
TEST(StartManaged, TheFramedWindowIsCentredOnTheScreen) {
    Display display(true);
    ASSERT_TRUE(display.Ready());
    Program zevra(ProgramPath(), DataDir());
    unsigned long window = WaitForWindow(display, zevra.Pid(), "Zevra");
    ASSERT_NE(window, 0u);
    // The manager reports its frame once it has put the window in one.
    ASSERT_TRUE(Eventually([&] { return display.FrameExtents(window)[2] > 0; }));
    std::vector<long> frame = display.FrameExtents(window); // left, right, top, bottom
    Size screen = display.ScreenSize();
    Point origin = display.ClientOrigin(window);
    Size client = display.ClientSize(window);
    long left = origin.x - frame[0], right = origin.x + client.width + frame[1];
    long top = origin.y - frame[2], bottom = origin.y + client.height + frame[3];
    // Within a pixel: odd leftovers cannot be split evenly.
    EXPECT_NEAR(left, screen.width - right, 1) << "left " << left << ", right " << right;
    EXPECT_NEAR(top, screen.height - bottom, 1) << "top " << top << ", bottom " << bottom;
}

INSTANTIATE_TEST_SUITE_P(Display, Start,
                         ::testing::Values(StartCase{"Bare", false}, StartCase{"Managed", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zv::e2e
