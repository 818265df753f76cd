// What a covered pixel becomes: texture addressing and formats, palettes,
// texture blending, interpolation, frame-buffer blending, depth, target formats.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster_test_support.h"

namespace zv::raster::testing {
namespace {

class Shading : public ::testing::TestWithParam<Backend> {
 protected:
  void draw_fan(Device& device, const std::vector<TLVertex>& v) {
    ASSERT_TRUE(device.draw(kTriangleFan, v.data(), v.size()));
  }
};

// A 4 x 4 texture whose texel (i, j) reads back as i | j << 8, drawn on an
// 8 x 8 quad: each pixel samples half a texel further than its neighbour.
// The coordinates are exact in float, so each case has one right answer.
TEST_P(Shading, TexelAddressing) {
  struct Case {
    uint32_t mode;
    float start;
    int texel[8];
  } cases[] = {
      {kAddressWrap, 0.0625f, {0, 0, 1, 1, 2, 2, 3, 3}},
      {kAddressWrap, -1000.0f + 0.0625f, {0, 0, 1, 1, 2, 2, 3, 3}},
      {kAddressWrap, 5000.5f + 0.0625f, {2, 2, 3, 3, 0, 0, 1, 1}},
      {kAddressWrap, -0.5f + 0.0625f, {2, 2, 3, 3, 0, 0, 1, 1}},
      {kAddressWrap, -3.0f - 0.4375f, {2, 2, 3, 3, 0, 0, 1, 1}},
      {kAddressMirror, 1.0625f, {3, 3, 2, 2, 1, 1, 0, 0}},
      {kAddressMirror, -1.0f + 0.0625f, {3, 3, 2, 2, 1, 1, 0, 0}},
      {kAddressMirror, -0.5f + 0.0625f, {1, 1, 0, 0, 0, 0, 1, 1}},
      {kAddressClamp, -0.5f + 0.0625f, {0, 0, 0, 0, 0, 0, 1, 1}},
      {kAddressClamp, 0.5f + 0.0625f, {2, 2, 3, 3, 3, 3, 3, 3}},
  };
  Image texels(4, 4, PixelFormat::XRGB8888);
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) texels.set(i, j, static_cast<uint32_t>(i | j << 8));
  Texture texture{texels.surface()};
  for (const Case& c : cases) {
    Image image(8, 8, PixelFormat::XRGB8888);
    Device device(GetParam(), image.surface());
    device.set_render_state(kTextureAddress, c.mode);
    device.set_render_state(kTextureMapBlend, kTexBlendDecal);
    device.set_texture(&texture);
    draw_fan(device, quad(0, 0, 8, 8, 0xFFFFFFFFu, c.start, c.start, c.start + 1, c.start + 1));
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        ASSERT_EQ(image.at(x, y), static_cast<uint32_t>(c.texel[x] | c.texel[y] << 8))
            << "mode " << c.mode << " start " << c.start << " at " << x << "," << y;
  }
}

// Texel (i, j) of a 4 x 4 palettised texture shows as the letter
// 'a' + 4j + i. The quad turns the texture a quarter (u runs down, v across)
// and shifts it by half a period, wrapping.
TEST_P(Shading, TurnedTextureGolden) {
  Palette palette;
  PaletteEntry entries[16];
  for (int k = 0; k < 16; ++k) entries[k] = {uint8_t(k * 16), uint8_t(255 - k * 16), uint8_t(k), 0};
  palette.set_entries(0, entries, 16);
  Image texels(4, 4, PixelFormat::Pal8);
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) texels.set(i, j, static_cast<uint32_t>(4 * j + i));
  Texture texture{texels.surface(), &palette};
  Image image(8, 8, PixelFormat::XRGB8888);
  Device device(GetParam(), image.surface());
  device.set_texture(&texture);
  draw_fan(device, {vertex(0, 0, ~0u, 0.5f, 0), vertex(8, 0, ~0u, 0.5f, 1), vertex(8, 8, ~0u, 1.5f, 1),
                    vertex(0, 8, ~0u, 1.5f, 0)});
  std::string drawn;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) drawn += static_cast<char>('a' + (image.at(x, y) >> 20));
    drawn += '\n';
  }
  EXPECT_EQ(drawn,
            "ccggkkoo\n"
            "ccggkkoo\n"
            "ddhhllpp\n"
            "ddhhllpp\n"
            "aaeeiimm\n"
            "aaeeiimm\n"
            "bbffjjnn\n"
            "bbffjjnn\n");
}

