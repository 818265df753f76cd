// Which pixels a triangle writes: fill rule, seams, culling, clipping.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "raster_test_support.h"

namespace zv::raster::testing {
namespace {

// Counts writes per pixel with an additive blend of 1 on a black target.
class CountingTarget {
 public:
  CountingTarget(Backend backend, int w, int h)
      : image_(w, h, PixelFormat::XRGB8888), device_(backend, image_.surface()) {
    device_.set_render_state(kCullMode, kCullNone);
    device_.set_render_state(kAlphaBlendEnable, 1);
    device_.set_render_state(kSrcBlend, kBlendOne);
    device_.set_render_state(kDestBlend, kBlendOne);
  }
  Device& device() { return device_; }
  Image& image() { return image_; }
  int count(int x, int y) const { return static_cast<int>(image_.at(x, y) & 0xFF); }
  void fan(const std::vector<TLVertex>& v) { device_.draw(kTriangleFan, v.data(), v.size()); }

 private:
  Image image_;
  Device device_;
};

constexpr uint32_t kOne = 0xFF010101u;

class Coverage : public ::testing::TestWithParam<Backend> {};

TEST_P(Coverage, FrameGridWritesEachPixelOfItsSquareExactlyOnce) {
  CountingTarget t(GetParam(), 512, 500);
  for (int i = 0; i < 49; ++i)
    for (int j = 0; j < 49; ++j)
      t.fan(quad(10.0f * j, 10.0f * i, 10.0f * j + 10, 10.0f * i + 10, kOne));
  int wrong = 0;
  for (int y = 0; y < t.image().height(); ++y)
    for (int x = 0; x < t.image().width(); ++x)
      wrong += t.count(x, y) != (x < 490 && y < 490 ? 1 : 0);
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(t.image().guard_intact());
}

TEST_P(Coverage, SquareWithCornersOnPixelCentresOwnsTopAndLeftEdgesOnly) {
  CountingTarget t(GetParam(), 8, 8);
  t.fan(quad(2, 1, 6, 4, kOne));
  std::string drawn;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) drawn += t.count(x, y) ? '#' : '.';
    drawn += '\n';
  }
  EXPECT_EQ(drawn,
            "........\n"
            "..####..\n"
            "..####..\n"
            "..####..\n"
            "........\n"
            "........\n"
            "........\n"
            "........\n");
}

// A single triangle, its pixel centres at the sub-pixel snapped vertices.
TEST_P(Coverage, TriangleGoldenShapes) {
  struct Case {
    TLVertex a, b, c;
    const char* golden;
  } cases[] = {
      {vertex(0, 0), vertex(8, 0), vertex(0, 8),
       "########\n"
       "#######.\n"
       "######..\n"
       "#####...\n"
       "####....\n"
       "###.....\n"
       "##......\n"
       "#.......\n"},
      {vertex(0.5f, 0.5f), vertex(7.5f, 3.5f), vertex(2.25f, 7.75f),
       "........\n"
       ".#......\n"
       ".###....\n"  // (4, 2) lies exactly on the right edge
       "..#####.\n"
       "..#####.\n"
       "..####..\n"
       "..###...\n"
       "...#....\n"},
      // Thinner than a pixel, between centres: nothing at all.
      {vertex(0.1f, 0.2f), vertex(7.9f, 0.3f), vertex(7.9f, 0.8f),
       "........\n"
       "........\n"
       "........\n"
       "........\n"
       "........\n"
       "........\n"
       "........\n"
       "........\n"},
  };
  for (const Case& c : cases) {
    CountingTarget t(GetParam(), 8, 8);
    TLVertex v[3] = {c.a, c.b, c.c};
    for (TLVertex& x : v) x.color = kOne;
    t.device().draw(kTriangleList, v, 3);
    std::string drawn;
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) drawn += t.count(x, y) ? '#' : '.';
      drawn += '\n';
    }
    EXPECT_EQ(drawn, c.golden);
  }
}

