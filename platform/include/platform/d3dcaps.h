// Direct3D device capabilities.
#pragma once

#include <platform/d3dtypes.h>

struct D3DTRANSFORMCAPS {
    DWORD dwSize;
    DWORD dwCaps;
};

struct D3DLIGHTINGCAPS {
    DWORD dwSize;
    DWORD dwCaps;
    DWORD dwLightingModel;
    DWORD dwNumLights;
};

struct D3DPRIMCAPS {
    DWORD dwSize;
    DWORD dwMiscCaps;
    DWORD dwRasterCaps;
    DWORD dwZCmpCaps;
    DWORD dwSrcBlendCaps;
    DWORD dwDestBlendCaps;
    DWORD dwAlphaCmpCaps;
    DWORD dwShadeCaps;
    DWORD dwTextureCaps;
    DWORD dwTextureFilterCaps;
    DWORD dwTextureBlendCaps;
    DWORD dwTextureAddressCaps;
    DWORD dwStippleWidth;
    DWORD dwStippleHeight;
};

// A device's description, hardware or software.
struct D3DDEVICEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    D3DCOLORMODEL dcmColorModel;
    DWORD dwDevCaps;
    D3DTRANSFORMCAPS dtcTransformCaps;
    BOOL bClipping;
    D3DLIGHTINGCAPS dlcLightingCaps;
    D3DPRIMCAPS dpcLineCaps;
    D3DPRIMCAPS dpcTriCaps;
    DWORD dwDeviceRenderBitDepth;
    DWORD dwDeviceZBufferBitDepth;
    DWORD dwMaxBufferSize;
    DWORD dwMaxVertexCount;
    DWORD dwMinTextureWidth;
    DWORD dwMinTextureHeight;
    DWORD dwMaxTextureWidth;
    DWORD dwMaxTextureHeight;
    DWORD dwMinStippleWidth;
    DWORD dwMaxStippleWidth;
    DWORD dwMinStippleHeight;
    DWORD dwMaxStippleHeight;
};
using LPD3DDEVICEDESC = D3DDEVICEDESC*;

// D3DDEVICEDESC::dwFlags: which members are valid.
inline constexpr DWORD D3DDD_COLORMODEL = 0x1;
inline constexpr DWORD D3DDD_DEVCAPS = 0x2;
inline constexpr DWORD D3DDD_TRANSFORMCAPS = 0x4;
inline constexpr DWORD D3DDD_LIGHTINGCAPS = 0x8;
inline constexpr DWORD D3DDD_BCLIPPING = 0x10;
inline constexpr DWORD D3DDD_LINECAPS = 0x20;
inline constexpr DWORD D3DDD_TRICAPS = 0x40;
inline constexpr DWORD D3DDD_DEVICERENDERBITDEPTH = 0x80;
inline constexpr DWORD D3DDD_DEVICEZBUFFERBITDEPTH = 0x100;
inline constexpr DWORD D3DDD_MAXBUFFERSIZE = 0x200;
inline constexpr DWORD D3DDD_MAXVERTEXCOUNT = 0x400;

// D3DDEVICEDESC::dwDevCaps
inline constexpr DWORD D3DDEVCAPS_FLOATTLVERTEX = 0x1;
inline constexpr DWORD D3DDEVCAPS_TLVERTEXSYSTEMMEMORY = 0x40;
inline constexpr DWORD D3DDEVCAPS_TEXTURESYSTEMMEMORY = 0x100;
inline constexpr DWORD D3DDEVCAPS_TEXTUREVIDEOMEMORY = 0x200;
inline constexpr DWORD D3DDEVCAPS_DRAWPRIMTLVERTEX = 0x400;

// D3DPRIMCAPS::dwMiscCaps
inline constexpr DWORD D3DPMISCCAPS_MASKZ = 0x2;
inline constexpr DWORD D3DPMISCCAPS_CULLNONE = 0x10;
inline constexpr DWORD D3DPMISCCAPS_CULLCW = 0x20;
inline constexpr DWORD D3DPMISCCAPS_CULLCCW = 0x40;

// D3DPRIMCAPS::dwRasterCaps
inline constexpr DWORD D3DPRASTERCAPS_ZTEST = 0x10;
inline constexpr DWORD D3DPRASTERCAPS_SUBPIXEL = 0x20;

// D3DPRIMCAPS::dwShadeCaps
inline constexpr DWORD D3DPSHADECAPS_COLORFLATMONO = 0x1;
inline constexpr DWORD D3DPSHADECAPS_COLORFLATRGB = 0x2;
inline constexpr DWORD D3DPSHADECAPS_COLORGOURAUDMONO = 0x4;
inline constexpr DWORD D3DPSHADECAPS_COLORGOURAUDRGB = 0x8;
inline constexpr DWORD D3DPSHADECAPS_ALPHAFLATBLEND = 0x1000;
inline constexpr DWORD D3DPSHADECAPS_ALPHAGOURAUDBLEND = 0x4000;

// D3DPRIMCAPS::dwTextureCaps
inline constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x1;
inline constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x4;

// D3DPRIMCAPS::dwTextureFilterCaps
inline constexpr DWORD D3DPTFILTERCAPS_NEAREST = 0x1;
inline constexpr DWORD D3DPTFILTERCAPS_LINEAR = 0x2;

// D3DPRIMCAPS::dwTextureAddressCaps
inline constexpr DWORD D3DPTADDRESSCAPS_WRAP = 0x1;
inline constexpr DWORD D3DPTADDRESSCAPS_MIRROR = 0x2;
inline constexpr DWORD D3DPTADDRESSCAPS_CLAMP = 0x4;

static_assert(sizeof(D3DPRIMCAPS) == 56);
static_assert(sizeof(D3DDEVICEDESC) == 204);
