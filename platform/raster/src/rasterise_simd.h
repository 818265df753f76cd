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
[[gnu::always_inline]] inline typename V::I depth_pass(uint32_t func, typename V::I z,
                                                       typename V::I stored) {
  switch (func) {
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

// As to_565(), lane by lane.
template <class V>
[[gnu::always_inline]] inline typename V::I pack_565(typename V::I c) {
  auto r = V::and_(V::srli(c, 8), V::set(0xF800));
  auto g = V::and_(V::srli(c, 5), V::set(0x07E0));
  auto b = V::and_(V::srli(c, 3), V::set(0x001F));
  return V::or_(V::or_(r, g), b);
}

// Shades chunks of N horizontally adjacent pixels for one triangle, or for
// two whose coverage cannot overlap (kPair): each lane then takes the planes
// of the triangle that covers it. The state is copied, not referenced, so
// pixel stores cannot force it to be reloaded.
template <class V, bool kPair>
class ChunkShader {
  using F = typename V::F;
  using I = typename V::I;
  static constexpr int N = V::N;

 public:
  static constexpr int kRows = 1;
  ChunkShader(const DrawState& st, const Shading& a, const Shading& b)
      : st_(st),
        a_(a),
        b_(b),
        sampler_(a.minify ? st.minify : st.magnify),
        bpp_(bytes_per_pixel(st.target.format)) {
    const TextureView& t = st.texture;
    fast_texture_ = st.textured && !sampler_.linear && sampler_.address_u == kAddressWrap &&
                    sampler_.address_v == kAddressWrap;
    if (st.textured) {
      // 4-byte reads of narrow texels must stop at the texture's last byte.
      int tbpp = bytes_per_pixel(t.format);
      texture_end_ = (t.pitch > 0 ? int64_t{t.height - 1} * t.pitch : 0) + int64_t{t.width} * tbpp;
      gather_texels_ = texture_end_ >= 4 &&
                       (t.format == PixelFormat::Pal8 || t.format == PixelFormat::XRGB8888 ||
                        t.format == PixelFormat::ARGB8888 || t.format == PixelFormat::RGB565 ||
                        t.format == PixelFormat::RGB888);
    }
    uint32_t mode = st.texture_blend;
    bool modulate_family = mode == kTexBlendModulate || mode == kTexBlendModulateMask ||
                           mode == kTexBlendModulateAlpha;
    // Modulating by opaque white is the texel itself: div255(t * 255) == t.
    bool white = a.flat_color == 0xFFFFFFFFu && (!kPair || b.flat_color == 0xFFFFFFFFu);
    texel_is_color_ = st.textured && !a.gouraud &&
                      (mode == kTexBlendDecal || mode == kTexBlendDecalMask ||
                       mode == kTexBlendCopy || (modulate_family && white));
    vector_texture_blend_ = modulate_family || mode == kTexBlendDecal ||
                            mode == kTexBlendDecalMask || mode == kTexBlendCopy;
    // With SRCALPHA/INVSRCALPHA an alpha of 255 gives the source exactly.
    opaque_skips_blend_ = st.src_blend == kBlendSrcAlpha && st.dst_blend == kBlendInvSrcAlpha;
    vector_target_ = st.target.format == PixelFormat::XRGB8888 ||
                     st.target.format == PixelFormat::RGB565;
  }

  // `mask`: lanes to shade; `in_a`: lanes of the first triangle (pairs only).
  void shade(int32_t xs, int32_t y, I mask, I in_a) {
    I xref = V::set(a_.xref);
    if constexpr (kPair) xref = V::select(in_a, xref, V::set(b_.xref));
    I dx = V::sub(V::add(V::set(xs), V::lanes()), xref);
    Lane lane{V::to_float(dx), static_cast<float>(y - a_.yref), static_cast<float>(y - b_.yref),
              in_a, dx, y - a_.yref, y - b_.yref};

    uint8_t* depth = nullptr;
    I z = V::zero(), stored = V::zero();
    if (st_.depth_test) {
      bool z16 = st_.depth_format == PixelFormat::Z16;
      depth = st_.depth_pixels + static_cast<ptrdiff_t>(y) * st_.depth_pitch +
              static_cast<ptrdiff_t>(xs) * (z16 ? 2 : 4);
      F clamped = V::min(V::max(at(&Shading::z, lane), V::set(0.0f)), V::set(1.0f));
      const F scale = V::set(depth_scale(st_.depth_format));
      z = V::to_int(V::min(V::add(V::mul(clamped, scale), V::set(0.5f)), scale));
      stored = z16 ? V::load16(depth) : V::load(depth);
      mask = V::and_(mask, depth_pass<V>(st_.depth_func, z, stored));
      if (!V::bits(mask)) return;
    }

    F inv_w = V::set(1.0f);
    if (a_.perspective)
      inv_w = V::div(V::set(1.0f), V::max(at(&Shading::rhw, lane), V::set(kMinRhw)));

    I color = V::set(static_cast<int32_t>(a_.flat_color));
    if constexpr (kPair) color = V::select(in_a, color, V::set(static_cast<int32_t>(b_.flat_color)));
    if (a_.gouraud) {
      color = V::slli(channel(&Shading::a, lane, inv_w), 24);
      color = V::or_(color, V::slli(channel(&Shading::r, lane, inv_w), 16));
      color = V::or_(color, V::slli(channel(&Shading::g, lane, inv_w), 8));
      color = V::or_(color, channel(&Shading::b, lane, inv_w));
    }
    if (st_.textured) color = texture(lane, inv_w, color, mask);

    uint8_t* p = st_.target.pixels + static_cast<ptrdiff_t>(y) * st_.target.pitch +
                 static_cast<ptrdiff_t>(xs) * bpp_;
    I old = V::zero();
    if (vector_target_) old = bpp_ == 4 ? V::load(p) : V::load16(p);
    if (st_.blend) {
      I alpha = V::srli(color, 24);
      bool skip = opaque_skips_blend_ &&
                  V::bits(V::and_(mask, V::eq(alpha, V::set(255)))) == V::bits(mask);
      if (!skip) {
        I dst = vector_target_ ? (bpp_ == 4 ? V::or_(old, V::set(int32_t(0xFF000000u))) : from_565(old))
                               : read_lanes(p, mask);
        color = blend(color, dst);
      }
    }
    if (vector_target_) {
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
  // Where each lane sits relative to its triangle's planes.
  struct Lane {
    F fx;
    float fy_a, fy_b;
    I in_a;
    I dx;  // the same offsets from the reference point as integers
    int32_t dy_a, dy_b;
  };

  I at_wrapped(const FixedPlane Shading::*plane, const Lane& lane) const {
    const FixedPlane& pa = a_.*plane;
    I row = V::set(static_cast<int32_t>(pa.row(lane.dy_a))), dx = V::set(static_cast<int32_t>(pa.dx));
    if constexpr (kPair) {
      const FixedPlane& pb = b_.*plane;
      row = V::select(lane.in_a, row, V::set(static_cast<int32_t>(pb.row(lane.dy_b))));
      dx = V::select(lane.in_a, dx, V::set(static_cast<int32_t>(pb.dx)));
    }
    return V::add(row, V::mullo(dx, lane.dx));
  }

  // plane.row(fy) + plane.dx * fx, with each lane's own triangle's plane.
  F at(const Plane Shading::*plane, const Lane& lane) const {
    const Plane& pa = a_.*plane;
    F row = V::set(pa.row(lane.fy_a)), dx = V::set(pa.dx);
    if constexpr (kPair) {
      const Plane& pb = b_.*plane;
      row = V::select_f(lane.in_a, row, V::set(pb.row(lane.fy_b)));
      dx = V::select_f(lane.in_a, dx, V::set(pb.dx));
    }
    return V::add(row, V::mul(dx, lane.fx));
  }

  I channel(const Plane Shading::*plane, const Lane& lane, F inv_w) const {
    // Multiplying by exactly 1 when affine changes nothing, as in the reference.
    F c = V::mul(at(plane, lane), inv_w);
    return V::to_int(V::add(V::min(V::max(c, V::set(0.0f)), V::set(255.0f)), V::set(0.5f)));
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

  I texture(const Lane& lane, F inv_w, I diffuse, I mask) {
    const TextureView& t = st_.texture;
    I texel;
    if (a_.wrapped_uv) {
      I su = at_wrapped(&Shading::su, lane), sv = at_wrapped(&Shading::sv, lane);
      if (!sampler_.linear && gather_texels_) {
        texel = gather(V::mulhi(su, V::set(t.width)), V::mulhi(sv, V::set(t.height)));
      } else {
        Lanes<V> ls, lr;
        V::store(ls.i, su);
        V::store(lr.i, sv);
        for (int bits = V::bits(mask), k = 0; bits; bits >>= 1, ++k)
          ls.i[k] = bits & 1 ? static_cast<int32_t>(sample_wrapped(t, sampler_.linear, ls.i[k], lr.i[k])) : 0;
        texel = V::load(ls.i);
      }
      return blend_texel(texel, diffuse);
    }
    F u = at(&Shading::u, lane), v = at(&Shading::v, lane);
    if (a_.perspective) u = V::mul(u, inv_w), v = V::mul(v, inv_w);
    if (fast_texture_) {
      I i = wrap_nearest(u, t.scale_u, t.width);
      I j = wrap_nearest(v, t.scale_v, t.height);
      texel = gather_texels_ ? gather(i, j) : fetch_lanes(i, j, mask);
    } else {
      Lanes<V> lu, lv;
      V::store_f(lu.f, u);
      V::store_f(lv.f, v);
      for (int bits = V::bits(mask), k = 0; bits; bits >>= 1, ++k)
        lu.i[k] = bits & 1 ? static_cast<int32_t>(sample(t, sampler_, lu.f[k], lv.f[k])) : 0;
      texel = V::load(lu.i);
    }
    return blend_texel(texel, diffuse);
  }

  I blend_texel(I texel, I diffuse) const {
    const TextureView& t = st_.texture;
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

  static I to_565(I c) { return pack_565<V>(c); }

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

  const DrawState st_;
  const Shading a_;
  const Shading b_;
  const SamplerState sampler_;
  int bpp_;
  bool vector_target_ = false;
  bool fast_texture_ = false;
  bool gather_texels_ = false;
  int64_t texture_end_ = 0;
  bool texel_is_color_ = false;
  bool vector_texture_blend_ = false;
  bool opaque_skips_blend_ = false;
};

// Lanes where all three edge values are >= 0.
template <class V>
[[gnu::always_inline]] inline typename V::I inside(typename V::I e0, typename V::I e1,
                                                   typename V::I e2) {
  return V::not_(V::srai(V::or_(V::or_(e0, e1), e2), 31));
}

// Edge values relative to the corner (x0, y0) of the box being scanned.
template <int kEdges>
struct Edges {
  int32_t x0, y0, x1, y1;
  int64_t e[kEdges], ex[kEdges], ey[kEdges];
};

// Every edge's value in each lane of the box's first tile, whose lanes lie
// `cols` and `rows` from its corner, and its steps to the next tile across
// (kCols pixels) and down (kRows rows).
template <class V, int kEdges, int kCols, int kRows>
inline void first_tile_edges(const Edges<kEdges>& g, typename V::I cols, typename V::I rows,
                             typename V::I (&row_e)[kEdges], typename V::I (&step_x)[kEdges],
                             typename V::I (&step_y)[kEdges]) {
#pragma GCC unroll 6
  for (int k = 0; k < kEdges; ++k) {
    row_e[k] = V::add(V::add(V::set(static_cast<int32_t>(g.e[k])),
                             V::mullo(cols, V::set(static_cast<int32_t>(g.ex[k])))),
                      V::mullo(rows, V::set(static_cast<int32_t>(g.ey[k]))));
    step_x[k] = V::set(static_cast<int32_t>(g.ex[k] * kCols));
    step_y[k] = V::set(static_cast<int32_t>(g.ey[k] * kRows));
  }
}

// The commonest state, the program's own among it, scanned and shaded in
// one loop with every constant hoisted: affine texturing that is the final
// colour (decal, or modulation by flat opaque white), nearest sampling with
// wrap from a palettised or 32-bit texture, into a 32-bit or RGB565 target,
// with a 16-bit depth buffer or none, and blending off or unable to change
// an opaque source. Same operations, in the same order, as ChunkShader and
// the reference. Edge values and texture coordinates step from tile to
// tile instead of being worked out afresh.
//
// kPair: two triangles sharing an edge, which is held once, as edge 2, for
// both: the second triangle's own edges follow as 3 and 4.
template <class V, bool kPair>
struct FastKernel {
  using F = typename V::F;
  using I = typename V::I;
  static constexpr int kEdges = kPair ? 5 : 3;
  // Eight lanes shade 4 x 2 tiles: a quad's 10-pixel rows then waste fewer lanes.
  static constexpr int kRows = V::N == 8 ? 2 : 1;
  static constexpr int kCols = V::N / kRows;
  static constexpr int kAllLanes = (1 << V::N) - 1;

  static bool eligible(const DrawState& st, const Shading& a, const Shading& b) {
    const TextureView& t = st.texture;
    if (!st.textured || !a.wrapped_uv || a.gouraud || st.magnify.linear || st.minify.linear) return false;
    if (st.target.format != PixelFormat::XRGB8888 && st.target.format != PixelFormat::RGB565) return false;
    if (st.depth_test && st.depth_format != PixelFormat::Z16) return false;
    bool narrow_texels = t.format == PixelFormat::Pal8;
    if (!narrow_texels && t.format != PixelFormat::XRGB8888 && t.format != PixelFormat::ARGB8888)
      return false;
    uint32_t mode = st.texture_blend;
    bool white = a.flat_color == 0xFFFFFFFFu && (!kPair || b.flat_color == 0xFFFFFFFFu);
    bool texel_is_color = mode == kTexBlendDecal || mode == kTexBlendDecalMask ||
                          mode == kTexBlendCopy ||
                          (white && (mode == kTexBlendModulate || mode == kTexBlendModulateMask ||
                                     mode == kTexBlendModulateAlpha));
    if (!texel_is_color) return false;
    // Alpha-less texels are opaque, and SRCALPHA/INVSRCALPHA then gives the source.
    return !st.blend || (!t.has_alpha && st.src_blend == kBlendSrcAlpha &&
                         st.dst_blend == kBlendInvSrcAlpha);
  }

  // Out of line: inside its caller the loop would compete for registers.
  [[gnu::noinline]] static void run(const DrawState& st, const Edges<kEdges>& g, const Shading& a,
                                    const Shading& b) {
    const TextureView& t = st.texture;
    uint8_t* const target = st.target.pixels;
    const ptrdiff_t target_pitch = st.target.pitch;
    const bool target565 = st.target.format == PixelFormat::RGB565;
    uint8_t* const depth = st.depth_test ? st.depth_pixels : nullptr;
    const ptrdiff_t depth_pitch = st.depth_pitch;
    const uint32_t depth_func = st.depth_func;
    const bool depth_write = st.depth_write;
    // A depth that only changes from row to row is worked out once per row.
    const bool depth_per_row = a.z.dx == 0.0f && (!kPair || b.z.dx == 0.0f);
    const Texels texels(t);

    I cols = V::lanes(), rows = V::zero();
    if constexpr (kRows == 2) cols = V::rows(0, 1, 2, 3), rows = V::rows(0, 1);
    I row_e[kEdges], step_x[kEdges], step_y[kEdges];
    first_tile_edges<V, kEdges, kCols, kRows>(g, cols, rows, row_e, step_x, step_y);
    auto coordinate = [&](const FixedPlane& p, const Shading& s) {
      return Coordinate::At(p, s, g.x0, g.y0, cols, rows);
    };
    Coordinate ua = coordinate(a.su, a), va = coordinate(a.sv, a);
    Coordinate ub = ua, vb = va;
    if constexpr (kPair) ub = coordinate(b.su, b), vb = coordinate(b.sv, b);

    const I right = V::set(g.x1 + 1);
    const I first_row_only = V::gt(V::set(1), rows);
    const int32_t last_start = st.row_width - kCols;
    for (int32_t y = g.y0; y <= g.y1; y += kRows) {
      const bool second_row = kRows == 2 && y + 1 <= g.y1;
      const I rows_in = kRows == 2 && !second_row ? first_row_only : V::set(-1);
      // A tile's second row, when there is none, repeats the first with its
      // lanes masked off; it is stored first, so the first row wins.
      uint8_t* const line = target + static_cast<ptrdiff_t>(y) * target_pitch;
      uint8_t* const line2 = second_row ? line + target_pitch : line;
      uint16_t* zline = nullptr;
      uint16_t* zline2 = nullptr;
      F z_row_a = V::set(0.0f), z_row_b = V::set(0.0f);
      I z_a = V::zero(), z_b = V::zero();
      bool depth_sure = false;
      if (depth) {
        zline = reinterpret_cast<uint16_t*>(depth + static_cast<ptrdiff_t>(y) * depth_pitch);
        zline2 = second_row ? reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(zline) + depth_pitch) : zline;
        const int32_t dy_a = y - a.yref, dy_b = y - b.yref;
        z_row_a = per_row(a.z.row(static_cast<float>(dy_a)), a.z.row(static_cast<float>(dy_a + 1)));
        z_row_b = per_row(b.z.row(static_cast<float>(dy_b)), b.z.row(static_cast<float>(dy_b + 1)));
        // row + 0 * fx is the row itself (bar the sign of a zero, which the
        // clamp to 0..1 removes), whichever triangle a lane belongs to.
        if (depth_per_row) {
          z_a = depth16(z_row_a), z_b = depth16(z_row_b);
          // Nothing stored can fail a depth at the near or far end for
          // LESSEQUAL or GREATEREQUAL: no need to read the buffer.
          depth_sure =
              depth_func == kCmpAlways ||
              (depth_func == kCmpLessEqual && V::bits(V::eq(V::or_(z_a, z_b), V::zero())) == kAllLanes) ||
              (depth_func == kCmpGreaterEqual &&
               V::bits(V::eq(V::and_(z_a, z_b), V::set(0xFFFF))) == kAllLanes);
        }
      }

      // Shades the tile whose top-left pixel is (xs, y), its lanes at x.
      auto tile = [&](int32_t xs, I x, const I* cur, I range, bool clip, I su_a, I sv_a, I su_b,
                      I sv_b) __attribute__((always_inline)) {
        // The second triangle's lanes are those where the shared edge is
        // negative: its sign bit serves V::pick.
        const I second = kPair ? cur[2] : V::zero();
        I mask = inside<V>(cur[0], cur[1], cur[2]);
        if constexpr (kPair) mask = V::or_(mask, V::srai(V::andnot(V::or_(cur[3], cur[4]), cur[2]), 31));
        if (clip) mask = V::and_(mask, range);
        if (!V::bits(mask)) return;
        uint16_t* zp = nullptr;
        uint16_t* zp2 = nullptr;
        I z = V::zero(), stored = V::zero();
        if (depth) {
          zp = zline + xs, zp2 = zline2 + xs;
          if (depth_per_row) {
            z = kPair ? V::pick(second, z_a, z_b) : z_a;
          } else {
            I xref = V::set(a.xref);
            F row = z_row_a, dz = V::set(a.z.dx);
            if constexpr (kPair) {
              xref = V::pick(second, xref, V::set(b.xref));
              row = V::pick_f(second, row, z_row_b), dz = V::pick_f(second, dz, V::set(b.z.dx));
            }
            z = depth16(V::add(row, V::mul(dz, V::to_float(V::sub(x, xref)))));
          }
          if (!depth_sure) {
            stored = load16(zp, zp2);
            const I pass = depth_func == kCmpLessEqual ? V::not_(V::gt(z, stored))
                                                       : depth_pass<V>(depth_func, z, stored);
            mask = V::and_(mask, pass);
          }
        }
        const int bits = V::bits(mask);
        if (!bits) return;
        const I su = kPair ? V::pick(second, su_a, su_b) : su_a;
        const I sv = kPair ? V::pick(second, sv_a, sv_b) : sv_a;
        const I texel = texels.fetch(su, sv);
        store_colour(line, line2, xs, target565, texel, mask, bits == kAllLanes);
        if (depth && depth_write) {
          I out = z;
          if (bits != kAllLanes) out = V::select(mask, z, depth_sure ? load16(zp, zp2) : stored);
          store16(zp, zp2, out);
        }
      };

      I e[kEdges];
#pragma GCC unroll 6
      for (int k = 0; k < kEdges; ++k) e[k] = row_e[k];
      I u_a = ua.at, v_a = va.at, u_b = ub.at, v_b = vb.at;
      auto advance = [&] {
#pragma GCC unroll 6
        for (int k = 0; k < kEdges; ++k) e[k] = V::add(e[k], step_x[k]);
        u_a = V::add(u_a, ua.across), v_a = V::add(v_a, va.across);
        if constexpr (kPair) u_b = V::add(u_b, ub.across), v_b = V::add(v_b, vb.across);
      };
      // Tiles inside the box and the row, then the ones that reach past.
      int32_t xc = g.x0;
      const int32_t whole_end = second_row || kRows == 1 ? std::min(g.x1 + 1 - kCols, last_start) : g.x0 - 1;
      for (; xc <= whole_end; xc += kCols) {
        tile(xc, V::add(V::set(xc), cols), e, rows_in, false, u_a, v_a, u_b, v_b);
        advance();
      }
      for (; xc <= g.x1; xc += kCols) {
        I x = V::add(V::set(xc), cols);
        I range = V::and_(V::gt(right, x), rows_in);
        if (xc <= last_start) {
          tile(xc, x, e, range, true, u_a, v_a, u_b, v_b);
        } else {  // would leave the row: step back, mask the lanes already done
          const int32_t xs = last_start, back = xc - xs;
          x = V::add(V::set(xs), cols);
          range = V::and_(V::and_(V::gt(x, V::set(xc - 1)), V::gt(right, x)), rows_in);
          I cur[kEdges];
#pragma GCC unroll 6
          for (int k = 0; k < kEdges; ++k) cur[k] = V::sub(e[k], V::set(static_cast<int32_t>(g.ex[k] * back)));
          auto back_off = [&](I c, const FixedPlane& p) {
            return V::sub(c, V::set(static_cast<int32_t>(p.dx * static_cast<uint32_t>(back))));
          };
          tile(xs, x, cur, range, true, back_off(u_a, a.su), back_off(v_a, a.sv), back_off(u_b, b.su),
               back_off(v_b, b.sv));
        }
        advance();
      }
#pragma GCC unroll 6
      for (int k = 0; k < kEdges; ++k) row_e[k] = V::add(row_e[k], step_y[k]);
      ua.at = V::add(ua.at, ua.down), va.at = V::add(va.at, va.down);
      if constexpr (kPair) ub.at = V::add(ub.at, ub.down), vb.at = V::add(vb.at, vb.down);
    }
  }

  // Two triangles that fill their box exactly, the edges of neither
  // reaching into it but the one they share, at one depth throughout (`z`,
  // or none without a depth test): that edge alone is followed, to tell
  // which triangle's texture coordinates a lane takes. No tile may leave
  // the row.
  [[gnu::noinline]] static void run_box(const DrawState& st, const Edges<5>& g, const Shading& a,
                                        const Shading& b, uint32_t z_value) {
    static_assert(kPair);
    const TextureView& t = st.texture;
    uint8_t* const target = st.target.pixels;
    const ptrdiff_t target_pitch = st.target.pitch;
    const bool target565 = st.target.format == PixelFormat::RGB565;
    uint8_t* const depth = st.depth_test ? st.depth_pixels : nullptr;
    const ptrdiff_t depth_pitch = st.depth_pitch;
    const uint32_t depth_func = st.depth_func;
    const bool depth_write = st.depth_write;
    // Nothing stored can fail a depth at the near or far end for
    // LESSEQUAL or GREATEREQUAL: no need to read the buffer.
    const bool depth_sure = depth_func == kCmpAlways || (depth_func == kCmpLessEqual && z_value == 0) ||
                            (depth_func == kCmpGreaterEqual && z_value == 0xFFFF);
    const I z = V::set(static_cast<int32_t>(z_value));
    const __m128i z_packed = V::pack16(z);
    const Texels texels(t);

    I cols = V::lanes(), rows = V::zero();
    if constexpr (kRows == 2) cols = V::rows(0, 1, 2, 3), rows = V::rows(0, 1);
    I shared = V::add(V::add(V::set(static_cast<int32_t>(g.e[2])),
                             V::mullo(cols, V::set(static_cast<int32_t>(g.ex[2])))),
                      V::mullo(rows, V::set(static_cast<int32_t>(g.ey[2]))));
    const I shared_across = V::set(static_cast<int32_t>(g.ex[2] * kCols));
    const I shared_down = V::set(static_cast<int32_t>(g.ey[2] * kRows));
    auto coordinate = [&](const FixedPlane& p, const Shading& s) {
      return Coordinate::At(p, s, g.x0, g.y0, cols, rows);
    };
    Coordinate ua = coordinate(a.su, a), va = coordinate(a.sv, a);
    Coordinate ub = coordinate(b.su, b), vb = coordinate(b.sv, b);

    const I right = V::set(g.x1 + 1);
    const I first_row_only = V::gt(V::set(1), rows);
    // Tiles wholly inside the box's columns start up to here.
    const int32_t whole_end = g.x1 + 1 - kCols;
    for (int32_t y = g.y0; y <= g.y1; y += kRows) {
      const bool second_row = kRows == 2 && y + 1 <= g.y1;
      const I rows_in = kRows == 2 && !second_row ? first_row_only : V::set(-1);
      uint8_t* const line = target + static_cast<ptrdiff_t>(y) * target_pitch;
      uint8_t* const line2 = second_row ? line + target_pitch : line;
      uint16_t* zline = nullptr;
      uint16_t* zline2 = nullptr;
      if (depth) {
        zline = reinterpret_cast<uint16_t*>(depth + static_cast<ptrdiff_t>(y) * depth_pitch);
        zline2 = second_row ? reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(zline) + depth_pitch) : zline;
      }

      // `whole`: every lane of the tile is in the box.
      auto tile = [&](int32_t xs, I mask, bool whole, I sel, I su_a, I sv_a, I su_b,
                      I sv_b) __attribute__((always_inline)) {
        uint16_t* const zp = depth ? zline + xs : nullptr;
        uint16_t* const zp2 = depth ? zline2 + xs : nullptr;
        I stored = V::zero();
        if (depth && !depth_sure) {
          stored = load16(zp, zp2);
          const I pass = depth_func == kCmpLessEqual ? V::not_(V::gt(z, stored))
                                                     : depth_pass<V>(depth_func, z, stored);
          mask = V::and_(mask, pass);
          whole = whole && V::bits(mask) == kAllLanes;
          if (!V::bits(mask)) return;
        }
        const I su = V::pick(sel, su_a, su_b);
        const I sv = V::pick(sel, sv_a, sv_b);
        const I texel = texels.fetch(su, sv);
        store_colour(line, line2, xs, target565, texel, mask, whole);
        if (depth && depth_write) {
          if (whole) store_packed16(zp, zp2, z_packed);
          else store16(zp, zp2, V::select(mask, z, depth_sure ? load16(zp, zp2) : stored));
        }
      };

      I sel = shared, u_a = ua.at, v_a = va.at, u_b = ub.at, v_b = vb.at;
      auto advance = [&] {
        sel = V::add(sel, shared_across);
        u_a = V::add(u_a, ua.across), v_a = V::add(v_a, va.across);
        u_b = V::add(u_b, ub.across), v_b = V::add(v_b, vb.across);
      };
      int32_t xc = g.x0;
      if (second_row || kRows == 1) {
        for (; xc <= whole_end; xc += kCols) {
          tile(xc, V::set(-1), true, sel, u_a, v_a, u_b, v_b);
          advance();
        }
      }
      for (; xc <= g.x1; xc += kCols) {
        tile(xc, V::and_(V::gt(right, V::add(V::set(xc), cols)), rows_in), false, sel, u_a, v_a, u_b, v_b);
        advance();
      }
      shared = V::add(shared, shared_down);
      ua.at = V::add(ua.at, ua.down), va.at = V::add(va.at, va.down);
      ub.at = V::add(ub.at, ub.down), vb.at = V::add(vb.at, vb.down);
    }
  }

 private:
  // The texture as the kernels sample it: wrapped coordinates are 32-bit
  // fractions of its size, so a power-of-two size takes a shift.
  struct Texels {
    explicit Texels(const TextureView& t)
        : pixels(t.pixels),
          palette(t.format == PixelFormat::Pal8 ? t.palette : nullptr),
          width(t.width),
          height(t.height),
          pitch(t.pitch),
          shift_u(power_of_two_shift(t.width)),
          shift_v(power_of_two_shift(t.height)),
          // A power-of-two pitch (the usual case) saves the slow 32-bit multiply.
          pitch_shift(t.pitch > 0 && (t.pitch & (t.pitch - 1)) == 0
                          ? __builtin_ctz(static_cast<uint32_t>(t.pitch))
                          : -1) {}

    I fetch(I su, I sv) const {
      const I i = shift_u ? V::srl(su, shift_u) : V::mulhi(su, V::set(width));
      const I j = shift_v ? V::srl(sv, shift_v) : V::mulhi(sv, V::set(height));
      const I row = pitch_shift >= 0 ? V::sll(j, pitch_shift) : V::mullo(j, V::set(pitch));
      const I offset = V::add(row, palette ? i : V::slli(i, 2));
      // Two dependent gathers stall; independent scalar loads overlap.
      return palette ? V::lookup2(palette, pixels, offset) : V::gather(pixels, offset);
    }

    const uint8_t* pixels;
    const uint32_t* palette;
    int32_t width, height, pitch;
    int shift_u, shift_v, pitch_shift;
  };

  // su or sv of every lane, modulo 2^32, at a tile, and its steps from tile
  // to tile and from row to row of tiles.
  struct Coordinate {
    I at, across, down;

    static Coordinate At(const FixedPlane& p, const Shading& s, int32_t x0, int32_t y0, I cols, I rows) {
      I lanes = V::add(V::mullo(cols, V::set(static_cast<int32_t>(p.dx))),
                       V::mullo(rows, V::set(static_cast<int32_t>(p.dy))));
      return {V::add(V::set(static_cast<int32_t>(p.at(x0 - s.xref, y0 - s.yref))), lanes),
              V::set(static_cast<int32_t>(p.dx * kCols)), V::set(static_cast<int32_t>(p.dy * kRows))};
    }
  };

  // A whole tile needs nothing of what was there.
  static void store_colour(uint8_t* line, uint8_t* line2, int32_t xs, bool target565, I texel, I mask,
                           bool whole) {
    if (target565) {
      uint16_t* p = reinterpret_cast<uint16_t*>(line) + xs;
      uint16_t* p2 = reinterpret_cast<uint16_t*>(line2) + xs;
      I out = pack_565<V>(texel);
      if (!whole) out = V::select(mask, out, load16(p, p2));
      store16(p, p2, out);
    } else {
      uint32_t* p = reinterpret_cast<uint32_t*>(line) + xs;
      uint32_t* p2 = reinterpret_cast<uint32_t*>(line2) + xs;
      I out = V::and_(texel, V::set(0x00FFFFFF));
      if (!whole) out = V::select(mask, out, load32(p, p2));
      store32(p, p2, out);
    }
  }

  // 32 - log2(size) for a power of two, so a shift gives (s * size) >> 32; else 0.
  static int power_of_two_shift(int32_t size) {
    if (size < 2 || (size & (size - 1))) return 0;
    return 32 - __builtin_ctz(static_cast<uint32_t>(size));
  }

  // As depth_value() for Z16.
  static I depth16(F z) {
    F clamped = V::min(V::max(z, V::set(0.0f)), V::set(1.0f));
    return V::to_int(V::min(V::add(V::mul(clamped, V::set(65535.0f)), V::set(0.5f)), V::set(65535.0f)));
  }

  // A tile's two rows go to the upper and lower lanes.
  static I load32(const uint32_t* p, const uint32_t* next) {
    if constexpr (kRows == 1) return V::load(p);
    else return V::load_rows(p, next);
  }
  static void store32(uint32_t* p, uint32_t* next, I v) {
    if constexpr (kRows == 1) V::store(p, v);
    else V::store_rows(p, next, v);
  }
  static I load16(const uint16_t* p, const uint16_t* next) {
    if constexpr (kRows == 1) return V::load16(p);
    else return V::load16_rows(p, next);
  }
  static void store16(uint16_t* p, uint16_t* next, I v) {
    if constexpr (kRows == 1) V::store16(p, v);
    else V::store16_rows(p, next, v);
  }
  static void store_packed16(uint16_t* p, uint16_t* next, __m128i packed) {
    if constexpr (kRows == 1) V::store_packed16(p, packed);
    else V::store_packed16_rows(p, next, packed);
  }

  template <class T>
  static auto per_row(T first, T second) {
    if constexpr (kRows == 1) return V::set(first);
    else return V::rows(first, second);
  }
};

// Edge values in 32-bit lanes, for boxes where they fit. Lanes cover
// Shader::kRows rows of N / kRows pixels.
template <class V, bool kPair, class Shader, int kEdges>
void scan_narrow(const DrawState& st, const Edges<kEdges>& g, Shader& shader) {
  using I = typename V::I;
  constexpr int kRows = Shader::kRows, kCols = V::N / kRows;
  I cols = V::lanes(), rows = V::zero();
  if constexpr (kRows == 2) cols = V::rows(0, 1, 2, 3), rows = V::rows(0, 1);
  I row_e[kEdges], step_x[kEdges], step_y[kEdges];
  first_tile_edges<V, kEdges, kCols, kRows>(g, cols, rows, row_e, step_x, step_y);
  const I right = V::set(g.x1 + 1);
  const I first_row_only = V::gt(V::set(1), rows);
  const int32_t last_start = st.row_width - kCols;
  for (int32_t y = g.y0; y <= g.y1; y += kRows) {
    const bool second_row = kRows == 2 && y + 1 <= g.y1;
    const I rows_in = kRows == 2 && !second_row ? first_row_only : V::set(-1);
    I ev[kEdges];
#pragma GCC unroll 6
    for (int k = 0; k < kEdges; ++k) ev[k] = row_e[k];
    for (int32_t xc = g.x0; xc <= g.x1; xc += kCols) {
      I cur[kEdges];
#pragma GCC unroll 6
      for (int k = 0; k < kEdges; ++k) cur[k] = ev[k];
      int32_t xs = xc;
      I x = V::add(V::set(xs), cols);
      I range = V::and_(V::gt(right, x), rows_in);
      if (xc > last_start) {  // would leave the row: step back, mask the lanes already done
        xs = last_start;
        x = V::add(V::set(xs), cols);
        range = V::and_(V::and_(V::gt(x, V::set(xc - 1)), V::gt(right, x)), rows_in);
#pragma GCC unroll 6
        for (int k = 0; k < kEdges; ++k)
          cur[k] = V::sub(ev[k], V::set(static_cast<int32_t>(g.ex[k] * (xc - xs))));
      }
      I in_a = V::and_(inside<V>(cur[0], cur[1], cur[2]), range);
      I mask = in_a;
      if constexpr (kPair) mask = V::or_(in_a, V::and_(inside<V>(cur[3], cur[4], cur[5]), range));
      if (V::bits(mask)) {
        if constexpr (kRows == 2) shader.shade(xs, y, mask, in_a, second_row);
        else shader.shade(xs, y, mask, in_a);
      }
#pragma GCC unroll 6
      for (int k = 0; k < kEdges; ++k) ev[k] = V::add(ev[k], step_x[k]);
    }
#pragma GCC unroll 6
    for (int k = 0; k < kEdges; ++k) row_e[k] = V::add(row_e[k], step_y[k]);
  }
}

// Any size: each lane's edge values in 64 bits.
template <class V, bool kPair, class Shader, int kEdges>
void scan_wide(const DrawState& st, const Edges<kEdges>& g, Shader& shader) {
  using I = typename V::I;
  constexpr int N = V::N;
  for (int32_t y = g.y0; y <= g.y1; ++y) {
    for (int32_t xc = g.x0; xc <= g.x1; xc += N) {
      int32_t xs = std::min(xc, st.row_width - N);
      Lanes<V> covered[2];
      for (int k = 0; k < N; ++k) {
        int32_t x = xs + k;
        for (int t = 0; t < kEdges / 3; ++t) {
          bool in = x >= xc && x <= g.x1;
          for (int i = 3 * t; i < 3 * t + 3; ++i)
            in = in && g.e[i] + g.ex[i] * (x - g.x0) + g.ey[i] * (y - g.y0) >= 0;
          covered[t].i[k] = in ? -1 : 0;
        }
      }
      I in_a = V::load(covered[0].i);
      I mask = in_a;
      if constexpr (kPair) mask = V::or_(in_a, V::load(covered[1].i));
      if (V::bits(mask)) shader.shade(xs, y, mask, in_a);
    }
  }
}

// Whether two triangles sharing edge 2 cover their box exactly, at one
// depth (into `z`) if depth is tested, with no tile `columns` wide leaving
// the row: true when each of the other edges is >= 0 at the box's four
// corners, and so, being linear, all over it.
inline bool fills_box(const DrawState& st, const Edges<5>& g, const Shading& a, const Shading& b,
                      int tile_columns, uint32_t& z) {
  const int32_t columns = g.x1 - g.x0 + 1;
  if (g.x0 + (columns + tile_columns - 1) / tile_columns * tile_columns > st.row_width) return false;
  const int64_t w = g.x1 - g.x0, h = g.y1 - g.y0;
  for (int k : {0, 1, 3, 4}) {
    const int64_t e = g.e[k], across = g.ex[k] * w, down = g.ey[k] * h;
    if (e < 0 || e + across < 0 || e + down < 0 || e + across + down < 0) return false;
  }
  if (!st.depth_test) return true;
  // z.row(fy) + z.dx * fx is the reference itself (bar the sign of a zero,
  // which the clamp to 0..1 removes) when both steps are zero.
  if (a.z.dx != 0.0f || a.z.dy != 0.0f || b.z.dx != 0.0f || b.z.dy != 0.0f) return false;
  z = depth_value(a.z.ref, PixelFormat::Z16);
  return depth_value(b.z.ref, PixelFormat::Z16) == z;
}

// Scans the union of the triangles' boxes in chunks of N lanes.
template <class V, bool kPair>
void rasterise_any(const DrawState& st, const Shading& sa, const RasterTriangle& ta,
                   const Shading& sb, const RasterTriangle& tb) {
  constexpr int N = V::N;
  constexpr int kEdges = kPair ? 6 : 3;
  if (st.row_width < N) {  // chunks must not leave the row
    rasterise_reference(st, sa, ta);
    if constexpr (kPair) rasterise_reference(st, sb, tb);
    return;
  }
  Edges<kEdges> g;
  g.x0 = ta.x0, g.y0 = ta.y0, g.x1 = ta.x1, g.y1 = ta.y1;
  if constexpr (kPair) {
    g.x0 = std::min(g.x0, tb.x0), g.x1 = std::max(g.x1, tb.x1);
    g.y0 = std::min(g.y0, tb.y0), g.y1 = std::max(g.y1, tb.y1);
  }
  // 32-bit edge values only when they fit over the whole swept box: up to
  // two chunks past it on either side and one row below it.
  bool narrow = true;
  const int64_t width = g.x1 - g.x0 + 4 * N, height = g.y1 - g.y0 + 1;
  for (int k = 0; k < kEdges; ++k) {
    const RasterTriangle& t = k < 3 ? ta : tb;
    g.ex[k] = t.ex[k % 3], g.ey[k] = t.ey[k % 3];
    g.e[k] = t.e[k % 3] + g.ex[k] * (g.x0 - t.x0) + g.ey[k] * (g.y0 - t.y0);
    // The extremes of a linear function over the box are at its corners.
    int64_t corner = g.e[k] - g.ex[k] * (2 * N);
    int64_t across = g.ex[k] * width, down = g.ey[k] * height;
    int64_t lo = corner + std::min<int64_t>(across, 0) + std::min<int64_t>(down, 0);
    int64_t hi = corner + std::max<int64_t>(across, 0) + std::max<int64_t>(down, 0);
    narrow = narrow && lo >= INT32_MIN && hi <= INT32_MAX;
  }
  if (narrow && FastKernel<V, kPair>::eligible(st, sa, sb)) {
    if constexpr (!kPair) {
      FastKernel<V, false>::run(st, g, sa, sb);
      return;
    } else {
      // Neighbours in a strip or fan share an edge, each with its own fill
      // rule offset: one edge function is then the other's complement,
      // -e - 1, at every pixel.
      for (int m = 0; m < 3; ++m)
        for (int k = 3; k < 6; ++k) {
          if (g.ex[k] != -g.ex[m] || g.ey[k] != -g.ey[m] || g.e[k] != -g.e[m] - 1) continue;
          Edges<5> shared;
          shared.x0 = g.x0, shared.y0 = g.y0, shared.x1 = g.x1, shared.y1 = g.y1;
          const int order[5] = {(m + 1) % 3, (m + 2) % 3, m, 3 + (k + 1) % 3, 3 + (k + 2) % 3};
          for (int i = 0; i < 5; ++i)
            shared.e[i] = g.e[order[i]], shared.ex[i] = g.ex[order[i]], shared.ey[i] = g.ey[order[i]];
          uint32_t z = 0;
          if (fills_box(st, shared, sa, sb, FastKernel<V, true>::kCols, z))
            FastKernel<V, true>::run_box(st, shared, sa, sb, z);
          else FastKernel<V, true>::run(st, shared, sa, sb);
          return;
        }
    }
  }
  ChunkShader<V, kPair> shader(st, sa, sb);
  if (narrow) scan_narrow<V, kPair>(st, g, shader);
  else scan_wide<V, kPair>(st, g, shader);
}

template <class V>
void rasterise_vector(const DrawState& st, const Shading& sh, const RasterTriangle& t) {
  rasterise_any<V, false>(st, sh, t, sh, t);
}

template <class V>
void rasterise_vector_pair(const DrawState& st, const Shading& sa, const RasterTriangle& ta,
                           const Shading& sb, const RasterTriangle& tb) {
  rasterise_any<V, true>(st, sa, ta, sb, tb);
}

}  // namespace
}  // namespace zv::raster::detail
