// Direct3D Retained Mode: the retained-mode object, frames, devices and
// viewports.
#pragma once

#include <platform/com.h>
#include <platform/d3d.h>

struct IDirect3DRM;
struct IDirect3DRM2;
struct IDirect3DRMDevice;
struct IDirect3DRMDevice2;
struct IDirect3DRMFrame;
struct IDirect3DRMFrame2;
struct IDirect3DRMViewport;
using LPDIRECT3DRM = IDirect3DRM*;
using LPDIRECT3DRM2 = IDirect3DRM2*;
using LPDIRECT3DRMDEVICE = IDirect3DRMDevice*;
using LPDIRECT3DRMDEVICE2 = IDirect3DRMDevice2*;
using LPDIRECT3DRMFRAME = IDirect3DRMFrame*;
using LPDIRECT3DRMFRAME2 = IDirect3DRMFrame2*;
using LPDIRECT3DRMVIEWPORT = IDirect3DRMViewport*;

inline constexpr HRESULT D3DRM_OK = S_OK;
inline constexpr HRESULT D3DRMERR_BADOBJECT = MAKE_DDHRESULT(781);
inline constexpr HRESULT D3DRMERR_BADTYPE = MAKE_DDHRESULT(782);
inline constexpr HRESULT D3DRMERR_BADALLOC = MAKE_DDHRESULT(783);
inline constexpr HRESULT D3DRMERR_FACEUSED = MAKE_DDHRESULT(784);
inline constexpr HRESULT D3DRMERR_NOTFOUND = MAKE_DDHRESULT(785);
inline constexpr HRESULT D3DRMERR_NOTDONEYET = MAKE_DDHRESULT(786);
inline constexpr HRESULT D3DRMERR_FILENOTFOUND = MAKE_DDHRESULT(787);
inline constexpr HRESULT D3DRMERR_BADFILE = MAKE_DDHRESULT(788);
inline constexpr HRESULT D3DRMERR_BADDEVICE = MAKE_DDHRESULT(789);
inline constexpr HRESULT D3DRMERR_BADVALUE = MAKE_DDHRESULT(790);
inline constexpr HRESULT D3DRMERR_BADMAJORVERSION = MAKE_DDHRESULT(791);
inline constexpr HRESULT D3DRMERR_BADMINORVERSION = MAKE_DDHRESULT(792);
inline constexpr HRESULT D3DRMERR_UNABLETOEXECUTE = MAKE_DDHRESULT(793);

enum D3DRMTEXTUREQUALITY : DWORD {
    D3DRMTEXTURE_NEAREST = 0,
    D3DRMTEXTURE_LINEAR = 1,
    D3DRMTEXTURE_MIPNEAREST = 2,
    D3DRMTEXTURE_MIPLINEAR = 3,
    D3DRMTEXTURE_LINEARMIPNEAREST = 4,
    D3DRMTEXTURE_LINEARMIPLINEAR = 5,
};

// A render quality is a shade mode, a lighting switch and a fill mode.
using D3DRMRENDERQUALITY = DWORD;
inline constexpr DWORD D3DRMSHADE_FLAT = 0;
inline constexpr DWORD D3DRMSHADE_GOURAUD = 1;
inline constexpr DWORD D3DRMSHADE_PHONG = 2;
inline constexpr DWORD D3DRMSHADE_MASK = 7;
inline constexpr DWORD D3DRMLIGHT_OFF = 0;
inline constexpr DWORD D3DRMLIGHT_ON = 8;
inline constexpr DWORD D3DRMLIGHT_MASK = 0x18;
inline constexpr DWORD D3DRMFILL_POINTS = 0;
inline constexpr DWORD D3DRMFILL_WIREFRAME = 0x40;
inline constexpr DWORD D3DRMFILL_SOLID = 0x80;
inline constexpr DWORD D3DRMFILL_MASK = 0x1C0;
inline constexpr D3DRMRENDERQUALITY D3DRMRENDER_FLAT =
    D3DRMSHADE_FLAT + D3DRMLIGHT_ON + D3DRMFILL_SOLID;
inline constexpr D3DRMRENDERQUALITY D3DRMRENDER_GOURAUD =
    D3DRMSHADE_GOURAUD + D3DRMLIGHT_ON + D3DRMFILL_SOLID;

struct IDirect3DRM : IUnknown {};

