// DirectDraw: the display driver object, surfaces, clippers and palettes.
//
// Records without pointers have the runtime's exact sizes; DDSURFACEDESC
// holds a pointer, so on 64-bit it is larger than its dwSize stamp (108).
#pragma once

#include <platform/com.h>
#include <platform/windows.h>

struct IDirectDraw;
struct IDirectDrawSurface;
struct IDirectDrawClipper;
struct IDirectDrawPalette;
using LPDIRECTDRAW = IDirectDraw*;
using LPDIRECTDRAWSURFACE = IDirectDrawSurface*;
using LPDIRECTDRAWCLIPPER = IDirectDrawClipper*;
using LPDIRECTDRAWPALETTE = IDirectDrawPalette*;

constexpr HRESULT MAKE_DDHRESULT(unsigned code) {
    return MAKE_HRESULT(1, 0x876, code);
}

inline constexpr HRESULT DD_OK = S_OK;

// Result codes, in ascending order of value.
inline constexpr HRESULT DDERR_UNSUPPORTED = E_NOTIMPL;
inline constexpr HRESULT DDERR_GENERIC = E_FAIL;
inline constexpr HRESULT DDERR_NOTINITIALIZED = CO_E_NOTINITIALIZED;
inline constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
inline constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
inline constexpr HRESULT DDERR_ALREADYINITIALIZED = MAKE_DDHRESULT(5);
inline constexpr HRESULT DDERR_CANNOTATTACHSURFACE = MAKE_DDHRESULT(10);
inline constexpr HRESULT DDERR_CANNOTDETACHSURFACE = MAKE_DDHRESULT(20);
inline constexpr HRESULT DDERR_CURRENTLYNOTAVAIL = MAKE_DDHRESULT(40);
inline constexpr HRESULT DDERR_EXCEPTION = MAKE_DDHRESULT(55);
inline constexpr HRESULT DDERR_HEIGHTALIGN = MAKE_DDHRESULT(90);
inline constexpr HRESULT DDERR_INCOMPATIBLEPRIMARY = MAKE_DDHRESULT(95);
inline constexpr HRESULT DDERR_INVALIDCAPS = MAKE_DDHRESULT(100);
inline constexpr HRESULT DDERR_INVALIDCLIPLIST = MAKE_DDHRESULT(110);
inline constexpr HRESULT DDERR_INVALIDMODE = MAKE_DDHRESULT(120);
inline constexpr HRESULT DDERR_INVALIDOBJECT = MAKE_DDHRESULT(130);
inline constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MAKE_DDHRESULT(145);
inline constexpr HRESULT DDERR_INVALIDRECT = MAKE_DDHRESULT(150);
inline constexpr HRESULT DDERR_LOCKEDSURFACES = MAKE_DDHRESULT(160);
inline constexpr HRESULT DDERR_NO3D = MAKE_DDHRESULT(170);
inline constexpr HRESULT DDERR_NOALPHAHW = MAKE_DDHRESULT(180);
inline constexpr HRESULT DDERR_NOCLIPLIST = MAKE_DDHRESULT(205);
inline constexpr HRESULT DDERR_NOCOLORCONVHW = MAKE_DDHRESULT(210);
inline constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MAKE_DDHRESULT(212);
inline constexpr HRESULT DDERR_NOCOLORKEY = MAKE_DDHRESULT(215);
inline constexpr HRESULT DDERR_NOCOLORKEYHW = MAKE_DDHRESULT(220);
inline constexpr HRESULT DDERR_NODIRECTDRAWSUPPORT = MAKE_DDHRESULT(222);
inline constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MAKE_DDHRESULT(225);
inline constexpr HRESULT DDERR_NOFLIPHW = MAKE_DDHRESULT(230);
inline constexpr HRESULT DDERR_NOGDI = MAKE_DDHRESULT(240);
inline constexpr HRESULT DDERR_NOMIRRORHW = MAKE_DDHRESULT(250);
inline constexpr HRESULT DDERR_NOTFOUND = MAKE_DDHRESULT(255);
inline constexpr HRESULT DDERR_NOOVERLAYHW = MAKE_DDHRESULT(260);
inline constexpr HRESULT DDERR_NORASTEROPHW = MAKE_DDHRESULT(280);
inline constexpr HRESULT DDERR_NOROTATIONHW = MAKE_DDHRESULT(290);
inline constexpr HRESULT DDERR_NOSTRETCHHW = MAKE_DDHRESULT(310);
inline constexpr HRESULT DDERR_NOT4BITCOLOR = MAKE_DDHRESULT(316);
inline constexpr HRESULT DDERR_NOT4BITCOLORINDEX = MAKE_DDHRESULT(317);
inline constexpr HRESULT DDERR_NOT8BITCOLOR = MAKE_DDHRESULT(320);
inline constexpr HRESULT DDERR_NOTEXTUREHW = MAKE_DDHRESULT(330);
inline constexpr HRESULT DDERR_NOVSYNCHW = MAKE_DDHRESULT(335);
inline constexpr HRESULT DDERR_NOZBUFFERHW = MAKE_DDHRESULT(340);
inline constexpr HRESULT DDERR_NOZOVERLAYHW = MAKE_DDHRESULT(350);
inline constexpr HRESULT DDERR_OUTOFCAPS = MAKE_DDHRESULT(360);
inline constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MAKE_DDHRESULT(380);
inline constexpr HRESULT DDERR_OVERLAYCANTCLIP = MAKE_DDHRESULT(382);
inline constexpr HRESULT DDERR_OVERLAYCOLORKEYONLYONEACTIVE = MAKE_DDHRESULT(384);
inline constexpr HRESULT DDERR_PALETTEBUSY = MAKE_DDHRESULT(387);
inline constexpr HRESULT DDERR_COLORKEYNOTSET = MAKE_DDHRESULT(400);
inline constexpr HRESULT DDERR_SURFACEALREADYATTACHED = MAKE_DDHRESULT(410);
inline constexpr HRESULT DDERR_SURFACEALREADYDEPENDENT = MAKE_DDHRESULT(420);
inline constexpr HRESULT DDERR_SURFACEBUSY = MAKE_DDHRESULT(430);
inline constexpr HRESULT DDERR_CANTLOCKSURFACE = MAKE_DDHRESULT(435);
inline constexpr HRESULT DDERR_SURFACEISOBSCURED = MAKE_DDHRESULT(440);
inline constexpr HRESULT DDERR_SURFACELOST = MAKE_DDHRESULT(450);
inline constexpr HRESULT DDERR_SURFACENOTATTACHED = MAKE_DDHRESULT(460);
inline constexpr HRESULT DDERR_TOOBIGHEIGHT = MAKE_DDHRESULT(470);
inline constexpr HRESULT DDERR_TOOBIGSIZE = MAKE_DDHRESULT(480);
inline constexpr HRESULT DDERR_TOOBIGWIDTH = MAKE_DDHRESULT(490);
inline constexpr HRESULT DDERR_UNSUPPORTEDFORMAT = MAKE_DDHRESULT(510);
inline constexpr HRESULT DDERR_UNSUPPORTEDMASK = MAKE_DDHRESULT(520);
inline constexpr HRESULT DDERR_VERTICALBLANKINPROGRESS = MAKE_DDHRESULT(537);
inline constexpr HRESULT DDERR_WASSTILLDRAWING = MAKE_DDHRESULT(540);
inline constexpr HRESULT DDERR_XALIGN = MAKE_DDHRESULT(560);
inline constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = MAKE_DDHRESULT(561);
inline constexpr HRESULT DDERR_DIRECTDRAWALREADYCREATED = MAKE_DDHRESULT(562);
inline constexpr HRESULT DDERR_NODIRECTDRAWHW = MAKE_DDHRESULT(563);
inline constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MAKE_DDHRESULT(564);
inline constexpr HRESULT DDERR_NOEMULATION = MAKE_DDHRESULT(565);
inline constexpr HRESULT DDERR_REGIONTOOSMALL = MAKE_DDHRESULT(566);
inline constexpr HRESULT DDERR_CLIPPERISUSINGHWND = MAKE_DDHRESULT(567);
inline constexpr HRESULT DDERR_NOCLIPPERATTACHED = MAKE_DDHRESULT(568);
inline constexpr HRESULT DDERR_NOHWND = MAKE_DDHRESULT(569);
inline constexpr HRESULT DDERR_HWNDSUBCLASSED = MAKE_DDHRESULT(570);
inline constexpr HRESULT DDERR_HWNDALREADYSET = MAKE_DDHRESULT(571);
inline constexpr HRESULT DDERR_NOPALETTEATTACHED = MAKE_DDHRESULT(572);
inline constexpr HRESULT DDERR_NOPALETTEHW = MAKE_DDHRESULT(573);
inline constexpr HRESULT DDERR_BLTFASTCANTCLIP = MAKE_DDHRESULT(574);
inline constexpr HRESULT DDERR_NOBLTHW = MAKE_DDHRESULT(575);
inline constexpr HRESULT DDERR_NODDROPSHW = MAKE_DDHRESULT(576);
inline constexpr HRESULT DDERR_OVERLAYNOTVISIBLE = MAKE_DDHRESULT(577);
inline constexpr HRESULT DDERR_NOOVERLAYDEST = MAKE_DDHRESULT(578);
inline constexpr HRESULT DDERR_INVALIDPOSITION = MAKE_DDHRESULT(579);
inline constexpr HRESULT DDERR_NOTAOVERLAYSURFACE = MAKE_DDHRESULT(580);
inline constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = MAKE_DDHRESULT(581);
inline constexpr HRESULT DDERR_NOTFLIPPABLE = MAKE_DDHRESULT(582);
inline constexpr HRESULT DDERR_CANTDUPLICATE = MAKE_DDHRESULT(583);
inline constexpr HRESULT DDERR_NOTLOCKED = MAKE_DDHRESULT(584);
inline constexpr HRESULT DDERR_CANTCREATEDC = MAKE_DDHRESULT(585);
inline constexpr HRESULT DDERR_NODC = MAKE_DDHRESULT(586);
inline constexpr HRESULT DDERR_WRONGMODE = MAKE_DDHRESULT(587);
inline constexpr HRESULT DDERR_IMPLICITLYCREATED = MAKE_DDHRESULT(588);
inline constexpr HRESULT DDERR_NOTPALETTIZED = MAKE_DDHRESULT(589);
inline constexpr HRESULT DDERR_UNSUPPORTEDMODE = MAKE_DDHRESULT(590);
inline constexpr HRESULT DDERR_NOMIPMAPHW = MAKE_DDHRESULT(591);
inline constexpr HRESULT DDERR_INVALIDSURFACETYPE = MAKE_DDHRESULT(592);
inline constexpr HRESULT DDERR_DCALREADYCREATED = MAKE_DDHRESULT(620);
inline constexpr HRESULT DDERR_CANTPAGELOCK = MAKE_DDHRESULT(640);
inline constexpr HRESULT DDERR_CANTPAGEUNLOCK = MAKE_DDHRESULT(660);
inline constexpr HRESULT DDERR_NOTPAGELOCKED = MAKE_DDHRESULT(680);

