// Whatever an application hands in, nothing is written outside the surfaces
// and nothing crashes; run these under the sanitizers too.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "raster_test_support.h"

namespace zv::raster::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class BadInput : public ::testing::TestWithParam<Backend> {};

TEST_P(BadInput, PrimitiveArgumentsAreChecked) {
  Image image(16, 16, PixelFormat::XRGB8888);
  Device device(GetParam(), image.surface());
  device.set_render_state(kCullMode, kCullNone);
  std::vector<TLVertex> q = quad(0, 0, 16, 16, 0xFFFFFFFFu);
  EXPECT_FALSE(device.draw(1, q.data(), 4));  // points
  EXPECT_FALSE(device.draw(7, q.data(), 4));
  EXPECT_FALSE(device.draw(kTriangleFan, nullptr, 4));
  for (uint32_t primitive : {kTriangleList, kTriangleStrip, kTriangleFan})
    for (size_t count : {0, 1, 2}) EXPECT_TRUE(device.draw(primitive, q.data(), count));
  EXPECT_EQ(image.pixels(), std::vector<uint8_t>(16 * 16 * 4, 0));
  // A list of four vertices draws its one whole triangle only.
  EXPECT_TRUE(device.draw(kTriangleList, q.data(), 4));
  EXPECT_EQ(image.at(14, 1), 0xFFFFFFu);
  EXPECT_EQ(image.at(1, 14), 0u);
  EXPECT_FALSE(device.set_render_state(kRenderStateCount, 1));
}

// Positions and attributes that are not numbers, infinite, enormous, or
// degenerate, in every field.
TEST_P(BadInput, NonsenseVerticesNeverWriteOutside) {
  const float values[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 3e38f, 16384.0f, -16385.0f, 0.0f, 1e-30f, -5.0f, 7.5f};
  std::mt19937 rng(11);
  static FrameTexture texture;
  Image image(37, 23, PixelFormat::XRGB8888), depth(37, 23, PixelFormat::Z16);
  Device device(GetParam(), image.surface(), nullptr, &depth.surface());
  device.set_render_state(kCullMode, kCullNone);
  device.set_render_state(kAlphaBlendEnable, 1);
  device.set_render_state(kSrcBlend, kBlendSrcAlpha);
  device.set_render_state(kDestBlend, kBlendInvSrcAlpha);
  device.set_texture(&texture.texture);
  for (int round = 0; round < 3000; ++round) {
    device.set_render_state(kTextureMag, round % 2 ? kFilterLinear : kFilterNearest);
    device.set_render_state(kTextureAddress, 1 + round % 3);
    device.set_render_state(kZFunc, kCmpAlways);
    TLVertex v[3];
    for (TLVertex& x : v) {
      float* fields[] = {&x.sx, &x.sy, &x.sz, &x.rhw, &x.tu, &x.tv};
      x = vertex(std::uniform_real_distribution<float>(-5, 40)(rng),
                 std::uniform_real_distribution<float>(-5, 30)(rng), 0xFF00FF00u ^ static_cast<uint32_t>(rng()),
                 0.3f, 0.7f, 0.5f, 1.0f);
      for (float* f : fields)
        if (rng() % 3 == 0) *f = values[rng() % std::size(values)];
    }
    EXPECT_TRUE(device.draw(kTriangleList, v, 3));
  }
  EXPECT_TRUE(image.guard_intact());
  EXPECT_TRUE(depth.guard_intact());
}

TEST_P(BadInput, DegenerateTrianglesDrawNothing) {
  Image image(16, 16, PixelFormat::XRGB8888);
  Device device(GetParam(), image.surface());
  device.set_render_state(kCullMode, kCullNone);
  TLVertex cases[][3] = {
      {vertex(4, 4), vertex(4, 4), vertex(4, 4)},
      {vertex(1, 1), vertex(8, 8), vertex(15, 15)},                 // collinear
      {vertex(1, 1), vertex(8, 8.01f), vertex(15, 15)},             // collinear once snapped
      {vertex(-1e30f, 5), vertex(1e30f, 5), vertex(0, 5.001f)},     // a line seen from afar
  };
  for (auto& c : cases) EXPECT_TRUE(device.draw(kTriangleList, c, 3));
  EXPECT_EQ(image.pixels(), std::vector<uint8_t>(16 * 16 * 4, 0));
}

