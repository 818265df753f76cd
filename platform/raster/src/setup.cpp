#include "setup.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>

namespace zv::raster::detail {
namespace {

struct Point {
  double x, y;
};

// floor() for values well inside the int64 range, without a library call.
double floor_small(double v) {
  double t = static_cast<double>(static_cast<int64_t>(v));
  return t - static_cast<double>(t > v);  // no branch: signs come in any order
}

// Positions are inside the guard band here.
int64_t snap(double c) { return static_cast<int64_t>(floor_small(c * kSub + 0.5)); }
// The same for a vertex's own float coordinate: c * kSub + 0.5 then lies
// above -2^20 and has no bits below 2^-33 unless it is close to 0.5, so
// adding 2^20 is exact and truncation rounds down.
int64_t snap_float(float c) {
  constexpr double kBias = 1048576.0;
  return static_cast<int64_t>(c * kSub + 0.5 + kBias) - static_cast<int64_t>(kBias);
}
// The last pixel centre strictly before a maximum: a centre exactly on a
// triangle's rightmost or lowest point lies only on right or bottom edges,
// which the fill rule leaves to the neighbours.
int64_t last_pixel_before(int64_t sub) { return (sub - 1) >> kSubBits; }
int64_t ceil_pixel(int64_t sub) { return -((-sub) >> kSubBits); }

// Gradients can blow up on slivers; keep every plane finite so per-pixel
// arithmetic never meets a NaN it did not bring itself.
float finite_float(double v) {
  if (std::isnan(v)) return 0.0f;
  return static_cast<float>(std::clamp(v, -1e30, 1e30));
}

// One Sutherland-Hodgman pass: keeps the side where sign * coordinate <= limit.
int clip_side(const Point* in, int n, Point* out, bool along_x, double sign) {
  auto coord = [&](const Point& p) { return sign * (along_x ? p.x : p.y); };
  int count = 0;
  for (int i = 0; i < n; ++i) {
    const Point& a = in[i];
    const Point& b = in[(i + 1) % n];
    bool a_in = coord(a) <= kGuardBand, b_in = coord(b) <= kGuardBand;
    if (a_in) out[count++] = a;
    if (a_in != b_in) {
      double t = (kGuardBand - coord(a)) / (coord(b) - coord(a));
      Point p{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
      (along_x ? p.x : p.y) = sign * kGuardBand;
      out[count++] = p;
    }
  }
  return count;
}

int clip_to_guard_band(Point* poly, int n) {
  Point scratch[9];
  n = clip_side(poly, n, scratch, true, 1.0);
  n = clip_side(scratch, n, poly, true, -1.0);
  n = clip_side(poly, n, scratch, false, 1.0);
  return clip_side(scratch, n, poly, false, -1.0);
}

// frac(v) as a 32-bit fraction; the period is all that matters for a
// wrapped coordinate and for its steps between whole pixels.
uint32_t period_fraction(double v) {
  // From 2^52 on every double is whole; NaN fails the test as well.
  if (!(std::fabs(v) < 4503599627370496.0)) return 0;
  double f = v - floor_small(v);
  return static_cast<uint32_t>(static_cast<int64_t>(f * 4294967296.0));
}

// period_fraction() of both lanes. Below 2^51 adding and taking away
// 1.5 * 2^52 rounds to a whole number, which the floor corrects; the
// whole number then shows in the low bits of its sum with 2^52.
[[gnu::always_inline]] inline void period_fractions(__m128d v, uint32_t& first, uint32_t& second) {
  const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), v);
  if (_mm_movemask_pd(_mm_cmplt_pd(magnitude, _mm_set1_pd(2251799813685248.0))) != 3) [[unlikely]] {
    alignas(16) double lanes[2];
    _mm_store_pd(lanes, v);
    first = period_fraction(lanes[0]);
    second = period_fraction(lanes[1]);
    return;
  }
  const __m128d round = _mm_set1_pd(6755399441055744.0), one = _mm_set1_pd(1.0);
  auto floor = [&](__m128d x) {
    __m128d r = _mm_sub_pd(_mm_add_pd(x, round), round);
    return _mm_sub_pd(r, _mm_and_pd(_mm_cmpgt_pd(r, x), one));
  };
  __m128d fraction = _mm_mul_pd(_mm_sub_pd(v, floor(v)), _mm_set1_pd(4294967296.0));
  __m128i bits = _mm_castpd_si128(_mm_add_pd(floor(fraction), _mm_set1_pd(4503599627370496.0)));
  first = static_cast<uint32_t>(_mm_cvtsi128_si32(bits));
  second = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(bits, bits)));
}