TEST_P(Shading, BilinearWrapBlendsAcrossTheSeam) {
  Image texels(2, 1, PixelFormat::XRGB8888);
  texels.set(0, 0, 0x000000);
  texels.set(1, 0, 0xFFFFFF);
  Texture texture{texels.surface()};
  struct Case {
    float u;
    uint32_t expected;
  } cases[] = {
      {0.0f, 0x808080},   // halfway between texel 1 (wrapped) and texel 0
      {0.25f, 0x000000},  // centre of texel 0
      {0.75f, 0xFFFFFF},  // centre of texel 1
      {-7.5f, 0x808080},  // the middle of the texture, many periods away
      {1.125f, 0x404040},
  };
  for (const Case& c : cases) {
    Image image(8, 8, PixelFormat::XRGB8888);
    Device device(GetParam(), image.surface());
    device.set_render_state(kTextureMag, kFilterLinear);
    device.set_render_state(kTextureMapBlend, kTexBlendDecal);
    device.set_texture(&texture);
    draw_fan(device, quad(0, 0, 8, 8, 0xFFFFFFFFu, c.u, 0.5f, c.u, 0.5f));
    EXPECT_EQ(image.at(3, 3), c.expected) << "u " << c.u;
  }
}

// Every texture format, read back through a quad that puts one texel
// centre on each pixel centre; the last texel sits at the very end of the
// texture's memory.
TEST_P(Shading, TextureFormatsDecodeToTheirColours) {
  struct Case {
    PixelFormat format;
    uint32_t raw[6];
    uint32_t expected[6];
  } cases[] = {
      {PixelFormat::XRGB8888,
       {0x12345678, 0xFF000000, 0x00FFFFFF, 1, 2, 0xAB89CDEF},
       {0x345678, 0x000000, 0xFFFFFF, 1, 2, 0x89CDEF}},
      {PixelFormat::ARGB8888,
       {0x12345678, 0xFF000000, 0x00FFFFFF, 1, 2, 0xAB89CDEF},
       {0x345678, 0x000000, 0xFFFFFF, 1, 2, 0x89CDEF}},
      {PixelFormat::RGB888,
       {0x332211, 0x000000, 0xFFFFFF, 0x010203, 0x800000, 0x0000FE},
       {0x332211, 0x000000, 0xFFFFFF, 0x010203, 0x800000, 0x0000FE}},
      {PixelFormat::RGB565,
       {0xF81F, 0x07E0, 0x8410, 0x0000, 0xFFFF, 0x0821},
       {0xFF00FF, 0x00FF00, 0x848284, 0x000000, 0xFFFFFF, 0x080408}},
      {PixelFormat::XRGB1555,
       {0x7C00, 0x03E0, 0x4210, 0x0000, 0xFFFF, 0x0421},
       {0xFF0000, 0x00FF00, 0x848484, 0x000000, 0xFFFFFF, 0x080808}},
      {PixelFormat::ARGB1555,
       {0xFC00, 0x83E0, 0xC210, 0x8000, 0xFFFF, 0x8421},
       {0xFF0000, 0x00FF00, 0x848484, 0x000000, 0xFFFFFF, 0x080808}},
  };
  for (const Case& c : cases) {
    Image texels(3, 2, c.format);
    for (int k = 0; k < 6; ++k) texels.set(k % 3, k / 3, c.raw[k]);
    Texture texture{texels.surface()};
    Image image(8, 8, PixelFormat::XRGB8888);
    Device device(GetParam(), image.surface());
    device.set_texture(&texture);  // MODULATE by opaque white
    draw_fan(device, quad(-0.5f, -0.5f, 2.5f, 1.5f, 0xFFFFFFFFu, 0, 0, 1, 1));
    for (int k = 0; k < 6; ++k)
      EXPECT_EQ(image.at(k % 3, k / 3), c.expected[k]) << "format " << int(c.format) << " texel " << k;
  }
}