TEST_P(BadInput, FarOutsideTheTargetDrawsNothing) {
  Image image(16, 16, PixelFormat::XRGB8888);
  Device device(GetParam(), image.surface());
  device.set_render_state(kCullMode, kCullNone);
  for (float offset : {-1e6f, -40.0f, 40.0f, 1e6f, 1e37f}) {
    std::vector<TLVertex> q = quad(offset, 0, offset + 10, 10, 0xFFFFFFFFu);
    device.draw(kTriangleFan, q.data(), q.size());
    q = quad(0, offset, 10, offset + 10, 0xFFFFFFFFu);
    device.draw(kTriangleFan, q.data(), q.size());
  }
  EXPECT_EQ(image.pixels(), std::vector<uint8_t>(16 * 16 * 4, 0));
  EXPECT_TRUE(image.guard_intact());
}

// Surfaces narrower than a vector, depth buffers smaller than the target,
// viewports outside or inverted, unusable textures and targets.
TEST_P(BadInput, AwkwardSurfacesAndViewports) {
  struct Case {
    int w, h, depth_w, depth_h;
    Rect viewport;
  } cases[] = {
      {1, 1, 1, 1, {0, 0, 1, 1}},       {3, 2, 3, 2, {0, 0, 3, 2}},
      {9, 5, 9, 5, {0, 0, 9, 5}},       {20, 20, 7, 30, {0, 0, 20, 20}},
      {20, 20, 30, 3, {0, 0, 20, 20}},  {20, 20, 20, 20, {-50, -50, 500, 500}},
      {20, 20, 20, 20, {15, 15, 5, 5}}, {20, 20, 20, 20, {30, 30, 40, 40}},
  };
  for (const Case& c : cases) {
    Image image(c.w, c.h, PixelFormat::RGB565), depth(c.depth_w, c.depth_h, PixelFormat::Z32);
    Device device(GetParam(), image.surface(), nullptr, &depth.surface());
    device.set_viewport(c.viewport);
    device.set_render_state(kCullMode, kCullNone);
    device.set_render_state(kZFunc, kCmpAlways);
    std::vector<TLVertex> q = quad(-3, -3, 40, 40, 0xFF123456u);
    device.draw(kTriangleFan, q.data(), q.size());
    device.clear({-10, -10, 100, 100}, kClearTarget | kClearZBuffer, 0, 0.5f);
    device.draw(kTriangleFan, q.data(), q.size());
    EXPECT_TRUE(image.guard_intact()) << c.w << "x" << c.h;
    EXPECT_TRUE(depth.guard_intact()) << c.w << "x" << c.h;
  }
}

TEST_P(BadInput, UnusableTextureOrTargetIsIgnored) {
  Image image(8, 8, PixelFormat::XRGB8888);
  Device device(GetParam(), image.surface());
  std::vector<TLVertex> q = quad(0, 0, 8, 8, 0xFF0000FFu);
  Image texels(4, 4, PixelFormat::Pal8);
  Texture unusable[] = {
      {{nullptr, 4, 4, 4, PixelFormat::Pal8}, nullptr},
      {texels.surface(), nullptr},  // palettised without a palette
      {{texels.surface().pixels, 4, 0, 4, PixelFormat::Pal8}, nullptr},
      {{texels.surface().pixels, 1, 4, 4, PixelFormat::XRGB8888}, nullptr},  // rows overlap
      {{texels.surface().pixels, 8, 2, 2, PixelFormat::Z16}, nullptr},
  };
  for (const Texture& t : unusable) {
    device.set_texture(&t);
    device.draw(kTriangleFan, q.data(), q.size());
    EXPECT_EQ(image.at(3, 3), 0x0000FFu);  // diffuse alone
  }
  Image other(8, 8, PixelFormat::Pal8);
  device.set_render_target(other.surface(), nullptr);  // palettised without a palette
  EXPECT_TRUE(device.draw(kTriangleFan, q.data(), q.size()));
  device.clear({0, 0, 8, 8}, kClearTarget, 0xFFFFFFFFu, 0);
  EXPECT_EQ(other.pixels(), std::vector<uint8_t>(64, 0));
}

INSTANTIATE_TEST_SUITE_P(AllBackends, BadInput, ::testing::ValuesIn(kBackends),
                         backend_param_name<::testing::TestParamInfo<Backend>>);

}  // namespace
}  // namespace zv::raster::testing