struct PlaneBuilder {
  Point p0;
  double dx1, dy1, dx2, dy2, area;
  double xref, yref;
  double inv_area = 0.0;

  struct Exact {
    double ref, gx, gy;
  };
  Exact exact(double a0, double a1, double a2) const {
    if (area == 0.0) return {a0, 0.0, 0.0};
    double gx = ((a1 - a0) * dy2 - (a2 - a0) * dy1) * inv_area;
    double gy = ((a2 - a0) * dx1 - (a1 - a0) * dx2) * inv_area;
    return {a0 + gx * (xref - p0.x) + gy * (yref - p0.y), gx, gy};
  }
  Plane operator()(double a0, double a1, double a2) const {
    Exact e = exact(a0, a1, a2);
    return {finite_float(e.ref), finite_float(e.gx), finite_float(e.gy)};
  }
  // The planes of two wrapped coordinates at once, the first in the low
  // lanes: exact() lane by lane, in the same order.
  void wrapped(__m128d a0, __m128d a1, __m128d a2, FixedPlane& first, FixedPlane& second) const {
    __m128d ref = a0, gx = _mm_setzero_pd(), gy = _mm_setzero_pd();
    if (area != 0.0) {
      __m128d d1 = _mm_sub_pd(a1, a0), d2 = _mm_sub_pd(a2, a0), inv = _mm_set1_pd(inv_area);
      gx = _mm_mul_pd(_mm_sub_pd(_mm_mul_pd(d1, _mm_set1_pd(dy2)), _mm_mul_pd(d2, _mm_set1_pd(dy1))), inv);
      gy = _mm_mul_pd(_mm_sub_pd(_mm_mul_pd(d2, _mm_set1_pd(dx1)), _mm_mul_pd(d1, _mm_set1_pd(dx2))), inv);
      ref = _mm_add_pd(_mm_add_pd(a0, _mm_mul_pd(gx, _mm_set1_pd(xref - p0.x))),
                       _mm_mul_pd(gy, _mm_set1_pd(yref - p0.y)));
    }
    period_fractions(ref, first.ref, second.ref);
    period_fractions(gx, first.dx, second.dx);
    period_fractions(gy, first.dy, second.dy);
  }
};

void build_planes(const DrawState& state, const TLVertex* const v[3], const Point p[3],
                  uint32_t flat_color, Shading& sh) {
  PlaneBuilder plane{p[0], p[1].x - p[0].x, p[1].y - p[0].y, p[2].x - p[0].x, p[2].y - p[0].y,
                     0.0, static_cast<double>(sh.xref), static_cast<double>(sh.yref)};
  plane.area = plane.dx1 * plane.dy2 - plane.dx2 * plane.dy1;
  if (!std::isfinite(plane.area)) plane.area = 0.0;
  if (plane.area != 0.0) plane.inv_area = 1.0 / plane.area;

  bool same_color = v[0]->color == v[1]->color && v[1]->color == v[2]->color;
  sh.gouraud = !state.flat && !same_color;
  sh.flat_color = state.flat ? flat_color : v[0]->color;
  sh.perspective = state.perspective_enabled && !(v[0]->rhw == v[1]->rhw && v[1]->rhw == v[2]->rhw) &&
                   (state.textured || sh.gouraud);
  sh.minify = false;

  if (state.depth_test) sh.z = plane(v[0]->sz, v[1]->sz, v[2]->sz);
  double w[3] = {1.0, 1.0, 1.0};
  if (sh.perspective) {
    for (int i = 0; i < 3; ++i) w[i] = v[i]->rhw;
    sh.rhw = plane(w[0], w[1], w[2]);
  }
  sh.wrapped_uv = state.textured && !sh.perspective &&
                  state.magnify.address_u == kAddressWrap && state.magnify.address_v == kAddressWrap;
  if (sh.wrapped_uv) {
    auto uv = [](const TLVertex* p) { return _mm_cvtps_pd(_mm_setr_ps(p->tu, p->tv, 0.0f, 0.0f)); };
    plane.wrapped(uv(v[0]), uv(v[1]), uv(v[2]), sh.su, sh.sv);
  } else if (state.textured) {
    sh.u = plane(v[0]->tu * w[0], v[1]->tu * w[1], v[2]->tu * w[2]);
    sh.v = plane(v[0]->tv * w[0], v[1]->tv * w[1], v[2]->tv * w[2]);
  }
  // Texture area per screen area decides between two different filters.
  if (state.textured && state.minify.linear != state.magnify.linear) {
    double du1 = double(v[1]->tu) - v[0]->tu, dv1 = double(v[1]->tv) - v[0]->tv;
    double du2 = double(v[2]->tu) - v[0]->tu, dv2 = double(v[2]->tv) - v[0]->tv;
    double texels = std::fabs(du1 * dv2 - du2 * dv1) * state.texture.width * state.texture.height;
    sh.minify = texels > std::fabs(plane.area);
  }
  if (sh.gouraud) {
    Plane* channels[4] = {&sh.a, &sh.r, &sh.g, &sh.b};
    for (int c = 0; c < 4; ++c) {
      int shift = 24 - 8 * c;
      double a[3];
      for (int i = 0; i < 3; ++i) a[i] = double((v[i]->color >> shift) & 255) * w[i];
      *channels[c] = plane(a[0], a[1], a[2]);
    }
  }
}