TEST_P(Shading, PalettisedTextureReadsThroughItsPalette) {
  Palette palette;
  PaletteEntry entries[256] = {};
  entries[3] = {0x10, 0x20, 0x30, 0};
  entries[200] = {0xFF, 0x00, 0x80, 0};
  entries[7] = {0x01, 0x02, 0x03, 0};
  entries[255] = {0xFE, 0xFD, 0xFC, 0};
  palette.set_entries(0, entries, 256);
  Image texels(2, 2, PixelFormat::Pal8);
  texels.set(0, 0, 3);
  texels.set(1, 0, 200);
  texels.set(0, 1, 7);
  texels.set(1, 1, 255);
  Texture texture{texels.surface(), &palette};
  Image image(8, 8, PixelFormat::XRGB8888);
  Device device(GetParam(), image.surface());
  device.set_texture(&texture);
  draw_fan(device, quad(-0.5f, -0.5f, 1.5f, 1.5f, 0xFFFFFFFFu, 0, 0, 1, 1));
  EXPECT_EQ(image.at(0, 0), 0x102030u);
  EXPECT_EQ(image.at(1, 0), 0xFF0080u);
  EXPECT_EQ(image.at(0, 1), 0x010203u);
  EXPECT_EQ(image.at(1, 1), 0xFEFDFCu);

  // A later change of the palette shows in the next draw.
  PaletteEntry green{0, 0xFF, 0, 0};
  palette.set_entries(3, &green, 1);
  draw_fan(device, quad(-0.5f, -0.5f, 1.5f, 1.5f, 0xFFFFFFFFu, 0, 0, 1, 1));
  EXPECT_EQ(image.at(0, 0), 0x00FF00u);
}

// Texture blend modes: rgb and the alpha that then drives a SRCALPHA blend
// over a black target, so alpha shows as a scale of the colour.
TEST_P(Shading, TextureBlendModes) {
  struct Case {
    uint32_t mode;
    PixelFormat format;
    uint32_t texel, diffuse, expected;
  } cases[] = {
      // rgb = texture x diffuse; alpha of an alpha-less texture: diffuse's
      {kTexBlendModulate, PixelFormat::XRGB8888, 0x808080, 0xFF804020, 0x402010},
      {kTexBlendModulate, PixelFormat::XRGB8888, 0xFFFFFF, 0x80FFFFFF, 0x808080},
      // ... and with texture alpha, the texture's alone
      {kTexBlendModulate, PixelFormat::ARGB8888, 0x80FFFFFF, 0x00FFFFFF, 0x808080},
      {kTexBlendModulateAlpha, PixelFormat::ARGB8888, 0x80FFFFFF, 0x80FFFFFF, 0x404040},
      {kTexBlendDecal, PixelFormat::XRGB8888, 0x123456, 0x00000000, 0x123456},
      {kTexBlendCopy, PixelFormat::XRGB8888, 0x123456, 0x00000000, 0x123456},
      {kTexBlendDecal, PixelFormat::ARGB8888, 0x80FFFFFF, 0xFF000000, 0x808080},
      // rgb = lerp(diffuse, texture, texture alpha), alpha = diffuse's
      {kTexBlendDecalAlpha, PixelFormat::ARGB8888, 0x80FF0000, 0xFF0000FF, 0x80007F},
  };
  for (const Case& c : cases) {
    Image texels(1, 1, c.format);
    texels.set(0, 0, c.texel);
    Texture texture{texels.surface()};
    Image image(8, 8, PixelFormat::XRGB8888);
    Device device(GetParam(), image.surface());
    device.set_render_state(kTextureMapBlend, c.mode);
    device.set_render_state(kAlphaBlendEnable, 1);
    device.set_render_state(kSrcBlend, kBlendSrcAlpha);
    device.set_render_state(kDestBlend, kBlendInvSrcAlpha);
    device.set_texture(&texture);
    draw_fan(device, quad(0, 0, 8, 8, c.diffuse));
    EXPECT_EQ(image.at(4, 4), c.expected) << "mode " << c.mode << " texel " << std::hex << c.texel;
  }
}

