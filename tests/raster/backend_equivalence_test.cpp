// The vectorised backends must write exactly the bytes of the reference.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>

#include "raster_test_support.h"

namespace zv::raster::testing {
namespace {

const Backend kVectorBackends[] = {Backend::Sse2, Backend::Avx2};

struct Frame {
  Image target;
  Image depth;
  Frame(int w, int h) : target(w, h, PixelFormat::XRGB8888), depth(w, h, PixelFormat::Z16) {}
};

std::unique_ptr<Frame> render_program_frame(Backend backend, int w, int h, int phase) {
  static FrameTexture texture;
  auto frame = std::make_unique<Frame>(w, h);
  Device device(backend, frame->target.surface(), nullptr, &frame->depth.surface());
  device.clear({0, 0, w, h}, kClearTarget | kClearZBuffer, 0xFFFFFFFFu, 1.0f);
  set_frame_states(device);
  device.set_texture(&texture.texture);
  draw_frame(device, phase);
  return frame;
}

void write_png(const Image& image, const std::string& path) {
  std::string ppm = path + ".ppm";
  FILE* f = std::fopen(ppm.c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", image.width(), image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      uint32_t c = image.at(x, y);
      uint8_t rgb[3] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
      std::fwrite(rgb, 1, 3, f);
    }
  std::fclose(f);
  std::string command = "convert " + ppm + " " + path + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "no PNG; the PPM is at %s\n", ppm.c_str());
}

TEST(BackendEquivalence, ProgramFrameAt640x480) {
  for (int phase : {0, 17}) {
    auto reference = render_program_frame(Backend::Reference, 640, 480, phase);
    if (phase == 0) write_png(reference->target, "/tmp/zevra-raster-frame.png");
    // Sanity: the grid is textured, the rest keeps the clear colour.
    EXPECT_NE(reference->target.at(100, 100), 0xFFFFFFu);
    EXPECT_EQ(reference->target.at(600, 400), 0xFFFFFFu);
    EXPECT_EQ(reference->depth.at(100, 100), 0u);
    EXPECT_EQ(reference->depth.at(600, 400), 0xFFFFu);
    for (Backend b : kVectorBackends) {
      auto other = render_program_frame(b, 640, 480, phase);
      EXPECT_EQ(reference->target.pixels(), other->target.pixels()) << backend_name(b);
      EXPECT_EQ(reference->depth.pixels(), other->depth.pixels()) << backend_name(b);
      EXPECT_TRUE(other->target.guard_intact());
    }
  }
}

// One random scene: random surfaces, render states and triangles.
struct Scene {
  PixelFormat target_format;
  PixelFormat depth_format;  // Z16 / Z32, or Pal8 for none
  PixelFormat texture_format;  // Z16 for none
  int width, height, texture_width, texture_height;
  std::vector<std::pair<uint32_t, uint32_t>> states;
  std::vector<TLVertex> vertices;
  uint32_t primitive;
  Rect viewport;
  std::vector<size_t> batches;  // vertices per draw call; all in one when empty
};

Scene random_scene(std::mt19937& rng) {
  auto pick = [&](auto... options) {
    uint32_t values[] = {static_cast<uint32_t>(options)...};
    return values[rng() % sizeof...(options)];
  };
  auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
  const PixelFormat targets[] = {PixelFormat::XRGB8888, PixelFormat::RGB565, PixelFormat::XRGB1555,
                                 PixelFormat::Pal8};
  const PixelFormat depths[] = {PixelFormat::Z16, PixelFormat::Z32, PixelFormat::Pal8};
  const PixelFormat textures[] = {PixelFormat::Pal8,     PixelFormat::XRGB8888, PixelFormat::ARGB8888,
                                  PixelFormat::RGB565,   PixelFormat::RGB888,   PixelFormat::XRGB1555,
                                  PixelFormat::ARGB1555, PixelFormat::Z16};
  Scene s;
  s.target_format = targets[rng() % 4];
  s.depth_format = depths[rng() % 3];
  s.texture_format = textures[rng() % 8];
  s.width = 5 + static_cast<int>(rng() % 60);
  s.height = 3 + static_cast<int>(rng() % 40);
  s.texture_width = pick(1, 2, 3, 16, 64, 100);
  s.texture_height = pick(1, 4, 7, 32, 64);
  s.states = {
      {kCullMode, pick(kCullNone, kCullCW, kCullCCW)},
      {kZEnable, pick(0, 1, 1)},
      {kZWriteEnable, pick(0, 1, 1)},
      {kZFunc, 1 + rng() % 8},
      {kAlphaBlendEnable, pick(0, 1, 1)},
      {kSrcBlend, 1 + rng() % 13},
      {kDestBlend, 1 + rng() % 13},
      {kShadeMode, pick(kShadeFlat, kShadeGouraud, kShadeGouraud)},
      {kTextureMag, pick(kFilterNearest, kFilterLinear)},
      {kTextureMin, pick(kFilterNearest, kFilterLinear)},
      {kTextureAddressU, pick(kAddressWrap, kAddressWrap, kAddressMirror, kAddressClamp)},
      {kTextureAddressV, pick(kAddressWrap, kAddressWrap, kAddressMirror, kAddressClamp)},
      {kTextureMapBlend, 1 + rng() % 7},
      {kTexturePerspective, pick(0, 1, 1)},
  };
  s.primitive = pick(kTriangleList, kTriangleStrip, kTriangleFan);
  s.viewport = {static_cast<int32_t>(rng() % 5) - 2, static_cast<int32_t>(rng() % 5) - 2,
                s.width - static_cast<int32_t>(rng() % 4), s.height + 1};
  bool constant_rhw = rng() % 3 == 0;
  bool grey = rng() % 4 == 0;
  int count = static_cast<int>(rng() % 40);
  for (int i = 0; i < count; ++i) {
    uint32_t color = static_cast<uint32_t>(rng());
    if (grey) color = 0xFFFFFFFFu;
    if (rng() % 3 == 0) color |= 0xFF000000u;
    s.vertices.push_back({uniform(-10, s.width + 10), uniform(-10, s.height + 10), uniform(-0.1f, 1.1f),
                          constant_rhw ? 10000.0f : uniform(0.2f, 3.0f), color, 0,
                          uniform(-4, 4), uniform(-4, 4)});
  }
  return s;
}

struct Rendered {
  std::vector<uint8_t> target, depth;
};

Rendered render(const Scene& s, Backend backend) {
  std::mt19937 rng(99);
  Image target(s.width, s.height, s.target_format);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) target.set(x, y, static_cast<uint32_t>(rng()));
  Palette target_palette, texture_palette;
  PaletteEntry entries[256];
  for (auto& e : entries) e = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  target_palette.set_entries(0, entries, 256);
  for (auto& e : entries) e = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  texture_palette.set_entries(0, entries, 256);

