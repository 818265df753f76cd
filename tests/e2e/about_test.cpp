// The About box, opened from the window's system menu with the keyboard.
#include "desktop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <thread>

namespace zv::e2e {
namespace {

const char kAboutTitle[] = "Zevraのﾊﾞｰｼﾞｮﾝ情報";
// The system-menu entry as shown: the ampersand marks the mnemonic.
const char kAboutEntry[] = "Zevra のﾊﾞｰｼﾞｮﾝ情報(A)...";
const char kVersionLine[] = "Zevra Version 1.0";
const char kCopyrightLine[] = "Copyright (C) 2026 The Zevra team";
// The face "ＭＳ Ｐゴシック" of the template resolves to this one; the menus
// use the toolkit's default face.
const char kTemplateFont[] = "IPAPGothic 9";
const char kMenuFont[] = "Sans 10";

// Dialog units of the About template to pixels (base units 7 x 13).
Point Pixels(int x, int y) {
    return {static_cast<int>(std::lround(x * 7 / 4.0)),
            static_cast<int>(std::lround(y * 13 / 8.0))};
}

class About : public FocusedProgram {
protected:
    // Alt+Space opens the system menu; its last entry opens the box.
    unsigned long OpenMenu() {
        display.Key("alt+space");
        unsigned long menu = 0;
        Eventually([&] { return (menu = display.PopupMenu()) != 0; }, 10s);
        // The menu takes the keyboard once it is up.
        std::this_thread::sleep_for(200ms);
        return menu;
    }

    unsigned long OpenAbout() {
        if (OpenMenu() == 0)
            return 0;
        display.Key("a");
        return WaitForWindow(display, zevra.Pid(), kAboutTitle, 10s);
    }

};

TEST_F(About, TheSystemMenuEndsWithTheAboutEntryInJapaneseGlyphs) {
    unsigned long menu = OpenMenu();
    ASSERT_NE(menu, 0u) << "no system menu on Alt+Space";
    Size size = display.ClientSize(menu);
    Point origin = display.ClientOrigin(menu);
    // The last entry, inside the menu's border.
    const int kRow = 30;
    Image entry =
        display.Grab(origin.x + 4, origin.y + size.height - kRow, size.width - 8, kRow - 4);
    Box shown = InkBox(entry);
    Box rendered = InkBox(RenderText(kAboutEntry, kMenuFont));
    ASSERT_FALSE(rendered.empty()) << "the text could not be rendered";
    EXPECT_NEAR(shown.width(), rendered.width(), 1);
    display.Key("Escape");
    EXPECT_TRUE(Eventually([&] { return display.PopupMenu() == 0; }));
}

TEST_F(About, OpensModallyInTheTemplatesFaceStopsTheFramesAndClosesWithOk) {
    unsigned long about = OpenAbout();
    ASSERT_NE(about, 0u) << "no window titled " << kAboutTitle;
    Size size = display.ClientSize(about);
    EXPECT_EQ(size, (Size{411, 89})) << "235 x 55 dialog units";

    // The modal loop runs instead of the idle loop: no frames.
    std::this_thread::sleep_for(300ms);
    size_t linesBefore = zevra.ProgramLines().size();
    Display::DrawCounter frames(display, window);
    EXPECT_EQ(frames.CountFor(1000ms), 0) << "frames drawn behind the About box";
    EXPECT_EQ(zevra.ProgramLines().size(), linesBefore);
    // The main window accepts no input meanwhile: a click on it leaves the
    // focus in the box.
    Point main = display.ClientOrigin(window);
    display.Click(main.x + 20, main.y + display.ClientSize(window).height - 20);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(display.Focused(about)) << "the main window took the focus";
    ASSERT_NE(display.WindowTitled(zevra.Pid(), kAboutTitle), 0u);

    Image box = display.GrabClient(about);
    // The version line in the template's face: it takes the room that face
    // gives it, which another face would not.
    Point version = Pixels(40, 10);
    Box shown = InkBox(box.Crop(version.x, version.y, Pixels(119, 8).x, Pixels(119, 8).y));
    Box inFace = InkBox(RenderText(kVersionLine, kTemplateFont));
    Box inOther = InkBox(RenderText(kVersionLine, "DejaVu Sans 9"));
    ASSERT_GT(std::abs(inFace.width() - inOther.width()), 2) << "the faces cannot be told apart";
    EXPECT_NEAR(shown.width(), inFace.width(), 1);
    EXPECT_NEAR(shown.height(), inFace.height(), 1);
    Point copyright = Pixels(40, 25);
    EXPECT_FALSE(
        InkBox(box.Crop(copyright.x, copyright.y, Pixels(119, 8).x, Pixels(119, 8).y)).empty())
        << "no copyright line";

    // The application's icon at the left, as exported for the desktop.
    std::string icons = ::testing::TempDir() + "zevra-about-icons-" + std::to_string(zevra.Pid());
    ASSERT_EQ(std::system((std::string(ZV_EXPORT_ICON) + " '" + icons + "'").c_str()), 0);
    Image alpha;
    Image icon = ReadPicture(icons + "/32x32/zevra.png", &alpha);
    std::system(("rm -rf '" + icons + "'").c_str());
    ASSERT_EQ(icon.width, 32);
    Point place = Pixels(11, 17);
    bool iconShown = false;
    for (int dy = -3; dy <= 3 && !iconShown; ++dy)
        for (int dx = -3; dx <= 3 && !iconShown; ++dx) {
            iconShown = true;
            for (int y = 0; y < 32 && iconShown; ++y)
                for (int x = 0; x < 32 && iconShown; ++x)
                    if (alpha.at(x, y) != 0)
                        iconShown = box.at(place.x + dx + x, place.y + dy + y) == icon.at(x, y);
        }
    EXPECT_TRUE(iconShown) << "the icon is not near " << place.x << ", " << place.y;

    // OK, the default button at the right.
    Point ok = Pixels(178, 7), okSize = Pixels(50, 14);
    Point origin = display.ClientOrigin(about);
    display.Click(origin.x + ok.x + okSize.x / 2, origin.y + ok.y + okSize.y / 2);
    ASSERT_TRUE(Eventually([&] { return display.WindowTitled(zevra.Pid(), kAboutTitle) == 0; }))
        << "OK did not close the box";
    EXPECT_TRUE(Eventually([&] { return display.Focused(window); }));
    EXPECT_TRUE(Eventually([&] { return frames.Count() >= 5; })) << "no frames after the box";
    EXPECT_TRUE(zevra.Running());
}

TEST_F(About, TheCopyrightLineFitsItsControl) {
    unsigned long about = OpenAbout();
    ASSERT_NE(about, 0u);
    Image box = display.GrabClient(about);
    Point copyright = Pixels(40, 25);
    Box shown = InkBox(box.Crop(copyright.x, copyright.y, Pixels(119, 8).x, Pixels(119, 8).y));
    EXPECT_NEAR(shown.width(), InkBox(RenderText(kCopyrightLine, kTemplateFont)).width(), 1);
    display.Key("Escape");
}

} // namespace
} // namespace zv::e2e
