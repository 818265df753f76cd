// The vectorised rasterise-and-shade stage, written once over a lane type V
// (N lanes of 32 bits). Every float operation happens in the same order as in
// the scalar helpers of pixel.h, and stages without a vector form call those
// helpers lane by lane, so the bytes match the reference backend exactly.
//
// Include this after the target options of the backend are in force; it
// lives in an unnamed namespace so each backend gets its own copy.
#pragma once

#include "backend.h"

namespace zv::raster::detail {
namespace {

template <class V>
struct Lanes {
  alignas(32) int32_t i[V::N];
  alignas(32) float f[V::N];
};

template <class V>
class ChunkShader {
  using F = typename V::F;
  using I = typename V::I;
  static constexpr int N = V::N;

 public:
  ChunkShader(const DrawState& st, const Shading& sh)
      : st_(st),
        sh_(sh),
        sampler_(sh.minify ? st.minify : st.magnify),
        bpp_(bytes_per_pixel(st.target.format)) {
    const TextureView& t = st.texture;
    fast_texture_ = st.textured && !sampler_.linear && sampler_.address_u == kAddressWrap &&
                    sampler_.address_v == kAddressWrap;
    if (fast_texture_) {
      // 4-byte reads of narrow texels must stop at the texture's last byte.
      int tbpp = bytes_per_pixel(t.format);
      texture_end_ = (t.pitch > 0 ? int64_t{t.height - 1} * t.pitch : 0) + int64_t{t.width} * tbpp;
      gather_texels_ = V::kGather && texture_end_ >= 4 &&
                       (t.format == PixelFormat::Pal8 || t.format == PixelFormat::XRGB8888 ||
                        t.format == PixelFormat::ARGB8888 || t.format == PixelFormat::RGB565 ||
                        t.format == PixelFormat::RGB888);
    }
    uint32_t mode = st.texture_blend;
    bool modulate_family = mode == kTexBlendModulate || mode == kTexBlendModulateMask ||
                           mode == kTexBlendModulateAlpha;
    // Modulating by opaque white is the texel itself: div255(t * 255) == t.
    texel_is_color_ = st.textured && !sh.gouraud &&
                      (mode == kTexBlendDecal || mode == kTexBlendDecalMask ||
                       mode == kTexBlendCopy ||
                       (modulate_family && sh.flat_color == 0xFFFFFFFFu));
    vector_texture_blend_ = modulate_family || mode == kTexBlendDecal ||
                            mode == kTexBlendDecalMask || mode == kTexBlendCopy;
    // With SRCALPHA/INVSRCALPHA an alpha of 255 gives the source exactly.
    opaque_skips_blend_ = st.src_blend == kBlendSrcAlpha && st.dst_blend == kBlendInvSrcAlpha;
  }

  void shade(int32_t xs, int32_t y, I mask) {
    float fy = static_cast<float>(y - sh_.yref);
    F fx = V::to_float(V::add(V::set(xs - sh_.xref), V::lanes()));

    uint8_t* depth = nullptr;
    I z = V::zero(), stored = V::zero();
    if (st_.depth_test) {
      bool z16 = st_.depth_format == PixelFormat::Z16;
      depth = st_.depth_pixels + static_cast<ptrdiff_t>(y) * st_.depth_pitch +
              static_cast<ptrdiff_t>(xs) * (z16 ? 2 : 4);
      F clamped = V::min(V::max(at(sh_.z, fx, fy), V::set(0.0f)), V::set(1.0f));
      z = V::to_int(V::add(V::mul(clamped, V::set(z16 ? 65535.0f : 16777215.0f)), V::set(0.5f)));
      stored = z16 ? V::load16(depth) : V::load(depth);
      mask = V::and_(mask, depth_pass(z, stored));
      if (!V::bits(mask)) return;
    }

    F inv_w = V::set(1.0f);
    if (sh_.perspective) inv_w = V::div(V::set(1.0f), V::max(at(sh_.rhw, fx, fy), V::set(kMinRhw)));

    I color = V::set(static_cast<int32_t>(sh_.flat_color));
    if (sh_.gouraud) {
      color = V::slli(channel(sh_.a, fx, fy, inv_w), 24);
      color = V::or_(color, V::slli(channel(sh_.r, fx, fy, inv_w), 16));
      color = V::or_(color, V::slli(channel(sh_.g, fx, fy, inv_w), 8));
      color = V::or_(color, channel(sh_.b, fx, fy, inv_w));
    }
    if (st_.textured) color = texture(fx, fy, inv_w, color, mask);

    uint8_t* p = st_.target.pixels + static_cast<ptrdiff_t>(y) * st_.target.pitch +
                 static_cast<ptrdiff_t>(xs) * bpp_;
    I old = V::zero();
    bool vector_target = st_.target.format == PixelFormat::XRGB8888 ||
                         st_.target.format == PixelFormat::RGB565;
    if (vector_target) old = bpp_ == 4 ? V::load(p) : V::load16(p);
    if (st_.blend) {
      I alpha = V::srli(color, 24);
      bool skip = opaque_skips_blend_ &&
                  V::bits(V::and_(mask, V::eq(alpha, V::set(255)))) == V::bits(mask);
      if (!skip) {
        I dst = vector_target ? (bpp_ == 4 ? V::or_(old, V::set(int32_t(0xFF000000u)))
                                           : from_565(old))
                              : read_lanes(p, mask);
        color = blend(color, dst);
      }
    }
    if (vector_target) {
      I out = bpp_ == 4 ? V::and_(color, V::set(0x00FFFFFF)) : to_565(color);
      out = V::select(mask, out, old);
      if (bpp_ == 4) V::store(p, out);
      else V::store16(p, out);
    } else {
      write_lanes(p, mask, color);
    }
    if (depth && st_.depth_write) {
      I out = V::select(mask, z, stored);
      if (st_.depth_format == PixelFormat::Z16) V::store16(depth, out);
      else V::store(depth, out);
    }
  }

