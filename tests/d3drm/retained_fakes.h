// The graphics layer's fakes, made to write every call the retained-mode
// set-up makes on them into one ordered log, and wired to hand out each
// other as the runtimes would.
#pragma once

#include "fake_com.h"

#include <algorithm>
#include <string>
#include <vector>

struct CallLog {
    std::vector<std::string> calls;
};

template <class Base> struct Recorded : Base {
    Recorded(const std::string& name, ReleaseLog& releases, CallLog& log)
        : Base(name, releases), name(name), log(log) {}

    HRESULT Record(const std::string& call, HRESULT result = S_OK) {
        log.calls.push_back(name + "." + call);
        return result;
    }

    std::string name;
    CallLog& log;
};

inline std::string Call(const char* method, long long value) {
    return std::string(method) + "(" + std::to_string(value) + ")";
}

struct RecordingDirectDraw : Recorded<FakeDirectDraw> {
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD dwFlags, LPPALETTEENTRY lpColorTable,
                                            LPDIRECTDRAWPALETTE* lplpDDPalette,
                                            IUnknown* pUnkOuter) override {
        paletteTable = lpColorTable;
        std::copy(lpColorTable, lpColorTable + 256, paletteEntries);
        paletteOuter = pUnkOuter;
        *lplpDDPalette = palette;
        return Record(Call("CreatePalette", dwFlags));
    }

    IDirectDrawPalette* palette = nullptr;
    LPPALETTEENTRY paletteTable = nullptr;
    PALETTEENTRY paletteEntries[256] = {};
    IUnknown* paletteOuter = nullptr;
};

struct RecordingSurface : Recorded<FakeSurface> {
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) override {
        palette = lpDDPalette;
        return Record("SetPalette");
    }

    IDirectDrawPalette* palette = nullptr;
};

// IDirect3DRM: answers the query for IDirect3DRM2 with the second fake.
struct RecordingRetainedModeBase : Recorded<FakeRetainedMode> {
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        *ppvObject = nullptr;
        if (!IsEqualIID(riid, IID_IDirect3DRM2))
            return Record("QueryInterface(other)", E_NOINTERFACE);
        if (queryResult == S_OK) {
            answer->AddRef();
            *ppvObject = answer;
        }
        return Record("QueryInterface(IDirect3DRM2)", queryResult);
    }

    IDirect3DRM2* answer = nullptr;
    HRESULT queryResult = S_OK;
};

struct RecordingRetainedMode : Recorded<FakeRetainedMode2> {
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE CreateDeviceFromD3D(LPDIRECT3D2 lpD3D, LPDIRECT3DDEVICE2 lpD3DDev,
                                                  LPDIRECT3DRMDEVICE2* lplpD3DRMDevice) override {
        deviceFrom = {lpD3D, lpD3DDev};
        *lplpD3DRMDevice = createDeviceResult == S_OK ? device : nullptr;
        return Record("CreateDeviceFromD3D", createDeviceResult);
    }
    HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DRMDEVICE lpDev, LPDIRECT3DRMFRAME lpCamera,
                                             DWORD dwXPos, DWORD dwYPos, DWORD dwWidth,
                                             DWORD dwHeight,
                                             LPDIRECT3DRMVIEWPORT* lplpD3DRMViewport) override {
        viewportOn = {lpDev, lpCamera, {LONG(dwXPos), LONG(dwYPos), LONG(dwWidth), LONG(dwHeight)}};
        *lplpD3DRMViewport = createViewportResult == S_OK ? viewport : nullptr;
        return Record("CreateViewport", createViewportResult);
    }
    HRESULT STDMETHODCALLTYPE SetDefaultTextureColors(DWORD dwColors) override {
        return Record(Call("SetDefaultTextureColors", dwColors));
    }
    HRESULT STDMETHODCALLTYPE SetDefaultTextureShades(DWORD dwShades) override {
        return Record(Call("SetDefaultTextureShades", dwShades));
    }

    struct {
        IDirect3D2* d3d;
        IDirect3DDevice2* device;
    } deviceFrom = {};
    struct {
        IDirect3DRMDevice* device;
        IDirect3DRMFrame* camera;
        // x, y, width, height
        RECT placement;
    } viewportOn = {};
    IDirect3DRMDevice2* device = nullptr;
    IDirect3DRMViewport* viewport = nullptr;
    HRESULT createDeviceResult = S_OK;
    HRESULT createViewportResult = S_OK;
};

struct RecordingRetainedDevice : Recorded<FakeRetainedDevice> {
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE SetBufferCount(DWORD dwCount) override {
        return Record(Call("SetBufferCount", dwCount));
    }
    HRESULT STDMETHODCALLTYPE SetDither(BOOL bDither) override {
        return Record(Call("SetDither", bDither));
    }
    HRESULT STDMETHODCALLTYPE SetShades(DWORD dwShades) override {
        return Record(Call("SetShades", dwShades));
    }
    HRESULT STDMETHODCALLTYPE SetQuality(D3DRMRENDERQUALITY rqQuality) override {
        return Record(Call("SetQuality", rqQuality));
    }
    HRESULT STDMETHODCALLTYPE SetTextureQuality(D3DRMTEXTUREQUALITY tqTextureQuality) override {
        return Record(Call("SetTextureQuality", tqTextureQuality));
    }
};

struct RecordingRetainedViewport : Recorded<FakeRetainedViewport> {
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE SetBack(D3DVALUE rvBack) override {
        back = rvBack;
        return Record("SetBack", setBackResult);
    }

    D3DVALUE back = 0.0f;
    HRESULT setBackResult = S_OK;
};

struct FakeFrame : Fake<IDirect3DRMFrame2> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE GetPosition(LPDIRECT3DRMFRAME, LPD3DVECTOR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPosition(LPDIRECT3DRMFRAME, D3DVALUE, D3DVALUE,
                                          D3DVALUE) override {
        return E_NOTIMPL;
    }
};

// What the retained-mode set-up finds after CreateDirectDrawWin, and what
// the runtimes and device selection give it.
struct RetainedWorld {
    RetainedWorld() {
        ddraw.palette = &palette;
        d3drmBase.answer = &d3drm;
        d3drm.device = &rmDevice;
        d3drm.viewport = &rmViewport;
    }

    // The DirectDraw objects, one reference each.
    void InstallSurfaces(GraphicsState& state) {
        state.ddraw = &ddraw;
        state.primarySurface = &primarySurface;
        state.backSurface = &backSurface;
        state.clipper = &clipper;
    }

    ReleaseLog releases;
    CallLog log;
    RecordingDirectDraw ddraw{"ddraw", releases, log};
    RecordingSurface primarySurface{"primarySurface", releases, log};
    RecordingSurface backSurface{"backSurface", releases, log};
    FakeClipper clipper{"clipper", releases};
    FakePalette palette{"palette", releases};
    FakeSurface zBuffer{"zBuffer", releases};
    FakeDirect3D d3d{"d3d", releases};
    FakeDevice device{"device", releases};
    RecordingRetainedModeBase d3drmBase{"d3drmBase", releases, log};
    RecordingRetainedMode d3drm{"d3drm", releases, log};
    RecordingRetainedDevice rmDevice{"rmDevice", releases, log};
    RecordingRetainedViewport rmViewport{"rmViewport", releases, log};
};