struct IDirect3DRM2 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateFrame(LPDIRECT3DRMFRAME lpD3DRMFrame,
                                                  LPDIRECT3DRMFRAME2* lplpD3DRMFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateDeviceFromD3D(LPDIRECT3D2 lpD3D,
                                                          LPDIRECT3DDEVICE2 lpD3DDev,
                                                          LPDIRECT3DRMDEVICE2* lplpD3DRMDevice) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DRMDEVICE lpDev,
                                                     LPDIRECT3DRMFRAME lpCamera, DWORD dwXPos,
                                                     DWORD dwYPos, DWORD dwWidth, DWORD dwHeight,
                                                     LPDIRECT3DRMVIEWPORT* lplpD3DRMViewport) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultTextureColors(DWORD dwColors) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultTextureShades(DWORD dwShades) = 0;
};

struct IDirect3DRMDevice : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetBufferCount(DWORD dwCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDither(BOOL bDither) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetShades(DWORD dwShades) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetQuality(D3DRMRENDERQUALITY rqQuality) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTextureQuality(D3DRMTEXTUREQUALITY tqTextureQuality) = 0;
    virtual HRESULT STDMETHODCALLTYPE Update() = 0;
};

struct IDirect3DRMDevice2 : IDirect3DRMDevice {};

struct IDirect3DRMFrame : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPosition(LPDIRECT3DRMFRAME lpRef, LPD3DVECTOR lpvPos) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPosition(LPDIRECT3DRMFRAME lpRef, D3DVALUE rvX,
                                                  D3DVALUE rvY, D3DVALUE rvZ) = 0;
};

struct IDirect3DRMFrame2 : IDirect3DRMFrame {};

struct IDirect3DRMViewport : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
    virtual HRESULT STDMETHODCALLTYPE ForceUpdate(DWORD dwX1, DWORD dwY1, DWORD dwX2,
                                                  DWORD dwY2) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBack(D3DVALUE rvBack) = 0;
    virtual D3DVALUE STDMETHODCALLTYPE GetBack() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDirect3DViewport(LPDIRECT3DVIEWPORT* lplpD3DViewport) = 0;
};

ZV_COM_INTERFACE(IDirect3DRM2, IUnknown,
                 {0x4516ECC8, 0x8F20, 0x11D0, {0x9B, 0x6D, 0x00, 0x00, 0xC0, 0x78, 0x1B, 0xC3}});
// This runtime's own interface ids.
ZV_COM_INTERFACE(IDirect3DRM, IUnknown,
                 {0x30C9C14B, 0xF316, 0x464E, {0x9B, 0x6C, 0xD6, 0x9C, 0xBC, 0xAB, 0xE4, 0x7C}});
ZV_COM_INTERFACE(IDirect3DRMDevice, IUnknown,
                 {0x5DD52149, 0xD54D, 0x45C9, {0x9B, 0x87, 0xFF, 0xFA, 0xDB, 0xB3, 0x87, 0xAD}});
ZV_COM_INTERFACE(IDirect3DRMDevice2, IDirect3DRMDevice,
                 {0xC92AE3E2, 0x4291, 0x46A4, {0x80, 0xC6, 0x75, 0xE7, 0x16, 0x37, 0x7F, 0xC3}});
ZV_COM_INTERFACE(IDirect3DRMFrame, IUnknown,
                 {0x5A9D5FF4, 0xD46D, 0x4917, {0xA1, 0x0F, 0x80, 0xFF, 0x17, 0x18, 0x25, 0xBD}});
ZV_COM_INTERFACE(IDirect3DRMFrame2, IDirect3DRMFrame,
                 {0x25D46D51, 0x0162, 0x4ED3, {0xBA, 0x19, 0x1E, 0x10, 0x0B, 0xBE, 0xE4, 0xCC}});
ZV_COM_INTERFACE(IDirect3DRMViewport, IUnknown,
                 {0x4FD5AD1B, 0x09DA, 0x4077, {0x96, 0x31, 0xCD, 0xB7, 0x28, 0xC5, 0xDA, 0xB7}});

// Entry points of the "d3drm.dll" module, looked up by name at run time.
extern "C" {
HRESULT WINAPI Direct3DRMCreate(LPDIRECT3DRM* lplpDirect3DRM);
D3DCOLOR WINAPI D3DRMCreateColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue);
D3DVALUE WINAPI D3DRMColorGetRed(D3DCOLOR color);
D3DVALUE WINAPI D3DRMColorGetGreen(D3DCOLOR color);
D3DVALUE WINAPI D3DRMColorGetBlue(D3DCOLOR color);
}