TEST_P(Shading, FrameBufferBlending) {
  constexpr uint32_t kDest = 0x0032FA;  // r 0, g 50, b 250
  struct Case {
    uint32_t src_blend, dst_blend, color, expected;
  } cases[] = {
      {kBlendSrcAlpha, kBlendInvSrcAlpha, 0x80C86400, 0x644B7D},
      {kBlendSrcAlpha, kBlendInvSrcAlpha, 0xFFC86400, 0xC86400},  // opaque: the source exactly
      {kBlendSrcAlpha, kBlendInvSrcAlpha, 0x00C86400, 0x0032FA},  // clear: the target exactly
      {kBlendSrcAlpha, kBlendInvSrcAlpha, 0xFF010203, 0x010203},
      {kBlendOne, kBlendOne, 0xFFC86400, 0xC896FA},
      {kBlendOne, kBlendOne, 0x00C8C8C8, 0xC8FAFF},  // saturates
      {kBlendDestColor, kBlendZero, 0xFF808080, 0x00197D},
      {kBlendZero, kBlendSrcColor, 0xFF808080, 0x00197D},
      {kBlendInvDestColor, kBlendZero, 0xFFFFFFFF, 0xFFCD05},
      {kBlendInvSrcColor, kBlendOne, 0xFF00FF80, 0x0032FF},
      {kBlendZero, kBlendOne, 0xFFC86400, 0x0032FA},
      {kBlendBothSrcAlpha, kBlendOne, 0x80C86400, 0x644B7D},  // overrides DESTBLEND
      {kBlendBothInvSrcAlpha, kBlendZero, 0x7FC86400, 0x644B7D},
      {kBlendDestAlpha, kBlendInvDestAlpha, 0x10C86400, 0xC86400},  // the target is opaque
  };
  for (const Case& c : cases) {
    Image image(16, 16, PixelFormat::XRGB8888);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) image.set(x, y, kDest);
    Device device(GetParam(), image.surface());
    device.set_render_state(kAlphaBlendEnable, 1);
    device.set_render_state(kSrcBlend, c.src_blend);
    device.set_render_state(kDestBlend, c.dst_blend);
    draw_fan(device, quad(0, 0, 16, 16, c.color));
    EXPECT_EQ(image.at(9, 5), c.expected)
        << "blend " << c.src_blend << "/" << c.dst_blend << " colour " << std::hex << c.color;
  }
}

// Incoming depth 0.5 is 32768 in a 16-bit buffer; the stored value sits
// just below, at, or just above it.
TEST_P(Shading, DepthTestAndWrite) {
  struct Case {
    uint32_t func;
    bool pass_below, pass_equal, pass_above;  // stored value relative to incoming
  } cases[] = {
      {kCmpNever, false, false, false},       {kCmpLess, false, false, true},
      {kCmpEqual, false, true, false},        {kCmpLessEqual, false, true, true},
      {kCmpGreater, true, false, false},      {kCmpNotEqual, true, false, true},
      {kCmpGreaterEqual, true, true, false},  {kCmpAlways, true, true, true},
  };
  for (const Case& c : cases) {
    for (int write = 0; write < 2; ++write) {
      const bool passes[3] = {c.pass_below, c.pass_equal, c.pass_above};
      for (int k = 0; k < 3; ++k) {
        uint32_t stored = 32767 + k;
        Image image(8, 8, PixelFormat::XRGB8888), depth(8, 8, PixelFormat::Z16);
        for (int y = 0; y < 8; ++y)
          for (int x = 0; x < 8; ++x) depth.set(x, y, stored);
        Device device(GetParam(), image.surface(), nullptr, &depth.surface());
        device.set_render_state(kZFunc, c.func);
        device.set_render_state(kZWriteEnable, write);
        std::vector<TLVertex> q = quad(0, 0, 8, 8, 0xFFFF0000u);
        for (TLVertex& v : q) v.sz = 0.5f;
        draw_fan(device, q);
        EXPECT_EQ(image.at(3, 3), passes[k] ? 0xFF0000u : 0u) << "func " << c.func << " k " << k;
        EXPECT_EQ(depth.at(3, 3), passes[k] && write ? 32768u : stored) << "func " << c.func;
      }
    }
  }
}