// Enumeration callbacks answer with these.
inline constexpr BOOL DDENUMRET_CANCEL = 0;
inline constexpr BOOL DDENUMRET_OK = 1;

// SetCooperativeLevel
inline constexpr DWORD DDSCL_FULLSCREEN = 0x1;
inline constexpr DWORD DDSCL_NORMAL = 0x8;
inline constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

// DDSURFACEDESC::dwFlags: which members are valid.
inline constexpr DWORD DDSD_CAPS = 0x1;
inline constexpr DWORD DDSD_HEIGHT = 0x2;
inline constexpr DWORD DDSD_WIDTH = 0x4;
inline constexpr DWORD DDSD_PITCH = 0x8;
inline constexpr DWORD DDSD_ZBUFFERBITDEPTH = 0x40;
inline constexpr DWORD DDSD_LPSURFACE = 0x800;
inline constexpr DWORD DDSD_PIXELFORMAT = 0x1000;

// DDSCAPS::dwCaps
inline constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
inline constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
inline constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
inline constexpr DWORD DDSCAPS_TEXTURE = 0x1000;
inline constexpr DWORD DDSCAPS_3DDEVICE = 0x2000;
inline constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;
inline constexpr DWORD DDSCAPS_ZBUFFER = 0x20000;
inline constexpr DWORD DDSCAPS_ALLOCONLOAD = 0x4000000;