 private:
  static F at(const Plane& p, F fx, float fy) {
    return V::add(V::set(p.row(fy)), V::mul(V::set(p.dx), fx));
  }

  static I channel(const Plane& p, F fx, float fy, F inv_w) {
    F c = at(p, fx, fy);
    // Multiplying by exactly 1 when affine changes nothing, as in the reference.
    c = V::mul(c, inv_w);
    return V::to_int(V::add(V::min(V::max(c, V::set(0.0f)), V::set(255.0f)), V::set(0.5f)));
  }

  I depth_pass(I z, I stored) const {
    switch (st_.depth_func) {
      case kCmpNever: return V::zero();
      case kCmpLess: return V::gt(stored, z);
      case kCmpEqual: return V::eq(z, stored);
      case kCmpLessEqual: return V::not_(V::gt(z, stored));
      case kCmpGreater: return V::gt(z, stored);
      case kCmpNotEqual: return V::not_(V::eq(z, stored));
      case kCmpGreaterEqual: return V::not_(V::gt(stored, z));
      default: return V::set(-1);
    }
  }

  // floor(c) for |c| <= 2^23, as floor_limited.
  static F floor_limited_v(F c) {
    F t = V::to_float(V::to_int(c));
    return V::sub(t, V::and_f(V::gt_f(t, c), V::set(1.0f)));
  }

  // As wrapped_fixed() then the nearest index folded into [0, size).
  static I wrap_nearest(F u, float scale, int32_t size) {
    F c = V::min(V::max(u, V::set(-kCoordLimit)), V::set(kCoordLimit));
    F f = V::sub(c, floor_limited_v(c));
    I i = V::srai(V::to_int(V::mul(f, V::set(scale))), 8);
    return V::sub(i, V::and_(V::gt(i, V::set(size - 1)), V::set(size)));
  }

  I texture(F fx, float fy, F inv_w, I diffuse, I mask) {
    const TextureView& t = st_.texture;
    F u = at(sh_.u, fx, fy), v = at(sh_.v, fx, fy);
    if (sh_.perspective) u = V::mul(u, inv_w), v = V::mul(v, inv_w);
    I texel;
    if (fast_texture_) {
      I i = wrap_nearest(u, t.scale_u, t.width);
      I j = wrap_nearest(v, t.scale_v, t.height);
      if constexpr (V::kGather) texel = gather_texels_ ? gather(i, j) : fetch_lanes(i, j, mask);
      else texel = fetch_lanes(i, j, mask);
    } else {
      Lanes<V> lu, lv;
      V::store_f(lu.f, u);
      V::store_f(lv.f, v);
      for (int bits = V::bits(mask), k = 0; bits; bits >>= 1, ++k)
        lu.i[k] = bits & 1 ? static_cast<int32_t>(sample(t, sampler_, lu.f[k], lv.f[k])) : 0;
      texel = V::load(lu.i);
    }
    if (texel_is_color_) return texel;
    if (!vector_texture_blend_) {
      Lanes<V> lt, ld;
      V::store(lt.i, texel);
      V::store(ld.i, diffuse);
      for (int k = 0; k < N; ++k)
        lt.i[k] = static_cast<int32_t>(texture_blend(st_.texture_blend, lt.i[k], ld.i[k], t.has_alpha));
      return V::load(lt.i);
    }
    switch (st_.texture_blend) {
      case kTexBlendDecal:
      case kTexBlendDecalMask:
      case kTexBlendCopy:
        return texel;
      case kTexBlendModulateAlpha:
        return V::mul_bytes(texel, diffuse);
      default: {
        I alpha_from = t.has_alpha ? texel : diffuse;
        I rgb = V::and_(V::mul_bytes(texel, diffuse), V::set(0x00FFFFFF));
        return V::or_(rgb, V::and_(alpha_from, V::set(int32_t(0xFF000000u))));
      }
    }
  }

