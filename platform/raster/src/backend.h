// The rasterise-and-shade stage, one implementation per backend. Each scans
// the covered pixels of one set-up triangle and shades them in place.
#pragma once

#include "setup.h"

namespace zv::raster::detail {

using RasteriseFn = void (*)(const DrawState&, const Shading&, const RasterTriangle&);
// Two triangles whose coverage cannot overlap (neighbours across a shared
// edge, same winding), so it does not matter which is shaded first.
using RasterisePairFn = void (*)(const DrawState&, const Shading&, const RasterTriangle&,
                                 const Shading&, const RasterTriangle&);

void rasterise_reference(const DrawState& state, const Shading& shading, const RasterTriangle& tri);
void rasterise_sse2(const DrawState& state, const Shading& shading, const RasterTriangle& tri);
void rasterise_avx2(const DrawState& state, const Shading& shading, const RasterTriangle& tri);
void rasterise_pair_sse2(const DrawState& state, const Shading& a, const RasterTriangle& ta,
                         const Shading& b, const RasterTriangle& tb);
void rasterise_pair_avx2(const DrawState& state, const Shading& a, const RasterTriangle& ta,
                         const Shading& b, const RasterTriangle& tb);

}  // namespace zv::raster::detail