// A clockwise triangle's edge functions at the corner (x0, y0) of its box.
void edge_functions(RasterTriangle& t, const int64_t tx[3], const int64_t ty[3]) {
  for (int i = 0; i < 3; ++i) {
    int j = i == 2 ? 0 : i + 1;
    int64_t dx = tx[j] - tx[i], dy = ty[j] - ty[i];
    // Top-left rule: pixel centres exactly on a top or left edge belong
    // to this triangle, on any other edge to its neighbour.
    bool top_left = dy < 0 || (dy == 0 && dx > 0);
    t.e[i] = dx * (int64_t{t.y0} * kSub - ty[i]) - dy * (int64_t{t.x0} * kSub - tx[i]) -
             (top_left ? 0 : 1);
    t.ex[i] = -dy * kSub;
    t.ey[i] = dx * kSub;
  }
}

// The usual triangle, wholly inside the guard band: no clipping, one raster
// triangle whose box is the triangle's own.
[[gnu::always_inline]] inline int setup_unclipped(const DrawState& state,
                                                   const TLVertex* const v[3],
                                                   uint32_t flat_color, Shading& shading,
                                                   RasterTriangle* out) {
  Point p[3];
  int64_t X[3], Y[3];
  for (int i = 0; i < 3; ++i) {
    p[i] = {v[i]->sx, v[i]->sy};
    X[i] = snap_float(v[i]->sx);
    Y[i] = snap_float(v[i]->sy);
  }
  int64_t twice_area = (X[0] * Y[1] - X[1] * Y[0]) + (X[1] * Y[2] - X[2] * Y[1]) +
                       (X[2] * Y[0] - X[0] * Y[2]);
  if (twice_area == 0) return 0;
  bool clockwise = twice_area > 0;
  if ((state.cull == kCullCW && clockwise) || (state.cull == kCullCCW && !clockwise)) return 0;

  const Rect& clip = state.clip;
  int64_t bx0 = std::max<int64_t>(ceil_pixel(std::min({X[0], X[1], X[2]})), clip.left);
  int64_t bx1 = std::min<int64_t>(last_pixel_before(std::max({X[0], X[1], X[2]})), clip.right - 1);
  int64_t by0 = std::max<int64_t>(ceil_pixel(std::min({Y[0], Y[1], Y[2]})), clip.top);
  int64_t by1 = std::min<int64_t>(last_pixel_before(std::max({Y[0], Y[1], Y[2]})), clip.bottom - 1);
  if (bx0 > bx1 || by0 > by1) return 0;

  shading.clockwise = clockwise;
  shading.xref = static_cast<int32_t>(bx0);
  shading.yref = static_cast<int32_t>(by0);
  build_planes(state, v, p, flat_color, shading);

  RasterTriangle& t = out[0];
  t.x0 = static_cast<int32_t>(bx0);
  t.x1 = static_cast<int32_t>(bx1);
  t.y0 = static_cast<int32_t>(by0);
  t.y1 = static_cast<int32_t>(by1);
  // Clockwise order, so the inside is where e >= 0.
  int a = clockwise ? 1 : 2, b = clockwise ? 2 : 1;
  const int64_t tx[3] = {X[0], X[a], X[b]}, ty[3] = {Y[0], Y[a], Y[b]};
  edge_functions(t, tx, ty);
  return 1;
}

}  // namespace

