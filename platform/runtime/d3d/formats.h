// How surfaces of the module look to the rasteriser, and the texture formats
// the devices sample.
#pragma once

#include <platform/ddraw.h>

#include "ddraw/palette.h"
#include "ddraw/pixel_format.h"
#include "ddraw/surface.h"

#include <zv/raster.h>

#include <cstdint>
#include <optional>
#include <span>

namespace zv::d3d {

// The rasteriser's name for a surface format; nothing for the formats it
// neither reads nor writes (3-3-2, blue-first).
std::optional<raster::PixelFormat> RasterFormat(const ddraw::PixelFormat& format);

bool IsRenderTargetFormat(raster::PixelFormat format);
bool IsTextureFormat(raster::PixelFormat format);
bool IsDepthFormat(raster::PixelFormat format);

// The surface's pixels as they are now; null pixels while it is lost.
raster::Surface RasterSurface(const ddraw::Surface& surface, raster::PixelFormat format);

// Every format the devices sample, as IDirect3DDevice2::EnumTextureFormats
// reports them: by depth, and within a depth without alpha before with, so
// that a search keeping the first of equals settles on the plainer format.
std::span<const DDPIXELFORMAT> TextureFormats();

// The rasteriser's copy of a DirectDraw palette, brought up to date whenever
// another palette is given or the entries have changed since the last look.
class PaletteMirror {
public:
    // Null when there is no palette.
    raster::Palette* Sync(const ddraw::Palette* palette);

private:
    // The stamp of the palette last copied; stamps start at 1.
    uint64_t seen_ = 0;
    raster::Palette palette_;
};

} // namespace zv::d3d
