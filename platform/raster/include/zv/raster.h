// Software rasteriser behind the Direct3D devices: transformed-and-lit
// triangles into a locked surface, with the D3D5 render states.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zv::raster {

// Layout-identical to D3DTLVERTEX, so application vertex arrays pass unchanged.
struct TLVertex {
  float sx, sy, sz, rhw;
  uint32_t color;     // 0xAARRGGBB diffuse
  uint32_t specular;  // 0xAARRGGBB
  float tu, tv;
};
static_assert(sizeof(TLVertex) == 32);

enum class PixelFormat : uint8_t {
  XRGB8888,  // target or texture
  ARGB8888,  // texture
  RGB888,    // texture, bytes B, G, R
  RGB565,    // target or texture
  XRGB1555,  // target or texture
  ARGB1555,  // texture, one bit of alpha
  Pal8,      // target or texture, through a Palette
  Z16,       // depth
  Z32,       // depth
};

int bytes_per_pixel(PixelFormat format);

// A locked surface; the memory stays owned by the caller.
struct Surface {
  void* pixels = nullptr;
  int32_t pitch = 0;  // bytes from one row to the next
  int32_t width = 0;
  int32_t height = 0;
  PixelFormat format = PixelFormat::XRGB8888;
};

struct PaletteEntry {
  uint8_t r, g, b, flags;
};
static_assert(sizeof(PaletteEntry) == 4);

// 256 colours. Writing into a palettised target needs the entry nearest to an
// arbitrary colour; the lookup structure for that is built once per change of
// the entries, on first use, never per pixel.
class Palette {
 public:
  Palette();
  void set_entries(uint32_t first, const PaletteEntry* entries, uint32_t count);
  const uint32_t* argb() const { return argb_.data(); }  // 0xFFRRGGBB each
  // Index of the entry closest to 0x..RRGGBB (squared RGB distance, lowest
  // index on ties). Not thread-safe: the first call after a change builds the
  // lookup table.
  uint8_t nearest(uint32_t rgb) const;

 private:
  void build_inverse() const;
  std::array<uint32_t, 256> argb_;
  mutable bool inverse_ready_ = false;
  // Per 16x16x16 colour cell: offset (high 20 bits) and count (low 12) of
  // the entries that can be nearest to some colour of the cell.
  mutable std::vector<uint32_t> cells_;
  mutable std::vector<uint8_t> candidates_;
};

struct Texture {
  Surface surface;                  // any format but Z16/Z32
  const Palette* palette = nullptr;  // required for Pal8
};

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // right/bottom exclusive
};

// Render states by their D3D5 numbers; values as D3D5 defines them.
enum RenderState : uint32_t {
  kTextureHandle = 1,
  kTextureAddress = 3,  // sets both of kTextureAddressU/V
  kTexturePerspective = 4,
  kZEnable = 7,
  kShadeMode = 9,
  kZWriteEnable = 14,
  kTextureMag = 17,
  kTextureMin = 18,
  kSrcBlend = 19,
  kDestBlend = 20,
  kTextureMapBlend = 21,
  kCullMode = 22,
  kZFunc = 23,
  kAlphaBlendEnable = 27,
  kTextureAddressU = 44,
  kTextureAddressV = 45,
  kRenderStateCount = 96,
};

enum Cull : uint32_t { kCullNone = 1, kCullCW = 2, kCullCCW = 3 };
enum Cmp : uint32_t {
  kCmpNever = 1, kCmpLess, kCmpEqual, kCmpLessEqual,
  kCmpGreater, kCmpNotEqual, kCmpGreaterEqual, kCmpAlways,
};
enum Blend : uint32_t {
  kBlendZero = 1, kBlendOne, kBlendSrcColor, kBlendInvSrcColor,
  kBlendSrcAlpha, kBlendInvSrcAlpha, kBlendDestAlpha, kBlendInvDestAlpha,
  kBlendDestColor, kBlendInvDestColor, kBlendSrcAlphaSat,
  kBlendBothSrcAlpha, kBlendBothInvSrcAlpha,
};
enum Shade : uint32_t { kShadeFlat = 1, kShadeGouraud = 2 };
enum Filter : uint32_t { kFilterNearest = 1, kFilterLinear = 2 };
enum Address : uint32_t { kAddressWrap = 1, kAddressMirror = 2, kAddressClamp = 3 };
enum TextureBlend : uint32_t {
  kTexBlendDecal = 1, kTexBlendModulate, kTexBlendDecalAlpha,
  kTexBlendModulateAlpha, kTexBlendDecalMask, kTexBlendModulateMask, kTexBlendCopy,
};
enum Primitive : uint32_t { kTriangleList = 4, kTriangleStrip = 5, kTriangleFan = 6 };
enum ClearFlags : uint32_t { kClearTarget = 1, kClearZBuffer = 2 };

enum class Backend : uint8_t {
  Reference,  // portable scalar code, the definition of every pixel
  Sse2,       // vectorised, byte-identical to Reference
  Avx2,       // vectorised, byte-identical to Reference
};

// The widest vectorised backend this CPU runs.
Backend best_vector_backend();

namespace detail {
struct DrawContext;
}

class Device {
 public:
  // ZENABLE starts TRUE when a depth buffer is given, as on a surface with an
  // attached Z buffer; TEXTUREPERSPECTIVE starts TRUE. Every other state
  // starts at its D3D5 default. An Avx2 request on a CPU without AVX2 runs
  // Sse2. The surfaces are described by value; their pixels stay the caller's.
  Device(Backend backend, const Surface& target, Palette* target_palette = nullptr,
         const Surface* depth = nullptr);
  ~Device();
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  Backend backend() const { return backend_; }

  // Also resets the viewport to the whole target.
  void set_render_target(const Surface& target, Palette* target_palette = nullptr);
  void set_depth_buffer(const Surface* depth);  // nullptr detaches
  // Drawing is limited to this rectangle (and to the surfaces).
  void set_viewport(const Rect& viewport);
  // The texture must stay alive while it is current; its description and
  // pixels are read afresh by every draw. nullptr: no texture (diffuse only).
  void set_texture(const Texture* texture);

  // Unknown states (>= kRenderStateCount) are refused with false.
  bool set_render_state(uint32_t state, uint32_t value);
  uint32_t render_state(uint32_t state) const;

  // Fills `area` (clipped to the surfaces, not to the viewport) of the target
  // with `argb` and/or of the depth buffer with `z` (0..1).
  void clear(const Rect& area, uint32_t flags, uint32_t argb, float z);

  // false for an unknown primitive type or a null array; too few vertices
  // draw nothing.
  bool draw(uint32_t primitive, const TLVertex* vertices, size_t count);

 private:
  // Works out what draw() needs of the surfaces, the viewport, the texture
  // and the states; kept until one of them changes.
  void decode();

  Backend backend_;
  Surface target_{};
  Palette* target_palette_ = nullptr;
  Surface depth_{};
  bool has_depth_ = false;
  Rect viewport_{};
  const Texture* texture_ = nullptr;
  std::array<uint32_t, kRenderStateCount> states_{};
  std::unique_ptr<detail::DrawContext> context_;
  bool decoded_ = false;
  // The texture's description when it was decoded: the caller may change
  // it between draws.
  Texture decoded_texture_{};
};

}  // namespace zv::raster