// DDCAPS::dwCaps
inline constexpr DWORD DDCAPS_3D = 0x1;

// DDPIXELFORMAT::dwFlags
inline constexpr DWORD DDPF_ALPHAPIXELS = 0x1;
inline constexpr DWORD DDPF_ALPHA = 0x2;
inline constexpr DWORD DDPF_FOURCC = 0x4;
inline constexpr DWORD DDPF_PALETTEINDEXED4 = 0x8;
inline constexpr DWORD DDPF_PALETTEINDEXED8 = 0x20;
inline constexpr DWORD DDPF_RGB = 0x40;
inline constexpr DWORD DDPF_ZBUFFER = 0x400;

// CreatePalette
inline constexpr DWORD DDPCAPS_4BIT = 0x1;
inline constexpr DWORD DDPCAPS_8BIT = 0x4;
inline constexpr DWORD DDPCAPS_INITIALIZE = 0x8;

// Bit depths as bit sets (Z-buffer and render depths of a device).
inline constexpr DWORD DDBD_1 = 0x4000;
inline constexpr DWORD DDBD_2 = 0x2000;
inline constexpr DWORD DDBD_4 = 0x1000;
inline constexpr DWORD DDBD_8 = 0x800;
inline constexpr DWORD DDBD_16 = 0x400;
inline constexpr DWORD DDBD_24 = 0x200;
inline constexpr DWORD DDBD_32 = 0x100;

