#include <algorithm>

#include "zv/raster.h"

namespace zv::raster {

int bytes_per_pixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::Pal8: return 1;
    case PixelFormat::RGB565:
    case PixelFormat::XRGB1555:
    case PixelFormat::ARGB1555:
    case PixelFormat::Z16: return 2;
    case PixelFormat::RGB888: return 3;
    default: return 4;
  }
}

Palette::Palette() { argb_.fill(0xFF000000u); }

void Palette::set_entries(uint32_t first, const PaletteEntry* entries, uint32_t count) {
  for (uint32_t i = 0; i < count && first + i < 256; ++i) {
    const PaletteEntry& e = entries[i];
    argb_[first + i] = 0xFF000000u | uint32_t(e.r) << 16 | uint32_t(e.g) << 8 | e.b;
  }
  inverse_ready_ = false;
}

namespace {

constexpr int kCellBits = 4;
constexpr int kCellsPerAxis = 1 << kCellBits;
constexpr int kCellSize = 256 / kCellsPerAxis;

int channel(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 255); }

int distance2(uint32_t a, uint32_t b) {
  int d = 0;
  for (int s = 0; s < 24; s += 8) {
    int c = channel(a, s) - channel(b, s);
    d += c * c;
  }
  return d;
}

}  // namespace

// For every cell of a coarse colour grid, keep the entries whose nearest
// possible distance to the cell is within the smallest farthest distance of
// any entry: the true nearest colour of any point of the cell is among them.
void Palette::build_inverse() const {
  cells_.assign(kCellsPerAxis * kCellsPerAxis * kCellsPerAxis, 0);
  candidates_.clear();
  int near[256], far[256];
  for (int cell = 0; cell < static_cast<int>(cells_.size()); ++cell) {
    int lo[3] = {(cell >> (2 * kCellBits)) * kCellSize, ((cell >> kCellBits) & 15) * kCellSize,
                 (cell & 15) * kCellSize};
    int threshold = INT32_MAX;
    for (int e = 0; e < 256; ++e) {
      int v[3] = {channel(argb_[e], 16), channel(argb_[e], 8), channel(argb_[e], 0)};
      near[e] = far[e] = 0;
      for (int k = 0; k < 3; ++k) {
        int hi = lo[k] + kCellSize - 1;
        int dn = v[k] < lo[k] ? lo[k] - v[k] : (v[k] > hi ? v[k] - hi : 0);
        int df = std::max(v[k] - lo[k], hi - v[k]);
        near[e] += dn * dn;
        far[e] += df * df;
      }
      threshold = std::min(threshold, far[e]);
    }
    uint32_t offset = static_cast<uint32_t>(candidates_.size());
    for (int e = 0; e < 256; ++e)
      if (near[e] <= threshold) candidates_.push_back(static_cast<uint8_t>(e));
    cells_[cell] = offset << 12 | (static_cast<uint32_t>(candidates_.size()) - offset);
  }
  inverse_ready_ = true;
}

uint8_t Palette::nearest(uint32_t rgb) const {
  if (!inverse_ready_) build_inverse();
  uint32_t cell = ((rgb >> 20) & 15) << 8 | ((rgb >> 12) & 15) << 4 | ((rgb >> 4) & 15);
  uint32_t offset = cells_[cell] >> 12, count = cells_[cell] & 0xFFF;
  uint8_t best = candidates_[offset];
  int best_d = distance2(argb_[best], rgb);
  for (uint32_t i = 1; i < count; ++i) {
    uint8_t e = candidates_[offset + i];
    int d = distance2(argb_[e], rgb);
    if (d < best_d) best = e, best_d = d;
  }
  return best;
}

}  // namespace zv::raster