// Depths as stored, cleared and drawn: 0..1 spans the format's significant
// bits, 1.0 and beyond are the largest value.
TEST_P(Shading, DepthValuesOfEveryFormat) {
  struct Case {
    PixelFormat format;
    float z;
    uint32_t stored;
  } cases[] = {
      {PixelFormat::Z16, 0.0f, 0u},        {PixelFormat::Z16, 0.5f, 32768u},
      {PixelFormat::Z16, 1.0f, 0xFFFFu},   {PixelFormat::Z16, 1.5f, 0xFFFFu},
      {PixelFormat::Z32, -0.5f, 0u},       {PixelFormat::Z32, 0.5f, 8388608u},
      {PixelFormat::Z32, 1.0f, 0xFFFFFFu}, {PixelFormat::Z32, 2.0f, 0xFFFFFFu},
  };
  for (const Case& c : cases) {
    Image image(8, 8, PixelFormat::XRGB8888), depth(8, 8, c.format, 0x5A);
    Device device(GetParam(), image.surface(), nullptr, &depth.surface());
    device.clear({0, 0, 4, 8}, kClearZBuffer, 0, c.z);
    EXPECT_EQ(depth.at(1, 1), c.stored) << "cleared to " << c.z;
    device.set_render_state(kZFunc, kCmpAlways);
    std::vector<TLVertex> q = quad(4, 0, 8, 8, 0xFFFF0000u);
    for (TLVertex& v : q) v.sz = c.z;
    draw_fan(device, q);
    EXPECT_EQ(depth.at(5, 1), c.stored) << "drawn at " << c.z;
  }
}

TEST_P(Shading, DepthOffLeavesTheBufferAlone) {
  Image image(8, 8, PixelFormat::XRGB8888), depth(8, 8, PixelFormat::Z32);
  Device device(GetParam(), image.surface(), nullptr, &depth.surface());
  EXPECT_EQ(device.render_state(kZEnable), 1u);
  device.clear({0, 0, 8, 8}, kClearZBuffer, 0, 0.0f);
  std::vector<TLVertex> q = quad(0, 0, 8, 8, 0xFF00FF00u);
  for (TLVertex& v : q) v.sz = 0.5f;
  draw_fan(device, q);  // fails LESSEQUAL against 0
  EXPECT_EQ(image.at(2, 2), 0u);
  device.set_render_state(kZEnable, 0);
  draw_fan(device, q);
  EXPECT_EQ(image.at(2, 2), 0x00FF00u);
  EXPECT_EQ(depth.at(2, 2), 0u);
  device.set_render_state(kZEnable, 1);
  device.set_render_state(kZFunc, kCmpGreater);
  draw_fan(device, q);
  EXPECT_EQ(depth.at(2, 2), 8388608u);  // 0.5 with 24 significant bits
}

TEST_P(Shading, NearerTriangleHidesFartherOneWhateverTheOrder) {
  for (bool near_first : {true, false}) {
    Image image(16, 16, PixelFormat::XRGB8888), depth(16, 16, PixelFormat::Z16);
    Device device(GetParam(), image.surface(), nullptr, &depth.surface());
    device.clear({0, 0, 16, 16}, kClearZBuffer, 0, 1.0f);
    std::vector<TLVertex> near = quad(0, 0, 12, 12, 0xFFFF0000u), far = quad(4, 4, 16, 16, 0xFF0000FFu);
    for (TLVertex& v : near) v.sz = 0.25f;
    for (TLVertex& v : far) v.sz = 0.75f;
    draw_fan(device, near_first ? near : far);
    draw_fan(device, near_first ? far : near);
    EXPECT_EQ(image.at(8, 8), 0xFF0000u);
    EXPECT_EQ(image.at(14, 14), 0x0000FFu);
    EXPECT_EQ(depth.at(8, 8), 16384u);
  }
}