// Blt
inline constexpr DWORD DDBLT_COLORFILL = 0x400;
inline constexpr DWORD DDBLT_WAIT = 0x01000000;

// Lock
inline constexpr DWORD DDLOCK_SURFACEMEMORYPTR = 0x0;
inline constexpr DWORD DDLOCK_WAIT = 0x1;

struct DDSCAPS {
    DWORD dwCaps;
};
using LPDDSCAPS = DDSCAPS*;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    union {
        DWORD dwRGBBitCount;
        DWORD dwYUVBitCount;
        DWORD dwZBufferBitDepth;
        DWORD dwAlphaBitDepth;
    };
    union {
        DWORD dwRBitMask;
        DWORD dwYBitMask;
    };
    union {
        DWORD dwGBitMask;
        DWORD dwUBitMask;
    };
    union {
        DWORD dwBBitMask;
        DWORD dwVBitMask;
    };
    union {
        DWORD dwRGBAlphaBitMask;
        DWORD dwYUVAlphaBitMask;
    };
};
using LPDDPIXELFORMAT = DDPIXELFORMAT*;

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    union {
        LONG lPitch;
        DWORD dwLinearSize;
    };
    DWORD dwBackBufferCount;
    union {
        DWORD dwMipMapCount;
        DWORD dwZBufferBitDepth;
        DWORD dwRefreshRate;
    };
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};
using LPDDSURFACEDESC = DDSURFACEDESC*;

// The dwSize stamp of a DDSURFACEDESC; the runtime checks it, not sizeof.
inline constexpr DWORD DDSURFACEDESC_SIZE = 108;

// Driver or emulation capabilities.
struct DDCAPS {
    DWORD dwSize;
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCKeyCaps;
    DWORD dwFXCaps;
    DWORD dwFXAlphaCaps;
    DWORD dwPalCaps;
    DWORD dwSVCaps;
    DWORD dwAlphaBltConstBitDepths;
    DWORD dwAlphaBltPixelBitDepths;
    DWORD dwAlphaBltSurfaceBitDepths;
    DWORD dwAlphaOverlayConstBitDepths;
    DWORD dwAlphaOverlayPixelBitDepths;
    DWORD dwAlphaOverlaySurfaceBitDepths;
    DWORD dwZBufferBitDepths;
    DWORD dwVidMemTotal;
    DWORD dwVidMemFree;
    DWORD dwMaxVisibleOverlays;
    DWORD dwCurrVisibleOverlays;
    DWORD dwNumFourCCCodes;
    DWORD dwAlignBoundarySrc;
    DWORD dwAlignSizeSrc;
    DWORD dwAlignBoundaryDest;
    DWORD dwAlignSizeDest;
    DWORD dwAlignStrideAlign;
    DWORD dwRops[8];
    DDSCAPS ddsCaps;
    DWORD dwMinOverlayStretch;
    DWORD dwMaxOverlayStretch;
    DWORD dwMinLiveVideoStretch;
    DWORD dwMaxLiveVideoStretch;
    DWORD dwMinHwCodecStretch;
    DWORD dwMaxHwCodecStretch;
    DWORD dwReserved1;
    DWORD dwReserved2;
    DWORD dwReserved3;
    DWORD dwSVBCaps;
    DWORD dwSVBCKeyCaps;
    DWORD dwSVBFXCaps;
    DWORD dwSVBRops[8];
    DWORD dwVSBCaps;
    DWORD dwVSBCKeyCaps;
    DWORD dwVSBFXCaps;
    DWORD dwVSBRops[8];
    DWORD dwSSBCaps;
    DWORD dwSSBCKeyCaps;
    DWORD dwSSBFXCaps;
    DWORD dwSSBRops[8];
    DWORD dwMaxVideoPorts;
    DWORD dwCurrVideoPorts;
    DWORD dwSVBCaps2;
    DWORD dwNLVBCaps;
    DWORD dwNLVBCaps2;
    DWORD dwNLVBCKeyCaps;
    DWORD dwNLVBFXCaps;
    DWORD dwNLVBRops[8];
};
using LPDDCAPS = DDCAPS*;