  bool has_depth = s.depth_format != PixelFormat::Pal8;
  Image depth(s.width, s.height, has_depth ? s.depth_format : PixelFormat::Z16);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) depth.set(x, y, static_cast<uint32_t>(rng()) % (1u << 16));
  bool textured = s.texture_format != PixelFormat::Z16;
  Image texels(s.texture_width, s.texture_height, textured ? s.texture_format : PixelFormat::Pal8);
  for (int y = 0; y < s.texture_height; ++y)
    for (int x = 0; x < s.texture_width; ++x) texels.set(x, y, static_cast<uint32_t>(rng()));
  Texture texture{texels.surface(), &texture_palette};

  Device device(backend, target.surface(), &target_palette, has_depth ? &depth.surface() : nullptr);
  for (auto [state, value] : s.states) device.set_render_state(state, value);
  device.set_viewport(s.viewport);
  if (textured) device.set_texture(&texture);
  if (s.batches.empty()) {
    device.draw(s.primitive, s.vertices.data(), s.vertices.size());
  } else {
    size_t first = 0;
    for (size_t count : s.batches) {
      device.draw(s.primitive, s.vertices.data() + first, count);
      first += count;
    }
  }
  EXPECT_TRUE(target.guard_intact());
  EXPECT_TRUE(depth.guard_intact());
  return {target.pixels(), depth.pixels()};
}

// Every vectorised backend writes the reference's bytes for the scene.
::testing::AssertionResult backends_agree(const Scene& scene) {
  Rendered reference = render(scene, Backend::Reference);
  for (Backend b : kVectorBackends) {
    Rendered other = render(scene, b);
    if (other.target != reference.target) return ::testing::AssertionFailure() << backend_name(b) << ": target differs";
    if (other.depth != reference.depth) return ::testing::AssertionFailure() << backend_name(b) << ": depth differs";
  }
  return ::testing::AssertionSuccess();
}

TEST(BackendEquivalence, RandomStatesSurfacesAndTriangles) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 600; ++round) {
    Scene scene = random_scene(rng);
    ASSERT_TRUE(backends_agree(scene)) << "round " << round;
  }
}

// The states of the program's own frame and their near relatives, which the
// vectorised backends run through a separate kernel; geometry stays random.
TEST(BackendEquivalence, FlatTexturedStatesWithRandomGeometry) {
  std::mt19937 rng(77);
  for (int round = 0; round < 400; ++round) {
    Scene s = random_scene(rng);
    s.target_format = round % 4 == 1 ? PixelFormat::RGB565 : PixelFormat::XRGB8888;
    s.depth_format = round % 3 == 0 ? PixelFormat::Pal8 : PixelFormat::Z16;  // Pal8: none
    const PixelFormat textures[] = {PixelFormat::Pal8, PixelFormat::XRGB8888, PixelFormat::ARGB8888};
    s.texture_format = textures[round % 3];
    s.primitive = round % 2 ? kTriangleFan : kTriangleStrip;
    s.states = {
        {kCullMode, kCullNone},
        {kZWriteEnable, static_cast<uint32_t>(rng() % 2)},
        {kZFunc, 1 + static_cast<uint32_t>(rng() % 8)},
        {kAlphaBlendEnable, static_cast<uint32_t>(rng() % 2)},
        {kSrcBlend, kBlendSrcAlpha},
        {kDestBlend, kBlendInvSrcAlpha},
        {kTextureMapBlend, round % 4 == 0 ? kTexBlendDecal : kTexBlendModulate},
        {kShadeMode, round % 5 == 0 ? kShadeFlat : kShadeGouraud},
    };
    for (TLVertex& v : s.vertices) {
      v.color = 0xFFFFFFFFu;
      v.rhw = 10000.0f;
      if (round % 7 == 0) v.sz = 0.0f;
      if (round % 7 == 3) v.sz = 1.25f;  // past the far end: the largest depth
    }
    ASSERT_TRUE(backends_agree(s)) << "round " << round;
  }
}