// Targets other than XRGB: what the pixel becomes, for a drawn colour, a
// clear and a blend that has to read the pixel back.
TEST_P(Shading, TargetFormatsOnWrite) {
  Palette palette;
  PaletteEntry entries[256] = {};
  entries[1] = {0x80, 0x40, 0xC0, 0};
  entries[2] = {0x81, 0x40, 0xC0, 0};
  entries[5] = {20, 20, 20, 0};
  entries[9] = {0xFF, 0xFF, 0xFF, 0};
  palette.set_entries(0, entries, 256);  // entry 0 and the rest: black
  struct Case {
    PixelFormat format;
    uint32_t color;
    uint32_t expected;
  } cases[] = {
      {PixelFormat::RGB565, 0xFF8040C0, 0x8218},
      {PixelFormat::RGB565, 0xFFFFFFFF, 0xFFFF},
      {PixelFormat::XRGB1555, 0xFF8040C0, 0x4118},
      {PixelFormat::XRGB1555, 0xFFFFFFFF, 0x7FFF},
      {PixelFormat::Pal8, 0xFF8040C0, 1},
      {PixelFormat::Pal8, 0xFF8140C1, 2},
      {PixelFormat::Pal8, 0xFF0A0A0A, 0},  // as far from black as from entry 5: lower index
      {PixelFormat::Pal8, 0xFF0B0A0A, 5},
      {PixelFormat::Pal8, 0xFFF0F0F0, 9},
  };
  for (const Case& c : cases) {
    Image drawn(8, 8, c.format), cleared(8, 8, c.format);
    Device device(GetParam(), drawn.surface(), &palette);
    draw_fan(device, quad(0, 0, 8, 8, c.color));
    EXPECT_EQ(drawn.at(5, 5), c.expected) << int(c.format) << " " << std::hex << c.color;
    device.set_render_target(cleared.surface(), &palette);
    device.clear({0, 0, 8, 8}, kClearTarget, c.color, 0);
    EXPECT_EQ(cleared.at(5, 5), c.expected) << int(c.format) << " " << std::hex << c.color;
  }
}

TEST_P(Shading, BlendReadsNarrowTargetsBack) {
  struct Case {
    PixelFormat format;
    uint32_t stored, color, expected;
  } cases[] = {
      {PixelFormat::RGB565, 0xF800, 0xFF000010, 0xF802},    // red 31 -> 255, plus blue 16
      {PixelFormat::XRGB1555, 0x001F, 0xFF080000, 0x041F},  // blue 31 -> 255, plus red 8
      {PixelFormat::Pal8, 1, 0xFF010000, 2},                // entry 1 plus red 1 is entry 2
  };
  Palette palette;
  PaletteEntry entries[3] = {{0, 0, 0, 0}, {0x80, 0x40, 0xC0, 0}, {0x81, 0x40, 0xC0, 0}};
  palette.set_entries(0, entries, 3);
  for (const Case& c : cases) {
    Image image(8, 8, c.format);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) image.set(x, y, c.stored);
    Device device(GetParam(), image.surface(), &palette);
    device.set_render_state(kAlphaBlendEnable, 1);
    device.set_render_state(kSrcBlend, kBlendOne);
    device.set_render_state(kDestBlend, kBlendOne);
    draw_fan(device, quad(0, 0, 8, 8, c.color));
    EXPECT_EQ(image.at(6, 1), c.expected) << int(c.format);
  }
}

// Flat shading takes the colour of each triangle's first vertex as the
// primitive orders them; for a fan that is the second of its three.
TEST_P(Shading, FlatShadingProvokingVertex) {
  constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
  std::vector<TLVertex> fan = {vertex(0, 0, kRed), vertex(16, 0, kGreen), vertex(16, 16, kBlue),
                               vertex(0, 16, kWhite)};
  struct Case {
    uint32_t primitive;
    std::vector<TLVertex> vertices;
    uint32_t upper_right, lower_left;
  } cases[] = {
      {kTriangleFan, fan, 0x00FF00, 0x0000FF},
      {kTriangleList, {fan[0], fan[1], fan[2], fan[2], fan[3], fan[0]}, 0xFF0000, 0x0000FF},
      {kTriangleStrip, {fan[1], fan[2], fan[0], fan[3]}, 0x00FF00, 0x0000FF},
  };
  for (const Case& c : cases) {
    Image image(16, 16, PixelFormat::XRGB8888);
    Device device(GetParam(), image.surface());
    device.set_render_state(kCullMode, kCullNone);
    device.set_render_state(kShadeMode, kShadeFlat);
    ASSERT_TRUE(device.draw(c.primitive, c.vertices.data(), c.vertices.size()));
    EXPECT_EQ(image.at(12, 3), c.upper_right) << "primitive " << c.primitive;
    EXPECT_EQ(image.at(3, 12), c.lower_left) << "primitive " << c.primitive;
  }
}

