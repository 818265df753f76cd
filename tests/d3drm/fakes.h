// Recording stand-ins for the Immediate Mode objects that retained-mode
// devices and viewports work over, and retained-mode objects of some other
// implementation. The test owns them and Release never deletes, so a test
// can see every reference given back.
#pragma once

#include <platform/d3d.h>
#include <platform/d3drm.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <type_traits>
#include <vector>

template <class Interface> class Counted : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        *ppvObject = nullptr;
        if (!Answers<Interface>(riid))
            return E_NOINTERFACE;
        *ppvObject = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    // The test's own.
    ULONG references = 1;

private:
    template <class Current> static bool Answers(REFIID riid) {
        if constexpr (std::is_same_v<Current, IUnknown>)
            return IsEqualIID(riid, IID_IUnknown);
        else
            return IsEqualIID(riid, ComInterface<Current>::iid) ||
                   Answers<typename ComInterface<Current>::BaseInterface>(riid);
    }
};

struct ClearCall {
    std::vector<D3DRECT> rects;
    DWORD flags;
};

struct FakeImmediateViewport : Counted<IDirect3DViewport2> {
    HRESULT STDMETHODCALLTYPE SetBackground(D3DMATERIALHANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBackground(LPD3DMATERIALHANDLE, LPBOOL) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Clear(DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags) override {
        clears.push_back({std::vector<D3DRECT>(lpRects, lpRects + dwCount), dwFlags});
        return clearResult;
    }
    HRESULT STDMETHODCALLTYPE SetViewport(LPD3DVIEWPORT lpData) override {
        if (setViewportResult != S_OK)
            return setViewportResult;
        area = *lpData;
        return S_OK;
    }

    std::vector<ClearCall> clears;
    HRESULT clearResult = S_OK;
    std::optional<D3DVIEWPORT> area;
    HRESULT setViewportResult = S_OK;
};

// Hands out a new viewport per CreateViewport; the caller gets the only
// reference to it.
struct FakeDirect3D : Counted<IDirect3D2> {
    HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK, LPVOID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateMaterial(LPDIRECT3DMATERIAL2*, IUnknown*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DVIEWPORT2* lplpD3DViewport2,
                                             IUnknown*) override {
        *lplpD3DViewport2 = nullptr;
        if (createViewportResult != S_OK)
            return createViewportResult;
        FakeImmediateViewport& viewport = viewports.emplace_back();
        viewport.setViewportResult = setViewportResult;
        *lplpD3DViewport2 = &viewport;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID, LPDIRECTDRAWSURFACE,
                                           LPDIRECT3DDEVICE2*) override {
        return E_NOTIMPL;
    }

    std::deque<FakeImmediateViewport> viewports;
    HRESULT createViewportResult = S_OK;
    // What the viewports it makes answer to SetViewport.
    HRESULT setViewportResult = S_OK;
};

// Holds a reference to each viewport added to it, as a device does.
struct FakeImmediateDevice : Counted<IDirect3DDevice2> {
    HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC, LPD3DDEVICEDESC) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddViewport(LPDIRECT3DVIEWPORT2 viewport) override {
        if (addViewportResult != S_OK)
            return addViewportResult;
        viewport->AddRef();
        added.push_back(viewport);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteViewport(LPDIRECT3DVIEWPORT2 viewport) override {
        auto found = std::find(added.begin(), added.end(), viewport);
        if (found == added.end())
            return E_INVALIDARG;
        added.erase(found);
        viewport->Release();
        return S_OK;
    }
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

    std::vector<IDirect3DViewport2*> added;
    HRESULT addViewportResult = S_OK;
};

struct ForeignFrame : Counted<IDirect3DRMFrame2> {
    HRESULT STDMETHODCALLTYPE GetPosition(LPDIRECT3DRMFRAME, LPD3DVECTOR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPosition(LPDIRECT3DRMFRAME, D3DVALUE, D3DVALUE,
                                          D3DVALUE) override {
        return E_NOTIMPL;
    }
};

struct ForeignDevice : Counted<IDirect3DRMDevice2> {
    HRESULT STDMETHODCALLTYPE SetBufferCount(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDither(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetShades(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetQuality(D3DRMRENDERQUALITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTextureQuality(D3DRMTEXTUREQUALITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return E_NOTIMPL; }
};
