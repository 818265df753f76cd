// How the program ends: by the user's hand with status 0, and with its
// message and status 1 when the picture is missing.
#include "desktop.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>

namespace zv::e2e {
namespace {

struct ExitCase {
    const char* name;
    // What the user does to the focused, drawing main window.
    std::function<void(const Display&, unsigned long window)> act;
};

void PrintTo(const ExitCase& c, std::ostream* os) {
    *os << c.name;
}

class Exit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(Exit, EndsWithStatusZeroAfterReleasingTheGraphics) {
    Display display(true);
    ASSERT_TRUE(display.Ready());
    Program zevra(ProgramPath(), DataDir());
    unsigned long window = WaitForWindow(display, zevra.Pid(), "Zevra");
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(display.ActivateAndWait(window));
    {
        Display::DrawCounter frames(display, window);
        ASSERT_TRUE(Eventually([&] { return frames.Count() >= 5; })) << "no frames";
    }

    GetParam().act(display, window);
    EXPECT_EQ(zevra.WaitForExit(), 0);
    std::vector<std::string> lines = zevra.ProgramLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "HXP:Hexaplan Cleanup");
    // The set-up's own clean-up and the one at the end, nothing between.
    std::vector<std::string> wanted = {"HXP:Resize Window"};
    for (const std::string& line : SetupLines(kTemplateClient))
        wanted.push_back(line);
    wanted.push_back("HXP:Hexaplan Cleanup");
    EXPECT_EQ(lines, wanted);
}

void CloseBox(const Display& display, unsigned long window) {
    // The manager's close button sits at the right end of the title bar.
    std::vector<long> frame = display.FrameExtents(window); // left, right, top, bottom
    Point origin = display.ClientOrigin(window);
    Size size = display.ClientSize(window);
    display.Click(origin.x + size.width + static_cast<int>(frame[1]) - 11,
                  origin.y - static_cast<int>(frame[2]) + 10);
}

void SystemMenuClose(const Display& display, unsigned long) {
    display.Key("alt+space");
    Eventually([&] { return display.PopupMenu() != 0; }, 10s);
    // The menu takes the keyboard once it is up; C is Close's mnemonic.
    usleep(200000);
    display.Key("c");
}

INSTANTIATE_TEST_SUITE_P(
    ByTheUser, Exit,
    ::testing::Values(ExitCase{"Escape", [](const Display& d, unsigned long) { d.Key("Escape"); }},
                      ExitCase{"Enter", [](const Display& d, unsigned long) { d.Key("Return"); }},
                      ExitCase{"CloseBox", CloseBox}, ExitCase{"SystemMenuClose", SystemMenuClose}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MissingPicture, ShowsItsMessageAtTheFirstFrameAndEndsWithStatusOne) {
    Display display(true);
    ASSERT_TRUE(display.Ready());
    std::filesystem::path empty =
        std::filesystem::path(::testing::TempDir()) / ("zevra-empty-" + std::to_string(getpid()));
    std::filesystem::create_directories(empty);
    Program zevra(ProgramPath(), empty.string());
    unsigned long window = WaitForWindow(display, zevra.Pid(), "Zevra");
    ASSERT_NE(window, 0u);
    // The first frame, and with it the box, comes as soon as the window has
    // the focus; the box then takes the focus.
    display.Activate(window);

    // The box is the program's second window, with the program's caption.
    unsigned long box = 0;
    ASSERT_TRUE(Eventually([&] {
        for (unsigned long each : display.WindowsOf(zevra.Pid()))
            if (each != window)
                box = each;
        return box != 0;
    })) << "no message box";
    EXPECT_EQ(display.Title(box), "Zevra");
    // The message in Japanese glyphs, in the toolkit's face, above the button.
    ASSERT_TRUE(Eventually([&] { return !InkBox(display.GrabClient(box)).empty(); }));
    Image shown = display.GrabClient(box);
    Box text = InkBox(shown.Crop(0, 0, shown.width, shown.height / 2));
    Box rendered = InkBox(RenderText("Can1.bmpﾌｧｲﾙが読み込めません", "Sans 10"));
    EXPECT_NEAR(text.width(), rendered.width(), 1);

    display.Key("Return");
    EXPECT_EQ(zevra.WaitForExit(), 1);
    // The set-up ran up to the texture; nothing was released on the way out.
    std::vector<std::string> wanted = {"HXP:Resize Window"};
    for (const std::string& line : SetupLines(kTemplateClient))
        wanted.push_back(line);
    EXPECT_EQ(zevra.ProgramLines(), wanted);
    std::filesystem::remove_all(empty);
}

} // namespace
} // namespace zv::e2e
