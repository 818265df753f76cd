// Triangle setup, shared by every backend: snapping to the sub-pixel grid,
// culling, clipping to the guard band, edge functions with the top-left fill
// rule, and the attribute planes the shading stage evaluates.
#pragma once

#include <cstdint>

#include "pixel.h"
#include "zv/raster.h"

namespace zv::raster::detail {

// Render states decoded once per draw call.
struct DrawState {
  TargetView target;
  Rect clip;  // inside every surface in use
  int32_t row_width;  // of the narrowest surface in use
  bool depth_test;
  bool depth_write;
  uint32_t depth_func;
  uint8_t* depth_pixels;
  int32_t depth_pitch;
  PixelFormat depth_format;
  uint32_t cull;
  bool flat;
  bool perspective_enabled;
  bool textured;
  TextureView texture;
  SamplerState magnify, minify;
  uint32_t texture_blend;
  bool blend;
  uint32_t src_blend, dst_blend;
};

// a(x, y) = ref + dx * (x - xref) + dy * (y - yref), rows first.
struct Plane {
  float ref = 0, dx = 0, dy = 0;
  float row(float fy) const { return ref + dy * fy; }
  float at(float fx, float fy) const { return row(fy) + dx * fx; }
};

// The same for a coordinate that wraps, as a 32-bit fraction of its period:
// modular arithmetic, exact in any order and however far it drifts.
struct FixedPlane {
  uint32_t ref = 0, dx = 0, dy = 0;
  uint32_t row(int32_t fy) const { return ref + dy * static_cast<uint32_t>(fy); }
  uint32_t at(int32_t fx, int32_t fy) const { return row(fy) + dx * static_cast<uint32_t>(fx); }
};

// Attribute planes of one submitted triangle. With `perspective` the colour
// and texture planes hold attribute * rhw and are divided by `rhw` per pixel.
struct Shading {
  int32_t xref, yref;
  bool clockwise;  // on screen
  bool perspective;
  bool gouraud;
  bool minify;
  bool wrapped_uv;  // affine with both axes wrapping: texture coordinates in su, sv
  uint32_t flat_color;
  Plane z, rhw, u, v, a, r, g, b;
  FixedPlane su, sv;
};

// Sub-pixel precision of the snapped vertices.
constexpr int kSubBits = 4;
constexpr int64_t kSub = 1 << kSubBits;
// Vertices beyond this many pixels from the origin are clipped geometrically
// first, so edge products stay far inside 64 bits.
constexpr double kGuardBand = 16384.0;

// One triangle ready to scan: a pixel (x, y) of the box is covered when all
// three e[i] + ex[i] * (x - x0) + ey[i] * (y - y0) are >= 0.
struct RasterTriangle {
  int32_t x0, y0, x1, y1;  // inclusive, inside the clip rectangle
  int64_t e[3], ex[3], ey[3];
};

// A guard-band clip of a triangle gives a polygon of at most 7 vertices.
constexpr int kMaxRasterTriangles = 5;

// Sets up one triangle; `flat_color` is its provoking vertex's colour.
// Returns how many raster triangles cover it (0: culled, degenerate, outside
// or unusable), all sharing `shading`.
int setup_triangle(const DrawState& state, const TLVertex& v0, const TLVertex& v1,
                   const TLVertex& v2, uint32_t flat_color, Shading& shading,
                   RasterTriangle* out);

}  // namespace zv::raster::detail