// Large triangles take the 64-bit edge path in the vectorised backends.
TEST(BackendEquivalence, TrianglesLargerThanThirtyTwoBitEdges) {
  std::mt19937 rng(5);
  for (int round = 0; round < 20; ++round) {
    Scene s = random_scene(rng);
    s.width = 300, s.height = 200;
    s.vertices.clear();
    for (int i = 0; i < 9; ++i) {
      float range = i % 2 ? 12000.0f : 3e6f;
      std::uniform_real_distribution<float> d(-range, range);
      s.vertices.push_back({d(rng), d(rng), 0.5f, 1.0f, static_cast<uint32_t>(rng()), 0, d(rng) / 1000, 1});
    }
    ASSERT_TRUE(backends_agree(s)) << "round " << round;
  }
}

// Axis-aligned quads in the same states: fans of four and strips of quads
// side by side, whose pairs of triangles fill their boxes exactly, where the
// vectorised backends only follow the edge each pair shares.
TEST(BackendEquivalence, AxisAlignedQuadsWithRandomStates) {
  std::mt19937 rng(31);
  auto coordinate = [&](int limit) {
    const float fractions[] = {0.0f, 0.0f, 0.0f, 0.5f, 0.25f, 0.9375f, 0.03f};
    return static_cast<float>(static_cast<int>(rng() % (limit + 6)) - 3) + fractions[rng() % 7];
  };
  for (int round = 0; round < 500; ++round) {
    Scene s = random_scene(rng);
    s.target_format = round % 4 == 1 ? PixelFormat::RGB565 : PixelFormat::XRGB8888;
    s.depth_format = round % 3 == 0 ? PixelFormat::Pal8 : PixelFormat::Z16;  // Pal8: none
    const PixelFormat textures[] = {PixelFormat::Pal8, PixelFormat::XRGB8888, PixelFormat::ARGB8888};
    s.texture_format = textures[round % 3];
    s.states = {
        {kCullMode, kCullNone},
        {kZWriteEnable, static_cast<uint32_t>(rng() % 2)},
        {kZFunc, 1 + static_cast<uint32_t>(rng() % 8)},
        {kAlphaBlendEnable, static_cast<uint32_t>(rng() % 2)},
        {kSrcBlend, kBlendSrcAlpha},
        {kDestBlend, kBlendInvSrcAlpha},
        {kTextureMapBlend, round % 4 == 0 ? kTexBlendDecal : kTexBlendModulate},
    };
    // One depth per quad, the nearest, the farthest, past them or between;
    // now and then one per corner.
    const float depths[] = {0.0f, 1.0f, 1.5f, -0.25f, 0.5f};
    auto corner = [&](float x, float y, float z) {
      std::uniform_real_distribution<float> texture(-3.0f, 3.0f);
      return TLVertex{x, y, z, 10000.0f, 0xFFFFFFFFu, 0, texture(rng), texture(rng)};
    };
    auto depth = [&] { return depths[rng() % 5]; };
    const bool per_corner = rng() % 6 == 0;
    s.vertices.clear();
    s.batches.clear();
    if (round % 2) {
      s.primitive = kTriangleFan;
      for (int q = 1 + static_cast<int>(rng() % 5); q > 0; --q) {
        float x0 = coordinate(s.width), y0 = coordinate(s.height);
        float x1 = x0 + static_cast<float>(1 + rng() % 13), y1 = y0 + static_cast<float>(1 + rng() % 11);
        float z = depth();
        for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
          s.vertices.push_back(corner(x, y, per_corner ? depth() : z));
        s.batches.push_back(4);
      }
    } else {
      s.primitive = kTriangleStrip;
      float x = coordinate(s.width), y0 = coordinate(s.height), y1 = y0 + static_cast<float>(1 + rng() % 11);
      float z = depth();
      for (int column = 0; column < 2 + static_cast<int>(rng() % 6); ++column) {
        s.vertices.push_back(corner(x, y0, per_corner ? depth() : z));
        s.vertices.push_back(corner(x, y1, per_corner ? depth() : z));
        x += static_cast<float>(1 + rng() % 9);
      }
    }
    ASSERT_TRUE(backends_agree(s)) << "round " << round;
  }
}

}  // namespace
}  // namespace zv::raster::testing
