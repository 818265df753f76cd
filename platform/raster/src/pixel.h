// Per-pixel operations, scalar. The reference backend is built from these
// alone; the vectorised backends either mirror them operation for operation
// or call them lane by lane, so both produce the same bytes.
#pragma once

#include <cstdint>
#include <cstring>

#include "zv/raster.h"

namespace zv::raster::detail {

// SSE's min/max: the second operand wins when unordered, so NaNs travel the
// same way through scalar and vector code.
inline float max_ps(float a, float b) { return a > b ? a : b; }
inline float min_ps(float a, float b) { return a < b ? a : b; }

// round(x / 255) for x <= 65535 (one product of two bytes).
inline uint32_t div255(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

inline uint32_t load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline uint32_t load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void store16(uint8_t* p, uint32_t v) {
  uint16_t w = static_cast<uint16_t>(v);
  std::memcpy(p, &w, 2);
}
inline void store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

inline uint32_t expand5(uint32_t v) { return (v << 3) | (v >> 2); }
inline uint32_t expand6(uint32_t v) { return (v << 2) | (v >> 4); }

inline uint32_t argb_from_565(uint32_t p) {
  return 0xFF000000u | expand5(p >> 11) << 16 | expand6((p >> 5) & 63) << 8 | expand5(p & 31);
}
inline uint32_t rgb_from_555(uint32_t p) {
  return expand5((p >> 10) & 31) << 16 | expand5((p >> 5) & 31) << 8 | expand5(p & 31);
}
inline uint32_t to_565(uint32_t c) {
  return ((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F);
}
inline uint32_t to_555(uint32_t c) {
  return ((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) | ((c >> 3) & 0x001F);
}

struct TargetView {
  uint8_t* pixels;
  int32_t pitch, width, height;
  PixelFormat format;
  const Palette* palette;
};

inline uint8_t* pixel_address(const TargetView& t, int32_t x, int32_t y, int bpp) {
  return t.pixels + static_cast<ptrdiff_t>(y) * t.pitch + static_cast<ptrdiff_t>(x) * bpp;
}

// Colour of a target pixel as 0xFFRRGGBB; targets carry no alpha.
inline uint32_t read_target(const TargetView& t, const uint8_t* p) {
  switch (t.format) {
    case PixelFormat::RGB565: return argb_from_565(load16(p));
    case PixelFormat::XRGB1555: return 0xFF000000u | rgb_from_555(load16(p));
    case PixelFormat::Pal8: return t.palette->argb()[*p];
    default: return 0xFF000000u | load32(p);
  }
}

// The unused bits of a target pixel are written as zero.
inline void write_target(const TargetView& t, uint8_t* p, uint32_t argb) {
  switch (t.format) {
    case PixelFormat::RGB565: store16(p, to_565(argb)); break;
    case PixelFormat::XRGB1555: store16(p, to_555(argb)); break;
    case PixelFormat::Pal8: *p = t.palette->nearest(argb & 0xFFFFFF); break;
    default: store32(p, argb & 0xFFFFFF); break;
  }
}

// The largest depth a buffer of the format stores.
inline float depth_scale(PixelFormat format) {
  return format == PixelFormat::Z16 ? 65535.0f : 16777215.0f;
}

// Depth as stored: 16 bits, or 24 significant bits in a 32-bit word. 1.0
// is the largest value: rounding 2^24 - 0.5 in float would give 2^24.
inline uint32_t depth_value(float z, PixelFormat format) {
  float clamped = min_ps(max_ps(z, 0.0f), 1.0f);
  float scale = depth_scale(format);
  return static_cast<uint32_t>(static_cast<int32_t>(min_ps(clamped * scale + 0.5f, scale)));
}

inline bool depth_pass(uint32_t func, uint32_t incoming, uint32_t stored) {
  switch (func) {
    case kCmpNever: return false;
    case kCmpLess: return incoming < stored;
    case kCmpEqual: return incoming == stored;
    case kCmpLessEqual: return incoming <= stored;
    case kCmpGreater: return incoming > stored;
    case kCmpNotEqual: return incoming != stored;
    case kCmpGreaterEqual: return incoming >= stored;
    default: return true;
  }
}

// Keeps 1/rhw finite where extrapolation near a sliver's edge reaches zero.
constexpr float kMinRhw = 1e-30f;

// An interpolated colour channel (0..255 nominal) to a byte.
inline uint32_t channel_byte(float c) {
  return static_cast<uint32_t>(static_cast<int32_t>(min_ps(max_ps(c, 0.0f), 255.0f) + 0.5f));
}

struct TextureView {
  const uint8_t* pixels;
  int32_t pitch, width, height;
  PixelFormat format;
  const uint32_t* palette;  // ARGB, for Pal8
  bool has_alpha;
  float scale_u, scale_v;  // size * 256: to texel space with 8 fraction bits
};

inline uint32_t fetch_texel(const TextureView& t, int32_t x, int32_t y) {
  const uint8_t* row = t.pixels + static_cast<ptrdiff_t>(y) * t.pitch;
  switch (t.format) {
    case PixelFormat::Pal8: return t.palette[row[x]];
    case PixelFormat::RGB565: return argb_from_565(load16(row + 2 * x));
    case PixelFormat::XRGB1555: return 0xFF000000u | rgb_from_555(load16(row + 2 * x));
    case PixelFormat::ARGB1555: {
      uint32_t p = load16(row + 2 * x);
      return (p & 0x8000 ? 0xFF000000u : 0u) | rgb_from_555(p);
    }
    case PixelFormat::RGB888: {
      const uint8_t* p = row + 3 * x;
      return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    case PixelFormat::XRGB8888: return 0xFF000000u | load32(row + 4 * x);
    default: return load32(row + 4 * x);
  }
}

// Coordinates are limited to +-2^23, where floats stop having fractions, so
// the float-to-int conversions below stay in range whatever comes in.
constexpr float kCoordLimit = 8388608.0f;

inline float floor_limited(float c) {
  float t = static_cast<float>(static_cast<int32_t>(c));
  return t - (t > c ? 1.0f : 0.0f);
}

// Position inside one period [0, 1] of a repeating coordinate, in texel
// space with 8 fraction bits: 0 ..= scale.
inline int32_t wrapped_fixed(float u, float scale) {
  float c = min_ps(max_ps(u, -kCoordLimit), kCoordLimit);
  float f = c - floor_limited(c);
  return static_cast<int32_t>(f * scale);
}

// Texel index pair (i0, i0 + 1 folded) and the 8-bit weight of i1.
struct Taps {
  int32_t i0, i1, weight;
};

inline int32_t fold_wrap(int32_t i, int32_t size) {
  if (i < 0) i += size;
  if (i >= size) i -= size;
  return i;
}
inline int32_t fold_mirror(int32_t i, int32_t size) {
  if (i < 0) i += 2 * size;
  if (i >= 2 * size) i -= 2 * size;
  return i >= size ? 2 * size - 1 - i : i;
}
inline int32_t fold_clamp(int32_t i, int32_t size) { return i < 0 ? 0 : (i >= size ? size - 1 : i); }

// Fixed texel-space position and the fold that maps indices into the texture.
inline int32_t address_fixed(float u, float scale, uint32_t mode) {
  switch (mode) {
    case kAddressClamp: return static_cast<int32_t>(min_ps(max_ps(u, 0.0f), 1.0f) * scale);
    case kAddressMirror: {
      float c = min_ps(max_ps(u, -kCoordLimit), kCoordLimit);
      float h = c * 0.5f;
      return static_cast<int32_t>((h - floor_limited(h)) * (scale * 2.0f));
    }
    default: return wrapped_fixed(u, scale);
  }
}
inline int32_t fold(int32_t i, int32_t size, uint32_t mode) {
  switch (mode) {
    case kAddressClamp: return fold_clamp(i, size);
    case kAddressMirror: return fold_mirror(i, size);
    default: return fold_wrap(i, size);
  }
}

inline int32_t nearest_index(float u, float scale, int32_t size, uint32_t mode) {
  return fold(address_fixed(u, scale, mode) >> 8, size, mode);
}
inline Taps linear_taps(float u, float scale, int32_t size, uint32_t mode) {
  int32_t s = address_fixed(u, scale, mode) - 128;
  int32_t i = s >> 8;
  return {fold(i, size, mode), fold(i + 1, size, mode), s & 255};
}

inline uint32_t bilerp(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, uint32_t fu,
                       uint32_t fv) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t top = ((t00 >> shift) & 255) * (256 - fu) + ((t10 >> shift) & 255) * fu;
    uint32_t bottom = ((t01 >> shift) & 255) * (256 - fu) + ((t11 >> shift) & 255) * fu;
    out |= ((top * (256 - fv) + bottom * fv + 32768) >> 16) << shift;
  }
  return out;
}

// A wrapped coordinate held as a 32-bit fraction of the texture's period.
inline int32_t wrapped_index(uint32_t s, int32_t size) {
  return static_cast<int32_t>((uint64_t{s} * static_cast<uint32_t>(size)) >> 32);
}

// Texel taps for bilinear sampling half a texel back, as linear_taps().
inline Taps wrapped_taps(uint32_t s, int32_t size) {
  int64_t t = static_cast<int64_t>(uint64_t{s} * static_cast<uint32_t>(size)) - (int64_t{1} << 31);
  int32_t i = static_cast<int32_t>(t >> 32);
  return {fold_wrap(i, size), fold_wrap(i + 1, size), static_cast<int32_t>((t >> 24) & 255)};
}

struct SamplerState {
  bool linear;
  uint32_t address_u, address_v;
};

inline uint32_t sample(const TextureView& t, const SamplerState& s, float u, float v) {
  if (!s.linear) {
    return fetch_texel(t, nearest_index(u, t.scale_u, t.width, s.address_u),
                       nearest_index(v, t.scale_v, t.height, s.address_v));
  }
  Taps tu = linear_taps(u, t.scale_u, t.width, s.address_u);
  Taps tv = linear_taps(v, t.scale_v, t.height, s.address_v);
  return bilerp(fetch_texel(t, tu.i0, tv.i0), fetch_texel(t, tu.i1, tv.i0),
                fetch_texel(t, tu.i0, tv.i1), fetch_texel(t, tu.i1, tv.i1),
                static_cast<uint32_t>(tu.weight), static_cast<uint32_t>(tv.weight));
}

inline uint32_t sample_wrapped(const TextureView& t, bool linear, uint32_t s, uint32_t r) {
  if (!linear) return fetch_texel(t, wrapped_index(s, t.width), wrapped_index(r, t.height));
  Taps tu = wrapped_taps(s, t.width), tv = wrapped_taps(r, t.height);
  return bilerp(fetch_texel(t, tu.i0, tv.i0), fetch_texel(t, tu.i1, tv.i0),
                fetch_texel(t, tu.i0, tv.i1), fetch_texel(t, tu.i1, tv.i1),
                static_cast<uint32_t>(tu.weight), static_cast<uint32_t>(tv.weight));
}

inline uint32_t byte_at(uint32_t c, int shift) { return (c >> shift) & 255; }

// Texture colour combined with the diffuse colour.
inline uint32_t texture_blend(uint32_t mode, uint32_t texel, uint32_t diffuse, bool texture_alpha) {
  uint32_t ta = texel >> 24, da = diffuse >> 24;
  uint32_t rgb = 0, alpha;
  switch (mode) {
    case kTexBlendDecal:
    case kTexBlendDecalMask:
    case kTexBlendCopy:
      return texel;
    case kTexBlendDecalAlpha:
      for (int s = 0; s < 24; s += 8) {
        uint32_t mixed = div255(byte_at(texel, s) * ta) + div255(byte_at(diffuse, s) * (255 - ta));
        rgb |= (mixed > 255 ? 255 : mixed) << s;
      }
      return da << 24 | rgb;
    default:  // the modulate family
      for (int s = 0; s < 24; s += 8) rgb |= div255(byte_at(texel, s) * byte_at(diffuse, s)) << s;
      if (mode == kTexBlendModulateAlpha) alpha = div255(ta * da);
      else alpha = texture_alpha ? ta : da;
      return alpha << 24 | rgb;
  }
}

// The 0..255 factor one blend mode gives one colour channel.
// The BOTH modes are resolved into a pair when the state is decoded.
inline uint32_t blend_factor(uint32_t mode, uint32_t src, uint32_t dst, int shift) {
  uint32_t sa = src >> 24;
  switch (mode) {
    case kBlendZero: return 0;
    case kBlendSrcColor: return byte_at(src, shift);
    case kBlendInvSrcColor: return 255 - byte_at(src, shift);
    case kBlendSrcAlpha: return sa;
    case kBlendInvSrcAlpha: return 255 - sa;
    case kBlendDestAlpha: return 255;  // targets are opaque
    case kBlendInvDestAlpha: return 0;
    case kBlendDestColor: return byte_at(dst, shift);
    case kBlendInvDestColor: return 255 - byte_at(dst, shift);
    case kBlendSrcAlphaSat: return 0;  // min(As, 1 - Ad) with an opaque target
    default: return 255;  // ONE and anything unknown
  }
}

inline uint32_t blend(uint32_t src, uint32_t dst, uint32_t src_mode, uint32_t dst_mode) {
  uint32_t out = 0;
  for (int s = 0; s < 24; s += 8) {
    uint32_t sum = div255(byte_at(src, s) * blend_factor(src_mode, src, dst, s)) +
                   div255(byte_at(dst, s) * blend_factor(dst_mode, src, dst, s));
    out |= (sum > 255 ? 255 : sum) << s;
  }
  return 0xFF000000u | out;
}

}  // namespace zv::raster::detail
