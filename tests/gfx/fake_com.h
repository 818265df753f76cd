// Fake DirectX objects that write every Release into a shared log under the
// name the test gave them. The test owns them; Release never deletes. Every
// other operation answers E_NOTIMPL unless a recording fake below overrides it.
#pragma once

#include <gfx/hxp.h>

#include <map>
#include <string>
#include <vector>

struct ReleaseLog {
    std::vector<std::string> released;
    // Every recorded call in order, releases included ("name->Release").
    std::vector<std::string> calls;
    // The name of each fake, to show the objects calls are given.
    std::map<const IUnknown*, std::string> names;

    std::string NameOf(const IUnknown* object) const {
        if (object == nullptr)
            return "null";
        auto found = names.find(object);
        return found == names.end() ? "?" : found->second;
    }
};

template <class Interface> class Fake : public Interface {
public:
    Fake(std::string name, ReleaseLog& log) : name_(std::move(name)), log_(log) {
        log_.names[this] = name_;
    }
    ~Fake() { log_.names.erase(this); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppvObject) override {
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        log_.released.push_back(name_);
        Record("Release");
        return --references;
    }

    ULONG references = 1;

protected:
    void Record(const std::string& call) { log_.calls.push_back(name_ + "->" + call); }
    ReleaseLog& Log() const { return log_; }

private:
    std::string name_;
    ReleaseLog& log_;
};

struct FakeDirectDraw : Fake<IDirectDraw> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*,
                                            IUnknown*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*,
                                            IUnknown*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS, LPDDCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayMode(LPDDSURFACEDESC) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override { return E_NOTIMPL; }
};

struct FakeSurface : Fake<IDirectDrawSurface> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Blt(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDBLTFX) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDC(HDC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsLost() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Lock(LPRECT, LPDDSURFACEDESC, DWORD, HANDLE) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Restore() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID) override { return E_NOTIMPL; }
};

struct FakeClipper : Fake<IDirectDrawClipper> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE GetHWnd(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD, HWND) override { return E_NOTIMPL; }
};

struct FakePalette : Fake<IDirectDrawPalette> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE GetEntries(DWORD, DWORD, DWORD, LPPALETTEENTRY) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetEntries(DWORD, DWORD, DWORD, LPPALETTEENTRY) override {
        return E_NOTIMPL;
    }
};

struct FakeDirect3D : Fake<IDirect3D2> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK, LPVOID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateMaterial(LPDIRECT3DMATERIAL2*, IUnknown*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DVIEWPORT2*, IUnknown*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID, LPDIRECTDRAWSURFACE,
                                           LPDIRECT3DDEVICE2*) override {
        return E_NOTIMPL;
    }
};

struct FakeDevice : Fake<IDirect3DDevice2> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC, LPD3DDEVICEDESC) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddViewport(LPDIRECT3DVIEWPORT2) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteViewport(LPDIRECT3DVIEWPORT2) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK, LPVOID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BeginScene() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndScene() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCurrentViewport(LPDIRECT3DVIEWPORT2) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentViewport(LPDIRECT3DVIEWPORT2*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE, LPDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetLightState(D3DLIGHTSTATETYPE, LPDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetLightState(D3DLIGHTSTATETYPE, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE, D3DVERTEXTYPE, LPVOID, DWORD,
                                            DWORD) override {
        return E_NOTIMPL;
    }
};

struct FakeRetainedMode : Fake<IDirect3DRM> {
    using Fake::Fake;
};

struct FakeRetainedMode2 : Fake<IDirect3DRM2> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE CreateFrame(LPDIRECT3DRMFRAME, LPDIRECT3DRMFRAME2*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateDeviceFromD3D(LPDIRECT3D2, LPDIRECT3DDEVICE2,
                                                  LPDIRECT3DRMDEVICE2*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DRMDEVICE, LPDIRECT3DRMFRAME, DWORD, DWORD,
                                             DWORD, DWORD, LPDIRECT3DRMVIEWPORT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetDefaultTextureColors(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDefaultTextureShades(DWORD) override { return E_NOTIMPL; }
};

struct FakeRetainedDevice : Fake<IDirect3DRMDevice2> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE SetBufferCount(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDither(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetShades(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetQuality(D3DRMRENDERQUALITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTextureQuality(D3DRMTEXTUREQUALITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return E_NOTIMPL; }
};

struct FakeRetainedViewport : Fake<IDirect3DRMViewport> {
    using Fake::Fake;
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ForceUpdate(DWORD, DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBack(D3DVALUE) override { return E_NOTIMPL; }
    D3DVALUE STDMETHODCALLTYPE GetBack() override { return 0.0f; }
    HRESULT STDMETHODCALLTYPE GetDirect3DViewport(LPDIRECT3DVIEWPORT*) override {
        return E_NOTIMPL;
    }
};

// One fake for every interface field of GraphicsState, named after it.
struct FakeGraphicsObjects {
    explicit FakeGraphicsObjects(ReleaseLog& log)
        : ddraw("ddraw", log), d3d("d3d", log), d3drm("d3drm", log), d3drmBase("d3drmBase", log),
          primarySurface("primarySurface", log), backSurface("backSurface", log),
          zBuffer("zBuffer", log), palette("palette", log), clipper("clipper", log),
          device("device", log), rmDevice("rmDevice", log), rmViewport("rmViewport", log) {}

    // Puts one reference of each into the record.
    void Install(GraphicsState& state) {
        state.ddraw = &ddraw;
        state.d3d = &d3d;
        state.d3drm = &d3drm;
        state.d3drmBase = &d3drmBase;
        state.primarySurface = &primarySurface;
        state.backSurface = &backSurface;
        state.zBuffer = &zBuffer;
        state.palette = &palette;
        state.clipper = &clipper;
        state.device = &device;
        state.rmDevice = &rmDevice;
        state.rmViewport = &rmViewport;
    }

    FakeDirectDraw ddraw;
    FakeDirect3D d3d;
    FakeRetainedMode2 d3drm;
    FakeRetainedMode d3drmBase;
    FakeSurface primarySurface;
    FakeSurface backSurface;
    FakeSurface zBuffer;
    FakePalette palette;
    FakeClipper clipper;
    FakeDevice device;
    FakeRetainedDevice rmDevice;
    FakeRetainedViewport rmViewport;
};
