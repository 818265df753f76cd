// A graphics layer of the tests' own, linked in place of the real one: every
// HXP function, the texture loader and every interface the application
// reaches through g_hxp write their calls into one log, in call order, and
// answer what the test scripted.
#pragma once

#include <gfx/BitmapTexture.h>
#include <gfx/hxp.h>
#include <sim/WarpedGridMesh.h>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace apptest {

// The handles the recorded loader gives a loaded texture: non-zero, so that
// clearing them shows.
inline constexpr D3DTEXTUREHANDLE kTextureHandle = 0x71;
inline constexpr D3DMATERIALHANDLE kTextureMaterialHandle = 0x72;
// Material objects hand out 0x81, 0x82, ... in the order they are made.
inline constexpr D3DMATERIALHANDLE kFirstMaterialHandle = 0x81;

using Quad = std::array<GridVertex, kMeshVerticesPerQuad>;

struct DeviceStates {
    DWORD textureHandle;
    DWORD materialHandle;
};

class Recorder;

// One log entry per call; a run of identical calls is one entry "call xN".
class CallLog {
public:
    void Add(const std::string& call);
    std::vector<std::string> Entries() const;
    void Clear() { m_entries.clear(); }

private:
    std::vector<std::pair<std::string, int>> m_entries;
};

// The common part of every recorded interface: a name in the log and a
// reference count. The recorder owns the objects; Release never deletes.
template <class Interface> class Recorded : public Interface {
public:
    Recorded(Recorder& recorder, std::string name);
    virtual ~Recorded() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override;

    const std::string& Name() const { return m_name; }
    ULONG references = 1;

protected:
    void Record(const std::string& call) const;
    Recorder& m_recorder;

private:
    std::string m_name;
};

