// Direct3D Immediate Mode, reached from the DirectDraw object.
#pragma once

#include <platform/com.h>
#include <platform/ddraw.h>
#include <platform/d3dtypes.h>
#include <platform/d3dcaps.h>

struct IDirect3D2;
struct IDirect3DDevice2;
struct IDirect3DTexture2;
struct IDirect3DMaterial2;
struct IDirect3DViewport;
struct IDirect3DViewport2;
using LPDIRECT3D2 = IDirect3D2*;
using LPDIRECT3DDEVICE2 = IDirect3DDevice2*;
using LPDIRECT3DTEXTURE2 = IDirect3DTexture2*;
using LPDIRECT3DMATERIAL2 = IDirect3DMaterial2*;
using LPDIRECT3DVIEWPORT = IDirect3DViewport*;
using LPDIRECT3DVIEWPORT2 = IDirect3DViewport2*;

inline constexpr HRESULT D3D_OK = DD_OK;

// Direct3D result codes, in ascending order of value.
inline constexpr HRESULT D3DERR_INVALID_DEVICE = MAKE_DDHRESULT(705);
inline constexpr HRESULT D3DERR_INITFAILED = MAKE_DDHRESULT(706);
inline constexpr HRESULT D3DERR_TEXTURE_NO_SUPPORT = MAKE_DDHRESULT(720);
inline constexpr HRESULT D3DERR_INVALIDPRIMITIVETYPE = MAKE_DDHRESULT(742);
inline constexpr HRESULT D3DERR_INVALIDVERTEXTYPE = MAKE_DDHRESULT(743);
inline constexpr HRESULT D3DERR_SCENE_IN_SCENE = MAKE_DDHRESULT(770);
inline constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = MAKE_DDHRESULT(771);
inline constexpr HRESULT D3DERR_VIEWPORTDATANOTSET = MAKE_DDHRESULT(783);
inline constexpr HRESULT D3DERR_VIEWPORTHASNODEVICE = MAKE_DDHRESULT(784);
inline constexpr HRESULT D3DERR_NOCURRENTVIEWPORT = MAKE_DDHRESULT(785);

// Enumeration callbacks answer with these.
inline constexpr HRESULT D3DENUMRET_CANCEL = 0;
inline constexpr HRESULT D3DENUMRET_OK = 1;

// Called once per device with its hardware and its software description.
using LPD3DENUMDEVICESCALLBACK = HRESULT(CALLBACK*)(GUID* lpGuid, LPSTR lpDeviceDescription,
                                                    LPSTR lpDeviceName,
                                                    LPD3DDEVICEDESC lpD3DHWDeviceDesc,
                                                    LPD3DDEVICEDESC lpD3DHELDeviceDesc,
                                                    LPVOID lpContext);
// Called once per texture format a device offers.
using LPD3DENUMTEXTUREFORMATSCALLBACK = HRESULT(CALLBACK*)(LPDDSURFACEDESC lpDdsd,
                                                           LPVOID lpContext);

struct IDirect3D2 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK lpEnumDevicesCallback,
                                                  LPVOID lpUserArg) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateMaterial(LPDIRECT3DMATERIAL2* lplpDirect3DMaterial2,
                                                     IUnknown* pUnkOuter) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DVIEWPORT2* lplpD3DViewport2,
                                                     IUnknown* pUnkOuter) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID rclsid, LPDIRECTDRAWSURFACE lpDDS,
                                                   LPDIRECT3DDEVICE2* lplpD3DDevice2) = 0;
};

