// Surfaces with guard bytes around them, vertex helpers and the program's
// frame as a scene, for the rasteriser tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "zv/raster.h"

namespace zv::raster::testing {

// A surface inside a larger buffer; the margin must stay untouched.
class Image {
 public:
  static constexpr uint8_t kGuard = 0xA5;
  static constexpr int kMargin = 64;

  Image(int width, int height, PixelFormat format, uint8_t fill = 0)
      : bpp_(bytes_per_pixel(format)),
        pitch_(width * bpp_ + 2 * kMargin),
        bytes_(static_cast<size_t>(pitch_) * (height + 2), kGuard) {
    surface_ = {bytes_.data() + pitch_ + kMargin, pitch_, width, height, format};
    for (int y = 0; y < height; ++y) std::memset(row(y), fill, static_cast<size_t>(width) * bpp_);
  }
  Image(const Image&) = delete;

  const Surface& surface() const { return surface_; }
  uint8_t* row(int y) { return static_cast<uint8_t*>(surface_.pixels) + y * pitch_; }
  const uint8_t* row(int y) const {
    return static_cast<const uint8_t*>(surface_.pixels) + y * pitch_;
  }
  int width() const { return surface_.width; }
  int height() const { return surface_.height; }

  uint32_t at(int x, int y) const {
    uint32_t v = 0;
    std::memcpy(&v, row(y) + x * bpp_, bpp_);
    return v;
  }
  void set(int x, int y, uint32_t v) { std::memcpy(row(y) + x * bpp_, &v, bpp_); }

  bool guard_intact() const {
    for (size_t i = 0; i < bytes_.size(); ++i) {
      size_t y = i / pitch_, x = i % pitch_;
      bool inside = y >= 1 && y <= static_cast<size_t>(surface_.height) && x >= kMargin &&
                    x < kMargin + static_cast<size_t>(surface_.width) * bpp_;
      if (!inside && bytes_[i] != kGuard) return false;
    }
    return true;
  }

  // Pixel bytes only, row by row.
  std::vector<uint8_t> pixels() const {
    std::vector<uint8_t> out;
    for (int y = 0; y < height(); ++y) out.insert(out.end(), row(y), row(y) + width() * bpp_);
    return out;
  }

 private:
  int bpp_;
  int pitch_;
  std::vector<uint8_t> bytes_;
  Surface surface_;
};

inline const Backend kBackends[] = {Backend::Reference, Backend::Sse2, Backend::Avx2};

inline std::string backend_name(Backend backend) {
  switch (backend) {
    case Backend::Reference: return "Reference";
    case Backend::Sse2: return "Sse2";
    default: return "Avx2";
  }
}

template <class Info>
std::string backend_param_name(const Info& info) {
  return backend_name(info.param);
}

inline TLVertex vertex(float x, float y, uint32_t color = 0xFFFFFFFFu, float u = 0, float v = 0,
                       float z = 0, float rhw = 1) {
  return {x, y, z, rhw, color, 0, u, v};
}

// An axis-aligned quad as the program submits it: a fan in the order
// top-left, top-right, bottom-right, bottom-left (clockwise on screen).
inline std::vector<TLVertex> quad(float x0, float y0, float x1, float y1, uint32_t color,
                                  float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1) {
  return {vertex(x0, y0, color, u0, v0), vertex(x1, y0, color, u1, v0),
          vertex(x1, y1, color, u1, v1), vertex(x0, y1, color, u0, v1)};
}

// The program's frame: 49 x 49 fans of 10-pixel quads, texture coordinates
// 0.02 apart plus a ripple, rhw 10000, z 0, opaque white.
inline void draw_frame(Device& device, int phase = 3) {
  auto coordinate = [&](int i, int j, bool vertical) {
    double ripple = 0.013 * std::sin(0.37 * (i + phase) + 0.21 * j) +
                    0.007 * std::cos(0.19 * i - 0.43 * (j + phase));
    if (i == 25 && j == 25) ripple -= 2.5;  // a node pulled far out of 0..1
    return static_cast<float>(0.02 * (vertical ? i : j) + (vertical ? -ripple : ripple));
  };
  TLVertex fan[4];
  for (int i = 0; i < 49; ++i) {
    for (int j = 0; j < 49; ++j) {
      const int rows[4] = {i, i, i + 1, i + 1}, cols[4] = {j, j + 1, j + 1, j};
      for (int k = 0; k < 4; ++k) {
        fan[k] = {static_cast<float>(10 * cols[k]), static_cast<float>(10 * rows[k]), 0.0f,
                  10000.0f, 0xFFFFFFFFu, 0, coordinate(rows[k], cols[k], false),
                  coordinate(rows[k], cols[k], true)};
      }
      device.draw(kTriangleFan, fan, 4);
    }
  }
}

// The seven states the program sets before its quads.
inline void set_frame_states(Device& device) {
  device.set_render_state(kCullMode, kCullNone);
  device.set_render_state(kZWriteEnable, 1);
  device.set_render_state(kZFunc, kCmpLessEqual);
  device.set_render_state(kAlphaBlendEnable, 1);
  device.set_render_state(kSrcBlend, kBlendSrcAlpha);
  device.set_render_state(kDestBlend, kBlendInvSrcAlpha);
  device.set_render_state(kShadeMode, kShadeGouraud);
}

// A 256 x 256 palettised picture with detail at every scale.
struct FrameTexture {
  Image image{256, 256, PixelFormat::Pal8};
  Palette palette;
  Texture texture;
  FrameTexture() {
    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i) {
      entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>((i * 7) & 255),
                    static_cast<uint8_t>(255 - i), 0};
    }
    palette.set_entries(0, entries, 256);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        image.set(x, y, static_cast<uint8_t>(((x / 32 + y / 32) % 2) * 128 + ((x ^ y) & 127)));
    texture = {image.surface(), &palette};
  }
};

}  // namespace zv::raster::testing