class RecordedFrame : public Recorded<IDirect3DRMFrame2> {
public:
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE GetPosition(LPDIRECT3DRMFRAME, LPD3DVECTOR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPosition(LPDIRECT3DRMFRAME lpRef, D3DVALUE rvX, D3DVALUE rvY,
                                          D3DVALUE rvZ) override;
};

class RecordedMaterial : public Recorded<IDirect3DMaterial2> {
public:
    RecordedMaterial(Recorder& recorder, std::string name, D3DMATERIALHANDLE handle)
        : Recorded(recorder, std::move(name)), m_handle(handle) {}
    HRESULT STDMETHODCALLTYPE SetMaterial(LPD3DMATERIAL lpMat) override;
    HRESULT STDMETHODCALLTYPE GetMaterial(LPD3DMATERIAL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHandle(LPDIRECT3DDEVICE2 lpDevice,
                                        LPD3DMATERIALHANDLE lpHandle) override;

    // What SetMaterial was given last.
    D3DMATERIAL given{};

private:
    D3DMATERIALHANDLE m_handle;
};

class RecordedRetainedMode : public Recorded<IDirect3DRM2> {
public:
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE CreateFrame(LPDIRECT3DRMFRAME lpParent,
                                          LPDIRECT3DRMFRAME2* lplpFrame) override;
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

class RecordedDirect3D : public Recorded<IDirect3D2> {
public:
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK, LPVOID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateMaterial(LPDIRECT3DMATERIAL2* lplpMaterial,
                                             IUnknown* pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DVIEWPORT2*, IUnknown*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID, LPDIRECTDRAWSURFACE,
                                           LPDIRECT3DDEVICE2*) override {
        return E_NOTIMPL;
    }
};

class RecordedDevice : public Recorded<IDirect3DDevice2> {
public:
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC, LPD3DDEVICEDESC) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddViewport(LPDIRECT3DVIEWPORT2) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteViewport(LPDIRECT3DVIEWPORT2) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK, LPVOID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BeginScene() override;
    HRESULT STDMETHODCALLTYPE EndScene() override;
    HRESULT STDMETHODCALLTYPE SetCurrentViewport(LPDIRECT3DVIEWPORT2 lpViewport) override;
    HRESULT STDMETHODCALLTYPE GetCurrentViewport(LPDIRECT3DVIEWPORT2*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE, LPDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT STDMETHODCALLTYPE GetLightState(D3DLIGHTSTATETYPE, LPDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetLightState(D3DLIGHTSTATETYPE state, DWORD value) override;
    HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE type, D3DVERTEXTYPE vertexType,
                                            LPVOID vertices, DWORD count, DWORD flags) override;

    // Back to no scenes, nothing selected.
    void Forget();

    // The texture and material selected, as they stood at each EndScene.
    std::vector<DeviceStates> atEndScene;
    // The quads drawn since the last BeginScene.
    std::vector<Quad> quads;

private:
    DeviceStates m_states{};
};

class RecordedViewport : public Recorded<IDirect3DViewport2> {
public:
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT STDMETHODCALLTYPE SetBackground(D3DMATERIALHANDLE hMat) override;
    HRESULT STDMETHODCALLTYPE GetBackground(LPD3DMATERIALHANDLE, LPBOOL) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Clear(DWORD, LPD3DRECT, DWORD) override { return E_NOTIMPL; }
};

class RecordedRetainedDevice : public Recorded<IDirect3DRMDevice2> {
public:
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE SetBufferCount(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDither(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetShades(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetQuality(D3DRMRENDERQUALITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTextureQuality(D3DRMTEXTUREQUALITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override;
};

class RecordedRetainedViewport : public Recorded<IDirect3DRMViewport> {
public:
    using Recorded::Recorded;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE ForceUpdate(DWORD dwX1, DWORD dwY1, DWORD dwX2, DWORD dwY2) override;
    HRESULT STDMETHODCALLTYPE SetBack(D3DVALUE) override { return E_NOTIMPL; }
    D3DVALUE STDMETHODCALLTYPE GetBack() override { return 0.0f; }
    HRESULT STDMETHODCALLTYPE GetDirect3DViewport(LPDIRECT3DVIEWPORT* lplpViewport) override;
};

// What the recorded layer answers, and where a test cuts in.
struct Script {
    BOOL initializeResult = 1;
    BOOL createD3DRMResult = 1;
    // Shown by a failing CreateD3DRM before it returns 0, as the real one
    // shows its own message.
    std::string createD3DRMMessage = "CreateD3DRM's own message";
    // Run inside LoadBitmapTexture, after it has loaded.
    std::function<void()> duringTextureLoad;
    // Run inside BeginScene.
    std::function<void()> atBeginScene;
    // Run when the texture's material is selected.
    std::function<void()> atMaterialSelect;
};

// The one recorded graphics layer of the test program.
class Recorder {
    // First, so that the objects below can name themselves in it.
    std::map<const void*, std::string> m_names;

public:
    // A fresh log, fresh objects, g_hxp all zeros, the default script.
    void Reset();

    // The name of an object of the layer or of a handle the test named;
    // "null" for null, the address (%p) for anything else.
    std::string NameOf(const void* object) const;
    void Name(const void* object, std::string name) { m_names[object] = std::move(name); }

    CallLog log;
    Script script;

    RecordedRetainedMode d3drm{*this, "d3drm"};
    RecordedDirect3D d3d{*this, "d3d"};
    RecordedDevice device{*this, "device"};
    RecordedRetainedDevice rmDevice{*this, "rmDevice"};
    RecordedRetainedViewport rmViewport{*this, "rmViewport"};
    RecordedViewport viewport{*this, "viewport"};
    // Made on demand, named frame1, frame2, ... and material1, ...
    std::deque<RecordedFrame> frames;
    std::deque<RecordedMaterial> materials;

    // Last ForceUpdate region.
    std::array<DWORD, 4> forceUpdate{};
};

Recorder& TheRecorder();

} // namespace apptest