  I gather(I i, I j) const {
    const TextureView& t = st_.texture;
    I row = V::mullo(j, V::set(t.pitch));
    switch (t.format) {
      case PixelFormat::Pal8: {
        I index = V::and_(narrow(V::add(row, i)), V::set(0xFF));
        return V::gather(t.palette, V::slli(index, 2));
      }
      case PixelFormat::RGB565: {
        I p = V::and_(narrow(V::add(row, V::add(i, i))), V::set(0xFFFF));
        return from_565(p);
      }
      case PixelFormat::RGB888: {
        I p = V::and_(narrow(V::add(row, V::add(i, V::add(i, i)))), V::set(0x00FFFFFF));
        return V::or_(p, V::set(int32_t(0xFF000000u)));
      }
      case PixelFormat::XRGB8888:
        return V::or_(V::gather(t.pixels, V::add(row, V::slli(i, 2))), V::set(int32_t(0xFF000000u)));
      default:
        return V::gather(t.pixels, V::add(row, V::slli(i, 2)));
    }
  }

  // Four bytes from each texel offset, read no further than the texture's
  // end: past it, read the last four bytes and shift the wanted ones down.
  I narrow(I offset) const {
    I last = V::set(static_cast<int32_t>(texture_end_ - 4));
    I over = V::gt(offset, last);
    I read_at = V::select(over, last, offset);
    I shift = V::slli(V::sub(offset, read_at), 3);
    return V::srlv(V::gather(st_.texture.pixels, read_at), shift);
  }

  I fetch_lanes(I i, I j, I mask) const {
    Lanes<V> li, lj;
    V::store(li.i, i);
    V::store(lj.i, j);
    for (int bits = V::bits(mask), k = 0; bits; bits >>= 1, ++k)
      li.i[k] = bits & 1 ? static_cast<int32_t>(fetch_texel(st_.texture, li.i[k], lj.i[k])) : 0;
    return V::load(li.i);
  }

  static I expand5v(I v) { return V::or_(V::slli(v, 3), V::srli(v, 2)); }
  static I expand6v(I v) { return V::or_(V::slli(v, 2), V::srli(v, 4)); }

  static I from_565(I p) {
    I r = expand5v(V::srli(p, 11));
    I g = expand6v(V::and_(V::srli(p, 5), V::set(63)));
    I b = expand5v(V::and_(p, V::set(31)));
    return V::or_(V::or_(V::set(int32_t(0xFF000000u)), V::slli(r, 16)), V::or_(V::slli(g, 8), b));
  }

  static I to_565(I c) {
    I r = V::and_(V::srli(c, 8), V::set(0xF800));
    I g = V::and_(V::srli(c, 5), V::set(0x07E0));
    I b = V::and_(V::srli(c, 3), V::set(0x001F));
    return V::or_(V::or_(r, g), b);
  }

  static I broadcast_alpha(I c) {
    I a = V::srli(c, 24);
    return V::or_(V::or_(a, V::slli(a, 8)), V::or_(V::slli(a, 16), V::slli(a, 24)));
  }

  static I factor(uint32_t mode, I src, I dst) {
    switch (mode) {
      case kBlendZero:
      case kBlendInvDestAlpha:
      case kBlendSrcAlphaSat: return V::zero();
      case kBlendSrcColor: return src;
      case kBlendInvSrcColor: return V::not_(src);
      case kBlendSrcAlpha: return broadcast_alpha(src);
      case kBlendInvSrcAlpha: return V::not_(broadcast_alpha(src));
      case kBlendDestColor: return dst;
      case kBlendInvDestColor: return V::not_(dst);
      default: return V::set(-1);
    }
  }

