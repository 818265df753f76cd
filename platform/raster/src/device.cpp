#include <algorithm>
#include <cstring>

#include "backend.h"
#include "zv/raster.h"

namespace zv::raster {

using namespace detail;

namespace detail {

// A set-up triangle, possibly waiting for its neighbour.
struct SetUp {
  Shading shading;
  RasterTriangle tris[kMaxRasterTriangles];
  int count = 0;
};

struct DrawContext {
  DrawState state;
  // False when nothing can be drawn: no usable target, or nothing left of
  // the viewport.
  bool drawable = false;
  SetUp set_up[2];
};

}  // namespace detail

Backend best_vector_backend() {
  return __builtin_cpu_supports("avx2") ? Backend::Avx2 : Backend::Sse2;
}

namespace {

bool is_target_format(PixelFormat f) {
  return f == PixelFormat::XRGB8888 || f == PixelFormat::RGB565 || f == PixelFormat::XRGB1555 ||
         f == PixelFormat::Pal8;
}
bool is_depth_format(PixelFormat f) { return f == PixelFormat::Z16 || f == PixelFormat::Z32; }

// Rows must not overlap; bottom-up surfaces (negative pitch) are fine.
bool usable(const Surface& s) {
  int64_t row_bytes = int64_t{s.width} * bytes_per_pixel(s.format);
  int64_t pitch = s.pitch < 0 ? -int64_t{s.pitch} : s.pitch;
  return s.pixels && s.width > 0 && s.height > 0 && pitch >= row_bytes;
}

Rect intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}
bool empty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }
Rect bounds(const Surface& s) { return {0, 0, s.width, s.height}; }

bool is_linear(uint32_t filter) {
  return filter == kFilterLinear || filter == 5 || filter == 6;  // the LINEARMIP* modes
}
uint32_t address_mode(uint32_t value) {
  if (value == kAddressWrap || value == kAddressMirror || value == kAddressClamp) return value;
  return value == 4 ? kAddressClamp : kAddressWrap;  // BORDER: nearest thing we have
}

// Very large textures would overflow the 8-bit sub-texel fixed point.
constexpr int32_t kMaxTextureSize = 32768;

bool usable_texture(const Texture* t) {
  if (!t || !usable(t->surface) || is_depth_format(t->surface.format)) return false;
  if (t->surface.width > kMaxTextureSize || t->surface.height > kMaxTextureSize) return false;
  // Texel offsets are 32-bit in the vectorised backends.
  int64_t pitch = t->surface.pitch < 0 ? -int64_t{t->surface.pitch} : t->surface.pitch;
  if (pitch * t->surface.height > INT32_MAX) return false;
  return t->surface.format != PixelFormat::Pal8 || t->palette;
}

}  // namespace

Device::Device(Backend backend, const Surface& target, Palette* target_palette,
               const Surface* depth)
    : backend_(backend), context_(std::make_unique<DrawContext>()) {
  if (backend_ == Backend::Avx2 && !__builtin_cpu_supports("avx2")) backend_ = Backend::Sse2;
  set_render_target(target, target_palette);
  set_depth_buffer(depth);
  states_[kTextureAddress] = states_[kTextureAddressU] = states_[kTextureAddressV] = kAddressWrap;
  states_[kTexturePerspective] = 1;
  states_[kZEnable] = depth ? 1 : 0;
  states_[8] = 3;  // FILLMODE: solid
  states_[kShadeMode] = kShadeGouraud;
  states_[12] = 13;  // ROP2: copy pen
  states_[13] = 0xFFFFFFFFu;  // PLANEMASK
  states_[kZWriteEnable] = 1;
  states_[16] = 1;  // LASTPIXEL
  states_[kTextureMag] = states_[kTextureMin] = kFilterNearest;
  states_[kSrcBlend] = kBlendOne;
  states_[kDestBlend] = kBlendZero;
  states_[kTextureMapBlend] = kTexBlendModulate;
  states_[kCullMode] = kCullCCW;
  states_[kZFunc] = kCmpLessEqual;
  states_[25] = kCmpAlways;  // ALPHAFUNC
}

Device::~Device() = default;

void Device::set_render_target(const Surface& target, Palette* target_palette) {
  target_ = target;
  target_palette_ = target_palette;
  viewport_ = bounds(target);
  decoded_ = false;
}

void Device::set_depth_buffer(const Surface* depth) {
  has_depth_ = depth != nullptr;
  depth_ = depth ? *depth : Surface{};
  decoded_ = false;
}

