#include "backend.h"

namespace zv::raster::detail {
namespace {

void shade_pixel(const DrawState& st, const Shading& sh, const SamplerState& sampler, int32_t x,
                 int32_t y, float fx, float fy) {
  uint8_t* depth = nullptr;
  uint32_t z = 0;
  if (st.depth_test) {
    int zbpp = st.depth_format == PixelFormat::Z16 ? 2 : 4;
    depth = st.depth_pixels + static_cast<ptrdiff_t>(y) * st.depth_pitch +
            static_cast<ptrdiff_t>(x) * zbpp;
    z = depth_value(sh.z.at(fx, fy), st.depth_format);
    uint32_t stored = zbpp == 2 ? load16(depth) : load32(depth);
    if (!depth_pass(st.depth_func, z, stored)) return;
  }

  float inv_w = 1.0f;
  if (sh.perspective) inv_w = 1.0f / max_ps(sh.rhw.at(fx, fy), kMinRhw);
  uint32_t color = sh.flat_color;
  if (sh.gouraud) {
    color = channel_byte(sh.a.at(fx, fy) * inv_w) << 24 |
            channel_byte(sh.r.at(fx, fy) * inv_w) << 16 |
            channel_byte(sh.g.at(fx, fy) * inv_w) << 8 | channel_byte(sh.b.at(fx, fy) * inv_w);
  }
  if (st.textured) {
    uint32_t texel;
    if (sh.wrapped_uv) {
      int32_t dx = x - sh.xref, dy = y - sh.yref;
      texel = sample_wrapped(st.texture, sampler.linear, sh.su.at(dx, dy), sh.sv.at(dx, dy));
    } else {
      float u = sh.u.at(fx, fy), v = sh.v.at(fx, fy);
      if (sh.perspective) u *= inv_w, v *= inv_w;
      texel = sample(st.texture, sampler, u, v);
    }
    color = texture_blend(st.texture_blend, texel, color, st.texture.has_alpha);
  }

  int bpp = bytes_per_pixel(st.target.format);
  uint8_t* p = pixel_address(st.target, x, y, bpp);
  if (st.blend) color = blend(color, read_target(st.target, p), st.src_blend, st.dst_blend);
  write_target(st.target, p, color);
  if (depth && st.depth_write) {
    if (st.depth_format == PixelFormat::Z16) store16(depth, z);
    else store32(depth, z);
  }
}

}  // namespace

void rasterise_reference(const DrawState& st, const Shading& sh, const RasterTriangle& t) {
  const SamplerState& sampler = sh.minify ? st.minify : st.magnify;
  int64_t row[3] = {t.e[0], t.e[1], t.e[2]};
  for (int32_t y = t.y0; y <= t.y1; ++y) {
    int64_t e[3] = {row[0], row[1], row[2]};
    float fy = static_cast<float>(y - sh.yref);
    for (int32_t x = t.x0; x <= t.x1; ++x) {
      if ((e[0] | e[1] | e[2]) >= 0)
        shade_pixel(st, sh, sampler, x, y, static_cast<float>(x - sh.xref), fy);
      for (int i = 0; i < 3; ++i) e[i] += t.ex[i];
    }
    for (int i = 0; i < 3; ++i) row[i] += t.ey[i];
  }
}

}  // namespace zv::raster::detail