  I blend(I src, I dst) const {
    I s = V::mul_bytes(src, factor(st_.src_blend, src, dst));
    I d = V::mul_bytes(dst, factor(st_.dst_blend, src, dst));
    return V::or_(V::adds_u8(s, d), V::set(int32_t(0xFF000000u)));
  }

  I read_lanes(const uint8_t* p, I mask) const {
    Lanes<V> l;
    for (int bits = V::bits(mask), k = 0; bits; bits >>= 1, ++k)
      l.i[k] = bits & 1 ? static_cast<int32_t>(read_target(st_.target, p + k * bpp_)) : 0;
    return V::load(l.i);
  }

  void write_lanes(uint8_t* p, I mask, I color) const {
    Lanes<V> l;
    V::store(l.i, color);
    for (int bits = V::bits(mask), k = 0; bits; bits >>= 1, ++k)
      if (bits & 1) write_target(st_.target, p + k * bpp_, static_cast<uint32_t>(l.i[k]));
  }

  const DrawState& st_;
  const Shading& sh_;
  const SamplerState& sampler_;
  int bpp_;
  bool fast_texture_ = false;
  bool gather_texels_ = false;
  int64_t texture_end_ = 0;
  bool texel_is_color_ = false;
  bool vector_texture_blend_ = false;
  bool opaque_skips_blend_ = false;
};

template <class V>
bool fits_int32(const RasterTriangle& t, int64_t x_lo, int64_t x_hi) {
  for (int i = 0; i < 3; ++i)
    for (int64_t x : {x_lo, x_hi})
      for (int64_t y : {int64_t{t.y0}, int64_t{t.y1}}) {
        int64_t e = t.e[i] + t.ex[i] * (x - t.x0) + t.ey[i] * (y - t.y0);
        if (e < INT32_MIN || e > INT32_MAX) return false;
      }
  return true;
}

template <class V>
void rasterise_vector(const DrawState& st, const Shading& sh, const RasterTriangle& t) {
  using I = typename V::I;
  constexpr int N = V::N;
  // Chunks are N pixels wide and never leave a surface's row.
  if (st.row_width < N) {
    rasterise_reference(st, sh, t);
    return;
  }
  ChunkShader<V> shader(st, sh);
  const I lanes = V::lanes();
  // Edge values in 32-bit lanes when the whole swept box fits; the box runs
  // one chunk beyond the triangle on either side.
  bool narrow = fits_int32<V>(t, int64_t{t.x0} - 2 * N, int64_t{t.x1} + 2 * N);
  I row_e[3], step_x[3], step_y[3];
  if (narrow) {
    for (int i = 0; i < 3; ++i) {
      row_e[i] = V::add(V::set(static_cast<int32_t>(t.e[i])),
                        V::mullo(lanes, V::set(static_cast<int32_t>(t.ex[i]))));
      step_x[i] = V::set(static_cast<int32_t>(t.ex[i] * N));
      step_y[i] = V::set(static_cast<int32_t>(t.ey[i]));
    }
  }
  for (int32_t y = t.y0; y <= t.y1; ++y) {
    I e[3] = {row_e[0], row_e[1], row_e[2]};
    for (int32_t xc = t.x0; xc <= t.x1; xc += N) {
      int32_t xs = std::min(xc, st.row_width - N);
      I x = V::add(V::set(xs), lanes);
      I mask = V::and_(V::gt(x, V::set(xc - 1)), V::gt(V::set(t.x1 + 1), x));
      if (narrow) {
        I shifted[3];
        for (int i = 0; i < 3; ++i)
          shifted[i] = xs == xc ? e[i] : V::sub(e[i], V::set(static_cast<int32_t>(t.ex[i] * (xc - xs))));
        I any_negative = V::srai(V::or_(V::or_(shifted[0], shifted[1]), shifted[2]), 31);
        mask = V::and_(mask, V::not_(any_negative));
        for (int i = 0; i < 3; ++i) e[i] = V::add(e[i], step_x[i]);
      } else {
        Lanes<V> covered;
        for (int k = 0; k < N; ++k) {
          int64_t dx = xs + k - t.x0, dy = y - t.y0;
          bool in = true;
          for (int i = 0; i < 3; ++i) in = in && t.e[i] + t.ex[i] * dx + t.ey[i] * dy >= 0;
          covered.i[k] = in ? -1 : 0;
        }
        mask = V::and_(mask, V::load(covered.i));
      }
      if (V::bits(mask)) shader.shade(xs, y, mask);
    }
    if (narrow)
      for (int i = 0; i < 3; ++i) row_e[i] = V::add(row_e[i], step_y[i]);
  }
}

}  // namespace
}  // namespace zv::raster::detail
