// The window resized, moved, minimised and restored while it draws.
#include "desktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace zv::e2e {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kGrid = 490;

class Geometry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.Ready());
        picture = ReadPicture(DataDir() + "/Can1.bmp");
        ASSERT_EQ(picture.width, 256);
        window = WaitForWindow(display, zevra.Pid(), "Zevra");
        ASSERT_NE(window, 0u);
        ASSERT_TRUE(display.ActivateAndWait(window));
        ASSERT_TRUE(Drawing());
    }

    // Frames keep coming.
    bool Drawing() {
        Display::DrawCounter frames(display, window);
        return Eventually([&] { return frames.Count() >= 5; });
    }

    // The picture in the grid's corner, and white wherever the grid does not
    // reach, for the window's present size.
    bool ShowsThePictureOnWhite(std::string* why) {
        Image client = display.GrabClient(window);
        Size size = display.ClientSize(window);
        if (client.width != size.width || client.height != size.height) {
            *why = "client area partly off the screen";
            return false;
        }
        double match = PictureMatch(client, picture);
        if (match < 0.97) {
            *why = "picture match " + std::to_string(match);
            return false;
        }
        long coloured = 0;
        for (int y = 0; y < client.height; ++y)
            for (int x = 0; x < client.width; ++x)
                if ((x >= kGrid || y >= kGrid) && client.at(x, y) != kWhite)
                    ++coloured;
        if (coloured > 0) {
            *why = std::to_string(coloured) + " pixels beside the grid are not white";
            return false;
        }
        return true;
    }

    bool EventuallyShowsThePicture() {
        std::string why;
        bool shown = Eventually([&] { return ShowsThePictureOnWhite(&why); });
        if (!shown)
            ADD_FAILURE() << why;
        return shown;
    }

    Display display{true};
    Program zevra{ProgramPath(), DataDir()};
    unsigned long window = 0;
    Image picture;
};

TEST_F(Geometry, AResizeRebuildsTheGraphicsAndTheGridStaysInTheCornerOnWhite) {
    const Size kSizes[] = {{700, 600}, {300, 200}, {520, 495}};
    for (Size wanted : kSizes) {
        SCOPED_TRACE(std::to_string(wanted.width) + " x " + std::to_string(wanted.height));
        size_t seen = zevra.ProgramLines().size();
        display.Resize(window, wanted.width, wanted.height);
        ASSERT_TRUE(Eventually([&] { return display.ClientSize(window) == wanted; }));

        // The surfaces are rebuilt at once for the new size, and the next frame
        // sets everything up again from the layer's reset.
        std::string sizes = std::to_string(wanted.width) + "," + std::to_string(wanted.height);
        std::vector<std::string> wantedLines = {"HXP:Resize Window",
                                                " Hxp:" + sizes + " - param " + sizes + " "};
        for (const std::string& line : SetupLines(wanted))
            wantedLines.push_back(line);
        EXPECT_TRUE(Eventually([&] {
            return FindInOrder(zevra.ProgramLines(), wantedLines, seen) >= 0;
        })) << "lines since the resize:\n"
            << ::testing::PrintToString(zevra.ProgramLinesFrom(seen));
        EXPECT_TRUE(EventuallyShowsThePicture());
        EXPECT_TRUE(Drawing());
    }
}

TEST_F(Geometry, AMoveKeepsTheFramesComingWithoutANewSetUp) {
    Point before = display.ClientOrigin(window);
    const Point kPlaces[] = {{40, 60}, {600, 500}};
    for (Point place : kPlaces) {
        SCOPED_TRACE(std::to_string(place.x) + ", " + std::to_string(place.y));
        display.Move(window, place.x, place.y);
        ASSERT_TRUE(Eventually([&] {
            Point now = display.ClientOrigin(window);
            return now.x != before.x || now.y != before.y;
        }));
        before = display.ClientOrigin(window);
        // Wherever the window is, the frames land in its client area.
        size_t seen = zevra.ProgramLines().size();
        EXPECT_TRUE(EventuallyShowsThePicture());
        EXPECT_TRUE(Drawing());
        std::vector<std::string> since = zevra.ProgramLinesFrom(seen);
        EXPECT_EQ(std::count(since.begin(), since.end(), "HXP:Hexaplan Initialize"), 0);
    }
}

TEST_F(Geometry, AStormOfResizesLeavesItDrawingAtTheLastSize) {
    // Hundreds of sizes within a few seconds, faster than frames can follow.
    const int kResizes = 300;
    for (int i = 0; i < kResizes; ++i) {
        display.Resize(window, 250 + (i * 37) % 500, 200 + (i * 53) % 450);
        std::this_thread::sleep_for(8ms);
        ASSERT_TRUE(zevra.Running()) << "ended after " << i << " resizes";
    }
    const Size kLast = {640, 560};
    display.Resize(window, kLast.width, kLast.height);
    ASSERT_TRUE(Eventually([&] { return display.ClientSize(window) == kLast; }));
    EXPECT_TRUE(EventuallyShowsThePicture());
    EXPECT_TRUE(Drawing());
    ASSERT_TRUE(zevra.Running());

    std::vector<std::string> lines = zevra.ProgramLines();
    long rebuilt = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind(" Hxp:", 0) == 0;
    });
    EXPECT_GE(rebuilt, 50) << "the resizes did not reach the program";
    EXPECT_EQ(lines.back(), "phase 4") << "the last set-up did not finish";
}

TEST_F(Geometry, MinimisedAndRestoredAgainAndAgainItGoesOnDrawing) {
    for (int cycle = 0; cycle < 5; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        display.Iconify(window);
        ASSERT_TRUE(Eventually([&] { return display.Iconic(window); }));
        ASSERT_TRUE(display.ActivateAndWait(window));
        ASSERT_FALSE(display.Iconic(window));
        EXPECT_TRUE(Drawing());
        ASSERT_TRUE(zevra.Running());
    }
    EXPECT_TRUE(EventuallyShowsThePicture());
    EXPECT_EQ(display.ClientSize(window), kTemplateClient);
}

} // namespace
} // namespace zv::e2e