struct IDirect3DDevice2 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC lpD3DHWDevDesc,
                                              LPD3DDEVICEDESC lpD3DHELDevDesc) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddViewport(LPDIRECT3DVIEWPORT2 lpDirect3DViewport2) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteViewport(LPDIRECT3DVIEWPORT2 lpDirect3DViewport2) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK lpD3DEnumTextureProc, LPVOID lpArg) = 0;
    virtual HRESULT STDMETHODCALLTYPE BeginScene() = 0;
    virtual HRESULT STDMETHODCALLTYPE EndScene() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCurrentViewport(LPDIRECT3DVIEWPORT2 lpd3dViewport2) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentViewport(LPDIRECT3DVIEWPORT2* lplpd3dViewport2) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE dwRenderStateType,
                                                     LPDWORD lpdwRenderState) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE dwRenderStateType,
                                                     DWORD dwRenderState) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLightState(D3DLIGHTSTATETYPE dwLightStateType,
                                                    LPDWORD lpdwLightState) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLightState(D3DLIGHTSTATETYPE dwLightStateType,
                                                    DWORD dwLightState) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE d3dptPrimitiveType,
                                                    D3DVERTEXTYPE d3dvtVertexType,
                                                    LPVOID lpvVertices, DWORD dwVertexCount,
                                                    DWORD dwFlags) = 0;
};

struct IDirect3DTexture2 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetHandle(LPDIRECT3DDEVICE2 lpDirect3DDevice2,
                                                LPD3DTEXTUREHANDLE lpHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE Load(LPDIRECT3DTEXTURE2 lpD3DTexture2) = 0;
};

struct IDirect3DMaterial2 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetMaterial(LPD3DMATERIAL lpMat) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMaterial(LPD3DMATERIAL lpMat) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHandle(LPDIRECT3DDEVICE2 lpDirect3DDevice2,
                                                LPD3DMATERIALHANDLE lpHandle) = 0;
};

struct IDirect3DViewport : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetBackground(D3DMATERIALHANDLE hMat) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBackground(LPD3DMATERIALHANDLE lphMat, LPBOOL lpValid) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear(DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags) = 0;
    // Objects that keep no viewport data of their own need not offer these.
    virtual HRESULT STDMETHODCALLTYPE GetViewport(LPD3DVIEWPORT) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE SetViewport(LPD3DVIEWPORT) { return E_NOTIMPL; }
};

struct IDirect3DViewport2 : IDirect3DViewport {};

ZV_COM_INTERFACE(IDirect3D2, IUnknown,
                 {0x6AAE1EC1, 0x662A, 0x11D0, {0x88, 0x9D, 0x00, 0xAA, 0x00, 0xBB, 0xB7, 0x6A}});
ZV_COM_INTERFACE(IDirect3DViewport2, IDirect3DViewport,
                 {0x93281500, 0x8CF8, 0x11D0, {0x89, 0xAB, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29}});
// This runtime's own interface ids.
ZV_COM_INTERFACE(IDirect3DDevice2, IUnknown,
                 {0x45C3B485, 0x8E85, 0x4568, {0xBF, 0x27, 0x44, 0x8B, 0xD9, 0xC2, 0x9B, 0xC6}});
ZV_COM_INTERFACE(IDirect3DTexture2, IUnknown,
                 {0xEAE074FD, 0x6D85, 0x4979, {0xB7, 0xF7, 0x6D, 0xCF, 0xEC, 0x2F, 0x47, 0x64}});
ZV_COM_INTERFACE(IDirect3DMaterial2, IUnknown,
                 {0xFE928F51, 0xE40E, 0x41D0, {0xA4, 0x2C, 0xDD, 0xAD, 0x01, 0xC8, 0x18, 0xE3}});
ZV_COM_INTERFACE(IDirect3DViewport, IUnknown,
                 {0x9491D082, 0x627A, 0x4DD3, {0x93, 0x49, 0x95, 0x90, 0x85, 0x1C, 0xE0, 0x2C}});

// The software devices, as IDirect3D2::CreateDevice takes them.
inline constexpr GUID IID_IDirect3DMMXDevice = {
    0x881949A1, 0xD6F3, 0x11D0, {0x89, 0xAB, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29}};
inline constexpr GUID IID_IDirect3DRGBDevice = {
    0xA4665C60, 0x2673, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
inline constexpr GUID IID_IDirect3DRampDevice = {
    0xF2086B20, 0x259F, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
