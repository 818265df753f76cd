#include "d3d/software_devices.h"

#include "ddraw/surface.h"

namespace zv::d3d {

namespace {

constexpr SoftwareDevice kDevices[] = {
    {&IID_IDirect3DMMXDevice, "MMX Emulation", D3DCOLOR_RGB, true},
    {&IID_IDirect3DRGBDevice, "RGB Emulation", D3DCOLOR_RGB, false},
    {&IID_IDirect3DRampDevice, "Ramp Emulation", D3DCOLOR_MONO, false},
};

// One bit per value of a D3D enumeration that starts at 1.
constexpr DWORD BitsForValues(DWORD count) {
    return (DWORD{1} << count) - 1;
}

D3DPRIMCAPS TriangleCaps(D3DCOLORMODEL model) {
    D3DPRIMCAPS caps = {};
    caps.dwSize = sizeof caps;
    caps.dwMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                      D3DPMISCCAPS_CULLCCW;
    caps.dwRasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_SUBPIXEL;
    caps.dwZCmpCaps = BitsForValues(D3DCMP_ALWAYS);
    caps.dwSrcBlendCaps = BitsForValues(D3DBLEND_BOTHINVSRCALPHA);
    caps.dwDestBlendCaps = BitsForValues(D3DBLEND_BOTHINVSRCALPHA);
    caps.dwShadeCaps =
        (model == D3DCOLOR_MONO
             ? D3DPSHADECAPS_COLORFLATMONO | D3DPSHADECAPS_COLORGOURAUDMONO
             : D3DPSHADECAPS_COLORFLATRGB | D3DPSHADECAPS_COLORGOURAUDRGB) |
        D3DPSHADECAPS_ALPHAFLATBLEND | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
    caps.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA;
    caps.dwTextureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR;
    caps.dwTextureBlendCaps = BitsForValues(D3DTBLEND_COPY);
    caps.dwTextureAddressCaps =
        D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP;
    return caps;
}

} // namespace

raster::Backend SoftwareDevice::Backend() const {
    return vectorised ? raster::best_vector_backend() : raster::Backend::Reference;
}

std::string SoftwareDevice::Description() const {
    if (!vectorised)
        return colorModel == D3DCOLOR_MONO ? "Monochrome software rasteriser, scalar"
                                           : "Software rasteriser, scalar";
    return Backend() == raster::Backend::Avx2 ? "Software rasteriser, AVX2"
                                              : "Software rasteriser, SSE2";
}

D3DDEVICEDESC SoftwareDevice::Capabilities() const {
    D3DDEVICEDESC desc = NoCapabilities();
    desc.dwFlags = D3DDD_COLORMODEL | D3DDD_DEVCAPS | D3DDD_TRANSFORMCAPS | D3DDD_LIGHTINGCAPS |
                   D3DDD_BCLIPPING | D3DDD_LINECAPS | D3DDD_TRICAPS |
                   D3DDD_DEVICERENDERBITDEPTH | D3DDD_DEVICEZBUFFERBITDEPTH |
                   D3DDD_MAXBUFFERSIZE | D3DDD_MAXVERTEXCOUNT;
    desc.dcmColorModel = colorModel;
    desc.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                     D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                     D3DDEVCAPS_DRAWPRIMTLVERTEX;
    // Only transformed and lit vertices are drawn: no transform, no lights.
    desc.dtcTransformCaps.dwSize = sizeof desc.dtcTransformCaps;
    desc.dlcLightingCaps.dwSize = sizeof desc.dlcLightingCaps;
    // Triangles are clipped to the viewport whatever their coordinates.
    desc.bClipping = TRUE;
    // Lines and points are not drawn.
    desc.dpcLineCaps.dwSize = sizeof desc.dpcLineCaps;
    desc.dpcTriCaps = TriangleCaps(colorModel);
    desc.dwDeviceRenderBitDepth = DDBD_8 | DDBD_16 | DDBD_32;
    // 24 and 32 bits alike keep 24 significant bits of depth.
    desc.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
    // No execute buffers, and no limit on a DrawPrimitive's vertices.
    desc.dwMaxBufferSize = 0;
    desc.dwMaxVertexCount = 0;
    desc.dwMinTextureWidth = 1;
    desc.dwMinTextureHeight = 1;
    desc.dwMaxTextureWidth = ddraw::kMaxSurfaceSide;
    desc.dwMaxTextureHeight = ddraw::kMaxSurfaceSide;
    return desc;
}

std::span<const SoftwareDevice> SoftwareDevices() {
    return kDevices;
}

const SoftwareDevice* FindSoftwareDevice(REFCLSID guid) {
    for (const SoftwareDevice& device : kDevices)
        if (IsEqualGUID(*device.guid, guid))
            return &device;
    return nullptr;
}

D3DDEVICEDESC NoCapabilities() {
    D3DDEVICEDESC desc = {};
    desc.dwSize = sizeof desc;
    return desc;
}

} // namespace zv::d3d