// Convex polygons around random centres, split into fans at sub-pixel
// positions: shared edges must neither overlap nor leave holes.
TEST_P(Coverage, FansAroundAPointNeitherOverlapNorLeaveHoles) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> jitter(-0.5f, 0.5f);
  for (int round = 0; round < 20; ++round) {
    CountingTarget t(GetParam(), 64, 64);
    float cx = 32 + jitter(rng) * 8, cy = 32 + jitter(rng) * 8;
    int sides = 3 + round % 9;
    std::vector<TLVertex> fan{vertex(cx, cy, kOne)};
    std::vector<float> px, py;
    for (int k = 0; k <= sides; ++k) {
      double angle = 2 * M_PI * (k % sides) / sides + 0.3 * round;
      float r = 20 + 5 * std::sin(round + k % sides);
      if (k < sides) px.push_back(cx + r * std::cos(angle)), py.push_back(cy + r * std::sin(angle));
      fan.push_back(vertex(px[k % sides], py[k % sides], kOne));
    }
    t.fan(fan);
    int twice = 0, holes = 0;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        twice += t.count(x, y) > 1;
        // Well inside the polygon: within a radius smaller than its inradius.
        double d = std::hypot(x - cx, y - cy);
        holes += d < 20 * std::cos(M_PI / sides) - 6 && t.count(x, y) == 0;
      }
    }
    EXPECT_EQ(twice, 0) << "round " << round;
    EXPECT_EQ(holes, 0) << "round " << round;
  }
}

TEST_P(Coverage, StripAndListOfTheSameMeshMatch) {
  // A strip zig-zagging down a column; its odd triangles run the other way.
  std::vector<TLVertex> strip;
  for (int k = 0; k < 12; ++k) strip.push_back(vertex(k % 2 ? 20.3f : 3.1f, 2.7f * k + 0.4f, kOne));
  std::vector<TLVertex> list;
  for (size_t k = 0; k + 2 < strip.size(); ++k)
    for (size_t m = 0; m < 3; ++m) list.push_back(strip[k + m]);

  CountingTarget a(GetParam(), 32, 40), b(GetParam(), 32, 40);
  for (CountingTarget* t : {&a, &b}) t->device().set_render_state(kCullMode, kCullCCW);
  a.device().draw(kTriangleStrip, strip.data(), strip.size());
  b.device().set_render_state(kCullMode, kCullNone);
  b.device().draw(kTriangleList, list.data(), list.size());
  EXPECT_EQ(a.image().pixels(), b.image().pixels());
  int written = 0, twice = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 32; ++x) written += a.count(x, y) > 0, twice += a.count(x, y) > 1;
  EXPECT_GT(written, 400);
  EXPECT_EQ(twice, 0);
}

TEST_P(Coverage, CullModesAgainstWinding) {
  struct Case {
    uint32_t cull;
    bool clockwise;
    bool drawn;
  } cases[] = {
      {kCullNone, true, true},  {kCullNone, false, true}, {kCullCW, true, false},
      {kCullCW, false, true},   {kCullCCW, true, true},   {kCullCCW, false, false},
  };
  for (const Case& c : cases) {
    CountingTarget t(GetParam(), 16, 16);
    t.device().set_render_state(kCullMode, c.cull);
    std::vector<TLVertex> q = quad(2, 2, 12, 12, kOne);  // clockwise on screen
    if (!c.clockwise) std::swap(q[1], q[3]);
    t.fan(q);
    EXPECT_EQ(t.count(6, 6), c.drawn ? 1 : 0) << "cull " << c.cull << " cw " << c.clockwise;
  }
}

TEST_P(Coverage, DefaultCullModeKeepsTheFramesClockwiseFans) {
  Image image(16, 16, PixelFormat::XRGB8888);
  Device device(GetParam(), image.surface());
  EXPECT_EQ(device.render_state(kCullMode), kCullCCW);
  std::vector<TLVertex> q = quad(0, 0, 10, 10, 0xFFFF0000u);
  device.draw(kTriangleFan, q.data(), q.size());
  EXPECT_EQ(image.at(5, 5), 0xFF0000u);
}

TEST_P(Coverage, ViewportLimitsDrawing) {
  CountingTarget t(GetParam(), 32, 32);
  t.device().set_viewport({5, 7, 21, 19});
  t.fan(quad(-100, -100, 100, 100, kOne));
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(t.count(x, y), x >= 5 && x < 21 && y >= 7 && y < 19 ? 1 : 0) << x << "," << y;
}

// Vertices far beyond the guard band are clipped geometrically; the visible
// part must still be exactly the half-plane the huge triangle covers.
TEST_P(Coverage, HugeTriangleIsClippedToItsVisiblePart) {
  CountingTarget t(GetParam(), 40, 30);
  TLVertex v[3] = {vertex(-1e7f, -1e7f, kOne), vertex(1e7f, 1e7f, kOne),
                   vertex(-1e7f, 1e7f, kOne)};  // below the diagonal y = x
  t.device().draw(kTriangleList, v, 3);
  int wrong = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      if (x != y) wrong += t.count(x, y) != (y > x ? 1 : 0);
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(t.image().guard_intact());
}

INSTANTIATE_TEST_SUITE_P(AllBackends, Coverage, ::testing::ValuesIn(kBackends),
                         backend_param_name<::testing::TestParamInfo<Backend>>);

}  // namespace
}  // namespace zv::raster::testing