int setup_triangle(const DrawState& state, const TLVertex& v0, const TLVertex& v1,
                   const TLVertex& v2, uint32_t flat_color, Shading& shading,
                   RasterTriangle* out) {
  const TLVertex* const v[3] = {&v0, &v1, &v2};
  // NaN and infinities fail the test as well.
  bool unclipped = true;
  for (int i = 0; i < 3; ++i)
    unclipped = unclipped && std::fabs(v[i]->sx) <= kGuardBand && std::fabs(v[i]->sy) <= kGuardBand;
  if (unclipped) return setup_unclipped(state, v, flat_color, shading, out);

  Point original[3];
  Point poly[9];
  int n = 3;
  bool inside_guard_band = true;
  for (int i = 0; i < 3; ++i) {
    if (!std::isfinite(v[i]->sx) || !std::isfinite(v[i]->sy)) return 0;
    original[i] = poly[i] = {v[i]->sx, v[i]->sy};
    if (std::fabs(poly[i].x) > kGuardBand || std::fabs(poly[i].y) > kGuardBand)
      inside_guard_band = false;
  }
  if (!inside_guard_band) {
    n = clip_to_guard_band(poly, n);
    if (n < 3) return 0;
  }

  int64_t X[9], Y[9];
  int64_t min_x = INT64_MAX, max_x = INT64_MIN, min_y = INT64_MAX, max_y = INT64_MIN;
  for (int i = 0; i < n; ++i) {
    X[i] = snap(poly[i].x);
    Y[i] = snap(poly[i].y);
    min_x = std::min(min_x, X[i]);
    max_x = std::max(max_x, X[i]);
    min_y = std::min(min_y, Y[i]);
    max_y = std::max(max_y, Y[i]);
  }
  int64_t twice_area = 0;
  for (int i = 0; i < n; ++i) {
    int j = i + 1 == n ? 0 : i + 1;
    twice_area += X[i] * Y[j] - X[j] * Y[i];
  }
  if (twice_area == 0) return 0;
  // y grows downward, so a positive area runs clockwise on the screen.
  bool clockwise = twice_area > 0;
  if ((state.cull == kCullCW && clockwise) || (state.cull == kCullCCW && !clockwise)) return 0;

  const Rect& clip = state.clip;
  int64_t bx0 = std::max<int64_t>(ceil_pixel(min_x), clip.left);
  int64_t bx1 = std::min<int64_t>(last_pixel_before(max_x), clip.right - 1);
  int64_t by0 = std::max<int64_t>(ceil_pixel(min_y), clip.top);
  int64_t by1 = std::min<int64_t>(last_pixel_before(max_y), clip.bottom - 1);
  if (bx0 > bx1 || by0 > by1) return 0;

  shading.clockwise = clockwise;
  shading.xref = static_cast<int32_t>(bx0);
  shading.yref = static_cast<int32_t>(by0);
  build_planes(state, v, original, flat_color, shading);

  int count = 0;
  for (int k = 1; k + 1 < n; ++k) {
    // Clockwise order for every triangle, so the inside is where e >= 0.
    int idx[3] = {0, clockwise ? k : k + 1, clockwise ? k + 1 : k};
    int64_t tx[3], ty[3];
    for (int i = 0; i < 3; ++i) tx[i] = X[idx[i]], ty[i] = Y[idx[i]];
    if ((tx[1] - tx[0]) * (ty[2] - ty[0]) - (tx[2] - tx[0]) * (ty[1] - ty[0]) <= 0) continue;

    RasterTriangle& t = out[count];
    t.x0 = static_cast<int32_t>(std::max<int64_t>(ceil_pixel(std::min({tx[0], tx[1], tx[2]})), bx0));
    t.x1 = static_cast<int32_t>(std::min<int64_t>(last_pixel_before(std::max({tx[0], tx[1], tx[2]})), bx1));
    t.y0 = static_cast<int32_t>(std::max<int64_t>(ceil_pixel(std::min({ty[0], ty[1], ty[2]})), by0));
    t.y1 = static_cast<int32_t>(std::min<int64_t>(last_pixel_before(std::max({ty[0], ty[1], ty[2]})), by1));
    if (t.x0 > t.x1 || t.y0 > t.y1) continue;
    edge_functions(t, tx, ty);
    ++count;
  }
  return count;
}

}  // namespace zv::raster::detail
