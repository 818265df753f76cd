// The rasterise-and-shade stage, one implementation per backend. Each scans
// the covered pixels of one set-up triangle and shades them in place.
#pragma once

#include "setup.h"

namespace zv::raster::detail {

using RasteriseFn = void (*)(const DrawState&, const Shading&, const RasterTriangle&);

void rasterise_reference(const DrawState& state, const Shading& shading, const RasterTriangle& tri);
void rasterise_sse2(const DrawState& state, const Shading& shading, const RasterTriangle& tri);
void rasterise_avx2(const DrawState& state, const Shading& shading, const RasterTriangle& tri);

}  // namespace zv::raster::detail