// Red 0 on the left edge, 255 on the right, 8 pixels apart; the right side
// four times nearer (rhw 4) when perspective applies.
TEST_P(Shading, GouraudInterpolation) {
  struct Case {
    float right_rhw;
    uint32_t perspective;
    uint32_t red_at[3];  // pixels 2, 4, 6
  } cases[] = {
      {1.0f, 1, {64, 128, 191}},   // 63.75, 127.5, 191.25
      {4.0f, 1, {146, 204, 235}},  // 145.7, 204, 235.4
      {4.0f, 0, {64, 128, 191}},   // perspective off: affine
  };
  for (const Case& c : cases) {
    Image image(8, 2, PixelFormat::XRGB8888);
    Device device(GetParam(), image.surface());
    device.set_render_state(kTexturePerspective, c.perspective);
    std::vector<TLVertex> q = {vertex(0, 0, 0xFF000000, 0, 0, 0, 1), vertex(8, 0, 0xFFFF0000, 0, 0, 0, c.right_rhw),
                               vertex(8, 2, 0xFFFF0000, 0, 0, 0, c.right_rhw), vertex(0, 2, 0xFF000000, 0, 0, 0, 1)};
    draw_fan(device, q);
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(image.at(2 + 2 * k, 0) >> 16, c.red_at[k]) << "rhw " << c.right_rhw << " pixel " << 2 + 2 * k;
  }
}

TEST_P(Shading, PerspectiveCorrectTextureCoordinates) {
  // u from 0 to 1 across 8 pixels, the right side four times nearer: the
  // middle pixel samples u = 0.5 * 4 / (0.5 + 0.5 * 4) = 0.8, texel 12 of 16.
  Image texels(16, 1, PixelFormat::XRGB8888);
  for (int i = 0; i < 16; ++i) texels.set(i, 0, static_cast<uint32_t>(i));
  Texture texture{texels.surface()};
  Image image(8, 2, PixelFormat::XRGB8888);
  Device device(GetParam(), image.surface());
  device.set_texture(&texture);
  device.set_render_state(kTextureMapBlend, kTexBlendDecal);
  std::vector<TLVertex> q = {vertex(0, 0, ~0u, 0, 0, 0, 1), vertex(8, 0, ~0u, 1, 0, 0, 4),
                             vertex(8, 2, ~0u, 1, 1, 0, 4), vertex(0, 2, ~0u, 0, 1, 0, 1)};
  draw_fan(device, q);
  EXPECT_EQ(image.at(4, 0), 12u);
}

TEST_P(Shading, ClearFillsOnlyTheClippedArea) {
  Image image(10, 6, PixelFormat::RGB565), depth(10, 6, PixelFormat::Z16);
  Device device(GetParam(), image.surface(), nullptr, &depth.surface());
  device.clear({-5, 2, 4, 100}, kClearTarget | kClearZBuffer, 0xFFFF0000u, 0.25f);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) {
      bool inside = x < 4 && y >= 2;
      ASSERT_EQ(image.at(x, y), inside ? 0xF800u : 0u);
      ASSERT_EQ(depth.at(x, y), inside ? 16384u : 0u);
    }
  EXPECT_TRUE(image.guard_intact());
  EXPECT_TRUE(depth.guard_intact());
}

INSTANTIATE_TEST_SUITE_P(AllBackends, Shading, ::testing::ValuesIn(kBackends),
                         backend_param_name<::testing::TestParamInfo<Backend>>);

}  // namespace
}  // namespace zv::raster::testing