// Effects of a blit; the program never passes one.
struct DDBLTFX;
using LPDDBLTFX = DDBLTFX*;

using LPDDENUMCALLBACKA = BOOL(WINAPI*)(GUID* lpGUID, LPSTR lpDriverDescription, LPSTR lpDriverName,
                                        LPVOID lpContext);

struct IDirectDraw : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateClipper(DWORD dwFlags,
                                                    LPDIRECTDRAWCLIPPER* lplpDDClipper,
                                                    IUnknown* pUnkOuter) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable,
                                                    LPDIRECTDRAWPALETTE* lplpDDPalette,
                                                    IUnknown* pUnkOuter) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC lpDDSurfaceDesc,
                                                    LPDIRECTDRAWSURFACE* lplpDDSurface,
                                                    IUnknown* pUnkOuter) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS lpDDDriverCaps, LPDDCAPS lpDDHELCaps) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC lpDDSurfaceDesc) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD dwFlags) = 0;
};

struct IDirectDrawSurface : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE
    AddAttachedSurface(LPDIRECTDRAWSURFACE lpDDSAttachedSurface) = 0;
    virtual HRESULT STDMETHODCALLTYPE Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE lpDDSrcSurface,
                                          LPRECT lpSrcRect, DWORD dwFlags, LPDDBLTFX lpDDBltFx) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDC(HDC* lphDC) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT lpDDPixelFormat) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC lpDDSurfaceDesc) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsLost() = 0;
    virtual HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC lpDDSurfaceDesc,
                                           DWORD dwFlags, HANDLE hEvent) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) = 0;
    virtual HRESULT STDMETHODCALLTYPE Restore() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unlock(LPVOID lpSurfaceData) = 0;
};

struct IDirectDrawClipper : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetHWnd(HWND* lphWnd) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHWnd(DWORD dwFlags, HWND hWnd) = 0;
};

struct IDirectDrawPalette : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEntries(DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries,
                                                 LPPALETTEENTRY lpEntries) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEntries(DWORD dwFlags, DWORD dwStartingEntry,
                                                 DWORD dwCount, LPPALETTEENTRY lpEntries) = 0;
};

// This runtime's own interface ids.
ZV_COM_INTERFACE(IDirectDraw, IUnknown,
                 {0x4A1F5C50, 0xF179, 0x4DCB, {0x97, 0x1F, 0xEA, 0x28, 0x34, 0xB1, 0xB1, 0xB1}});
ZV_COM_INTERFACE(IDirectDrawSurface, IUnknown,
                 {0xB00A914C, 0x61A8, 0x4B32, {0x81, 0x65, 0xD5, 0x84, 0xED, 0xBB, 0xC0, 0x27}});
ZV_COM_INTERFACE(IDirectDrawClipper, IUnknown,
                 {0xE82F73BE, 0x41F1, 0x4275, {0xAE, 0xCC, 0x8C, 0x1A, 0x96, 0xC3, 0xED, 0x46}});
ZV_COM_INTERFACE(IDirectDrawPalette, IUnknown,
                 {0x1D7195D1, 0xAF3C, 0x4A3E, {0xAD, 0xD7, 0x05, 0xF7, 0x7B, 0x08, 0x14, 0x32}});

// Entry points of the "ddraw.dll" module, looked up by name at run time.
extern "C" {
HRESULT WINAPI DirectDrawCreate(GUID* lpGUID, LPDIRECTDRAW* lplpDD, IUnknown* pUnkOuter);
HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA lpCallback, LPVOID lpContext);
}

static_assert(sizeof(DDPIXELFORMAT) == 32);
static_assert(sizeof(DDCAPS) == 364);
static_assert(sizeof(DDSCAPS) == 4);