void Device::set_viewport(const Rect& viewport) {
  viewport_ = viewport;
  decoded_ = false;
}

// The description behind the same pointer is compared at every draw.
void Device::set_texture(const Texture* texture) {
  if (texture != texture_) decoded_ = false;
  texture_ = texture;
}

bool Device::set_render_state(uint32_t state, uint32_t value) {
  if (state >= kRenderStateCount) return false;
  decoded_ = false;
  states_[state] = value;
  if (state == kTextureAddress) states_[kTextureAddressU] = states_[kTextureAddressV] = value;
  return true;
}

uint32_t Device::render_state(uint32_t state) const {
  return state < kRenderStateCount ? states_[state] : 0;
}

namespace {

bool target_usable(const Surface& target, const Palette* palette) {
  return usable(target) && is_target_format(target.format) &&
         (target.format != PixelFormat::Pal8 || palette);
}

TargetView target_view(const Surface& s, const Palette* palette) {
  return {static_cast<uint8_t*>(s.pixels), s.pitch, s.width, s.height, s.format, palette};
}

// One row is filled pixel by pixel, the others are copies of it: memcpy is
// far faster than a loop of pixel stores.
template <typename T>
void fill_rows(const Surface& s, const Rect& r, T value) {
  auto row = [&](int32_t y) {
    return static_cast<uint8_t*>(s.pixels) + static_cast<ptrdiff_t>(y) * s.pitch +
           static_cast<ptrdiff_t>(r.left) * sizeof(T);
  };
  size_t bytes = static_cast<size_t>(r.right - r.left) * sizeof(T);
  uint8_t* first = row(r.top);
  for (size_t i = 0; i < bytes; i += sizeof(T)) std::memcpy(first + i, &value, sizeof(T));
  for (int32_t y = r.top + 1; y < r.bottom; ++y) std::memcpy(row(y), first, bytes);
}

void fill(const Surface& s, const Rect& area, uint32_t value) {
  Rect r = intersect(area, bounds(s));
  if (empty(r)) return;
  switch (bytes_per_pixel(s.format)) {
    case 1: fill_rows<uint8_t>(s, r, static_cast<uint8_t>(value)); break;
    case 2: fill_rows<uint16_t>(s, r, static_cast<uint16_t>(value)); break;
    default: fill_rows<uint32_t>(s, r, value); break;
  }
}

}  // namespace

void Device::clear(const Rect& area, uint32_t flags, uint32_t argb, float z) {
  if ((flags & kClearTarget) && target_usable(target_, target_palette_)) {
    uint8_t pixel[4] = {};
    TargetView view = target_view(target_, target_palette_);
    write_target(view, pixel, argb);
    fill(target_, area, load32(pixel));
  }
  if ((flags & kClearZBuffer) && has_depth_ && usable(depth_) && is_depth_format(depth_.format))
    fill(depth_, area, depth_value(z, depth_.format));
}

namespace {

bool same_description(const Texture& a, const Texture& b) {
  return a.surface.pixels == b.surface.pixels && a.surface.pitch == b.surface.pitch &&
         a.surface.width == b.surface.width && a.surface.height == b.surface.height &&
         a.surface.format == b.surface.format && a.palette == b.palette;
}

}  // namespace

