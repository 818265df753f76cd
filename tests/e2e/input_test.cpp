// The space bar and the keyboard focus, as the user works them.
#include "desktop.h"

#include <gtest/gtest.h>

#include <thread>

namespace zv::e2e {
namespace {

// With the pictures of the regions the tests compare.
class Running : public FocusedProgram {
protected:
    Image Region(const Image& client, int centreX, int centreY) const {
        return client.Crop(centreX - kBox / 2, centreY - kBox / 2, kBox, kBox);
    }

    static constexpr int kBox = 60;
};

TEST_F(Running, HoldingTheSpaceBarDisturbsTheCentreMoreThanTheCorners) {
    Size size = display.ClientSize(window);
    // The poked node is the corner at client pixel (250, 250); the corners are
    // those of the client area, far from it.
    const Point kCorners[] = {{kBox / 2, kBox / 2},
                              {size.width - kBox / 2, kBox / 2},
                              {kBox / 2, size.height - kBox / 2},
                              {size.width - kBox / 2, size.height - kBox / 2}};
    struct Disturbance {
        double centre = 0;
        double corners = 0;
    };
    // The surface shimmers everywhere by a pixel or two; the pull moves the
    // picture near the centre much further.
    auto over30Frames = [&](bool space) {
        Image before = display.GrabClient(window);
        Display::DrawCounter frames(display, window);
        if (space)
            display.KeyDown("space");
        bool drawn = Eventually([&] { return frames.Count() >= 30; });
        if (space)
            display.KeyUp("space");
        EXPECT_TRUE(drawn);
        Image after = display.GrabClient(window);
        Disturbance d;
        d.centre = Disturbed(Region(before, 250, 250), Region(after, 250, 250));
        for (Point corner : kCorners)
            d.corners = std::max(d.corners, Disturbed(Region(before, corner.x, corner.y),
                                                      Region(after, corner.x, corner.y)));
        return d;
    };

    Disturbance still = over30Frames(false);
    EXPECT_LT(still.centre, 0.05) << "the centre moved without the space bar";
    Disturbance pulled = over30Frames(true);
    EXPECT_GT(pulled.centre, 0.2);
    EXPECT_GT(pulled.centre, 10 * pulled.corners)
        << "centre " << pulled.centre << ", corners up to " << pulled.corners;
}

TEST_F(Running, FramesStopWhileAnotherWindowHasTheFocusAndGoOnWhenItComesBack) {
    Point origin = display.ClientOrigin(window);
    // Beside the program's window, so that nothing covers it.
    unsigned long other = display.CreateWindow(0, 0, 200, 150);
    ASSERT_LT(200, origin.x);
    ASSERT_TRUE(display.ActivateAndWait(other));
    ASSERT_FALSE(display.Focused(window));
    // Frames already on their way may still land.
    std::this_thread::sleep_for(200ms);

    Image still = display.GrabClient(window);
    Display::DrawCounter frames(display, window);
    EXPECT_EQ(frames.CountFor(1000ms), 0) << "drawn without the focus";
    EXPECT_EQ(display.GrabClient(window), still);

    ASSERT_TRUE(display.ActivateAndWait(window));
    EXPECT_TRUE(Eventually([&] { return frames.Count() >= 5; })) << "no frames after refocus";
    EXPECT_TRUE(Eventually([&] { return Changed(display.GrabClient(window), still) > 0; }));
}

} // namespace
} // namespace zv::e2e