void Device::decode() {
  decoded_ = true;
  decoded_texture_ = texture_ ? *texture_ : Texture{};
  DrawContext& c = *context_;
  c.drawable = false;
  if (!target_usable(target_, target_palette_)) return;

  DrawState& st = c.state;
  st = DrawState{};
  st.target = target_view(target_, target_palette_);
  st.clip = intersect(viewport_, bounds(target_));
  st.row_width = target_.width;
  st.depth_test = states_[kZEnable] != 0 && has_depth_ && usable(depth_) &&
                  is_depth_format(depth_.format);
  if (st.depth_test) {
    st.clip = intersect(st.clip, bounds(depth_));
    st.row_width = std::min(st.row_width, depth_.width);
    st.depth_write = states_[kZWriteEnable] != 0;
    st.depth_func = states_[kZFunc];
    st.depth_pixels = static_cast<uint8_t*>(depth_.pixels);
    st.depth_pitch = depth_.pitch;
    st.depth_format = depth_.format;
  }
  if (empty(st.clip)) return;
  st.cull = states_[kCullMode];
  st.flat = states_[kShadeMode] == kShadeFlat;
  st.textured = usable_texture(texture_);
  if (st.textured) {
    const Surface& s = texture_->surface;
    st.texture = {static_cast<const uint8_t*>(s.pixels), s.pitch, s.width, s.height, s.format,
                  s.format == PixelFormat::Pal8 ? texture_->palette->argb() : nullptr,
                  s.format == PixelFormat::ARGB8888 || s.format == PixelFormat::ARGB1555,
                  static_cast<float>(s.width * 256), static_cast<float>(s.height * 256)};
    uint32_t u = address_mode(states_[kTextureAddressU]);
    uint32_t w = address_mode(states_[kTextureAddressV]);
    st.magnify = {is_linear(states_[kTextureMag]), u, w};
    st.minify = {is_linear(states_[kTextureMin]), u, w};
    uint32_t mode = states_[kTextureMapBlend];
    st.texture_blend = mode >= kTexBlendDecal && mode <= kTexBlendCopy ? mode : kTexBlendModulate;
  }
  st.perspective_enabled = states_[kTexturePerspective] != 0;
  st.src_blend = states_[kSrcBlend];
  st.dst_blend = states_[kDestBlend];
  if (st.src_blend == kBlendBothSrcAlpha) st.src_blend = kBlendSrcAlpha, st.dst_blend = kBlendInvSrcAlpha;
  if (st.src_blend == kBlendBothInvSrcAlpha) st.src_blend = kBlendInvSrcAlpha, st.dst_blend = kBlendSrcAlpha;
  // ONE/ZERO is the source exactly; skip reading the target for it.
  st.blend = states_[kAlphaBlendEnable] != 0 &&
             !(st.src_blend == kBlendOne && st.dst_blend == kBlendZero);
  c.drawable = true;
}

bool Device::draw(uint32_t primitive, const TLVertex* v, size_t count) {
  if (primitive != kTriangleList && primitive != kTriangleStrip && primitive != kTriangleFan)
    return false;
  if (!v) return false;
  if (!decoded_ || (texture_ && !same_description(*texture_, decoded_texture_))) decode();
  if (!context_->drawable) return true;
  const DrawState& st = context_->state;

  RasteriseFn rasterise = rasterise_reference;
  RasterisePairFn rasterise_pair = nullptr;
  if (backend_ == Backend::Avx2) rasterise = rasterise_avx2, rasterise_pair = rasterise_pair_avx2;
  if (backend_ == Backend::Sse2) rasterise = rasterise_sse2, rasterise_pair = rasterise_pair_sse2;

  // Neighbours in a fan or strip share an edge; with the same winding they
  // lie on opposite sides of it, and the vectorised backends scan the two
  // together. A triangle waits here for its possible partner.
  SetUp* const set_up = context_->set_up;
  SetUp* pending = nullptr;
  auto flush = [&] {
    if (pending)
      for (int i = 0; i < pending->count; ++i) rasterise(st, pending->shading, pending->tris[i]);
    pending = nullptr;
  };
  bool pairs = rasterise_pair && primitive != kTriangleList;
  auto triangle = [&](const TLVertex& a, const TLVertex& b, const TLVertex& c, uint32_t flat) {
    SetUp& cur = pending == &set_up[0] ? set_up[1] : set_up[0];
    cur.count = setup_triangle(st, a, b, c, flat, cur.shading, cur.tris);
    if (pending && pending->count == 1 && cur.count == 1) {
      const Shading &p = pending->shading, &q = cur.shading;
      if (p.clockwise == q.clockwise && p.perspective == q.perspective &&
          p.gouraud == q.gouraud && p.minify == q.minify) {
        rasterise_pair(st, p, pending->tris[0], q, cur.tris[0]);
        pending = nullptr;
        return;
      }
    }
    flush();
    if (pairs && cur.count == 1) pending = &cur;
    else for (int i = 0; i < cur.count; ++i) rasterise(st, cur.shading, cur.tris[i]);
  };
  // The provoking vertex of each triangle, whose colour flat shading uses,
  // is its first one in the order the primitive defines.
  for (size_t i = 0; i + 2 < count;) {
    switch (primitive) {
      case kTriangleList:
        triangle(v[i], v[i + 1], v[i + 2], v[i].color);
        i += 3;
        break;
      case kTriangleStrip:
        if (i % 2 == 0) triangle(v[i], v[i + 1], v[i + 2], v[i].color);
        else triangle(v[i + 1], v[i], v[i + 2], v[i].color);
        ++i;
        break;
      default:
        triangle(v[0], v[i + 1], v[i + 2], v[i + 1].color);
        ++i;
        break;
    }
  }
  flush();
  return true;
}

}  // namespace zv::raster
