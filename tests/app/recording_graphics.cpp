#include "recording_graphics.h"

#include <platform/afx.h>

#include <algorithm>
#include <cstdio>

GraphicsState g_hxp;

namespace apptest {

namespace {

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

void Record(const std::string& call) {
    TheRecorder().log.Add(call);
}

} // namespace

void CallLog::Add(const std::string& call) {
    if (!m_entries.empty() && m_entries.back().first == call)
        ++m_entries.back().second;
    else
        m_entries.emplace_back(call, 1);
}

std::vector<std::string> CallLog::Entries() const {
    std::vector<std::string> entries;
    for (const auto& [call, count] : m_entries)
        entries.push_back(count == 1 ? call : call + " x" + std::to_string(count));
    return entries;
}

template <class Interface>
Recorded<Interface>::Recorded(Recorder& recorder, std::string name)
    : m_recorder(recorder), m_name(std::move(name)) {
    m_recorder.Name(static_cast<Interface*>(this), m_name);
}

template <class Interface>
HRESULT STDMETHODCALLTYPE Recorded<Interface>::QueryInterface(REFIID, void** ppvObject) {
    Record("QueryInterface");
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

template <class Interface> ULONG STDMETHODCALLTYPE Recorded<Interface>::Release() {
    Record("Release");
    return --references;
}

template <class Interface> void Recorded<Interface>::Record(const std::string& call) const {
    m_recorder.log.Add(m_name + "->" + call);
}

HRESULT RecordedFrame::SetPosition(LPDIRECT3DRMFRAME lpRef, D3DVALUE rvX, D3DVALUE rvY,
                                   D3DVALUE rvZ) {
    Record("SetPosition(" + m_recorder.NameOf(lpRef) + ", " + Number(rvX) + ", " + Number(rvY) +
           ", " + Number(rvZ) + ")");
    return D3DRM_OK;
}

HRESULT RecordedMaterial::SetMaterial(LPD3DMATERIAL lpMat) {
    Record("SetMaterial");
    given = *lpMat;
    return D3D_OK;
}

HRESULT RecordedMaterial::GetHandle(LPDIRECT3DDEVICE2 lpDevice, LPD3DMATERIALHANDLE lpHandle) {
    Record("GetHandle(" + m_recorder.NameOf(lpDevice) + ") = " + Hex(m_handle));
    *lpHandle = m_handle;
    return D3D_OK;
}

HRESULT RecordedRetainedMode::CreateFrame(LPDIRECT3DRMFRAME lpParent,
                                          LPDIRECT3DRMFRAME2* lplpFrame) {
    auto& frame = m_recorder.frames.emplace_back(
        m_recorder, "frame" + std::to_string(m_recorder.frames.size() + 1));
    Record("CreateFrame(" + m_recorder.NameOf(lpParent) + ") = " + frame.Name());
    *lplpFrame = &frame;
    return D3DRM_OK;
}

HRESULT RecordedDirect3D::CreateMaterial(LPDIRECT3DMATERIAL2* lplpMaterial, IUnknown* pUnkOuter) {
    auto number = static_cast<DWORD>(m_recorder.materials.size());
    auto& material = m_recorder.materials.emplace_back(
        m_recorder, "material" + std::to_string(number + 1), kFirstMaterialHandle + number);
    Record("CreateMaterial(" + m_recorder.NameOf(pUnkOuter) + ") = " + material.Name());
    *lplpMaterial = &material;
    return D3D_OK;
}

void RecordedDevice::Forget() {
    atEndScene.clear();
    quads.clear();
    m_states = {};
}

HRESULT RecordedDevice::BeginScene() {
    Record("BeginScene");
    quads.clear();
    if (m_recorder.script.atBeginScene)
        m_recorder.script.atBeginScene();
    return D3D_OK;
}

HRESULT RecordedDevice::EndScene() {
    Record("EndScene");
    atEndScene.push_back(m_states);
    return D3D_OK;
}

HRESULT RecordedDevice::SetCurrentViewport(LPDIRECT3DVIEWPORT2 lpViewport) {
    Record("SetCurrentViewport(" + m_recorder.NameOf(lpViewport) + ")");
    return D3D_OK;
}

HRESULT RecordedDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    Record("SetRenderState(" + std::to_string(state) + ", " + Hex(value) + ")");
    if (state == D3DRENDERSTATE_TEXTUREHANDLE)
        m_states.textureHandle = value;
    return D3D_OK;
}

HRESULT RecordedDevice::SetLightState(D3DLIGHTSTATETYPE state, DWORD value) {
    Record("SetLightState(" + std::to_string(state) + ", " + Hex(value) + ")");
    if (state == D3DLIGHTSTATE_MATERIAL) {
        m_states.materialHandle = value;
        if (value != 0 && m_recorder.script.atMaterialSelect)
            m_recorder.script.atMaterialSelect();
    }
    return D3D_OK;
}

HRESULT RecordedDevice::DrawPrimitive(D3DPRIMITIVETYPE type, D3DVERTEXTYPE vertexType,
                                      LPVOID vertices, DWORD count, DWORD flags) {
    Record("DrawPrimitive(" + std::to_string(type) + ", " + std::to_string(vertexType) + ", " +
           std::to_string(count) + ", " + Hex(flags) + ")");
    if (count == kMeshVerticesPerQuad) {
        Quad quad;
        std::copy_n(static_cast<const GridVertex*>(vertices), quad.size(), quad.begin());
        quads.push_back(quad);
    }
    return D3D_OK;
}

HRESULT RecordedViewport::QueryInterface(REFIID riid, void** ppvObject) {
    if (!IsEqualIID(riid, IID_IDirect3DViewport2))
        return Recorded::QueryInterface(riid, ppvObject);
    Record("QueryInterface(IID_IDirect3DViewport2)");
    AddRef();
    *ppvObject = static_cast<IDirect3DViewport2*>(this);
    return D3D_OK;
}

HRESULT RecordedViewport::SetBackground(D3DMATERIALHANDLE hMat) {
    Record("SetBackground(" + Hex(hMat) + ")");
    return D3D_OK;
}

HRESULT RecordedRetainedDevice::Update() {
    Record("Update");
    return D3DRM_OK;
}

HRESULT RecordedRetainedViewport::Clear() {
    Record("Clear");
    return D3DRM_OK;
}

HRESULT RecordedRetainedViewport::ForceUpdate(DWORD dwX1, DWORD dwY1, DWORD dwX2, DWORD dwY2) {
    Record("ForceUpdate(" + std::to_string(dwX1) + ", " + std::to_string(dwY1) + ", " +
           std::to_string(dwX2) + ", " + std::to_string(dwY2) + ")");
    m_recorder.forceUpdate = {dwX1, dwY1, dwX2, dwY2};
    return D3DRM_OK;
}

HRESULT RecordedRetainedViewport::GetDirect3DViewport(LPDIRECT3DVIEWPORT* lplpViewport) {
    // Like the real runtime: the viewport's own reference, none for the caller.
    Record("GetDirect3DViewport = " + m_recorder.viewport.Name());
    *lplpViewport = &m_recorder.viewport;
    return D3DRM_OK;
}

void Recorder::Reset() {
    log.Clear();
    script = Script{};
    frames.clear();
    materials.clear();
    device.Forget();
    forceUpdate = {};
    for (ULONG* references : {&d3drm.references, &d3d.references, &device.references,
                              &rmDevice.references, &rmViewport.references, &viewport.references})
        *references = 1;
    g_hxp = GraphicsState{};
}

std::string Recorder::NameOf(const void* object) const {
    if (object == nullptr)
        return "null";
    auto found = m_names.find(object);
    if (found != m_names.end())
        return found->second;
    char text[32];
    std::snprintf(text, sizeof text, "%p", object);
    return text;
}

Recorder& TheRecorder() {
    // Never destroyed: windows deleted during exit still log their calls.
    static auto* recorder = new Recorder;
    return *recorder;
}

} // namespace apptest

using apptest::Record;
using apptest::TheRecorder;

// The graphics layer's functions, as the application sees them.

BOOL HXPInitialize() {
    Record("HXPInitialize");
    if (!TheRecorder().script.initializeResult)
        return 0;
    static_cast<GraphicsResetBlock&>(g_hxp) = GraphicsResetBlock{};
    return 1;
}

BOOL HXPSetPreferRgb(int prefer) {
    Record("HXPSetPreferRgb(" + std::to_string(prefer) + ")");
    g_hxp.preferRgb = prefer;
    return 1;
}

BOOL HXPSetRenderEnabled(int enabled) {
    Record("HXPSetRenderEnabled(" + std::to_string(enabled) + ")");
    g_hxp.renderEnabled = enabled;
    return 1;
}

BOOL HXPCleanup() {
    Record("HXPCleanup");
    static_cast<GraphicsResetBlock&>(g_hxp) = GraphicsResetBlock{};
    return 1;
}

BOOL CreateDirectDrawWin(HWND hwnd) {
    Record("CreateDirectDrawWin(" + TheRecorder().NameOf(hwnd) + ")");
    g_hxp.hwnd = hwnd;
    return 1;
}

BOOL HXPResizeWindow(HWND hwnd, int newWidth, int newHeight) {
    Record("HXPResizeWindow(" + TheRecorder().NameOf(hwnd) + ", " + std::to_string(newWidth) +
           ", " + std::to_string(newHeight) + ")");
    return 0;
}

BOOL HXPMoveWindow(HWND hwnd) {
    Record("HXPMoveWindow(" + TheRecorder().NameOf(hwnd) + ")");
    return 1;
}

BOOL HXPPresent() {
    Record("HXPPresent");
    return 1;
}

BOOL HXPRestoreSurfaces() {
    Record("HXPRestoreSurfaces");
    return 1;
}

BOOL CreateD3DRM() {
    Record("CreateD3DRM");
    auto& recorder = TheRecorder();
    if (!recorder.script.createD3DRMResult) {
        AfxMessageBox(recorder.script.createD3DRMMessage.c_str(), MB_OK, 0);
        return 0;
    }
    g_hxp.d3drm = &recorder.d3drm;
    g_hxp.d3d = &recorder.d3d;
    g_hxp.device = &recorder.device;
    g_hxp.rmDevice = &recorder.rmDevice;
    return 1;
}

BOOL HXPViewport(LPDIRECT3DRMFRAME2 camera) {
    Record("HXPViewport(" + TheRecorder().NameOf(camera) + ")");
    g_hxp.rmViewport = &TheRecorder().rmViewport;
    return 1;
}

BOOL LoadBitmapTexture(BitmapTexture* texture, LPDIRECT3DDEVICE2 device, LPCSTR name) {
    Record("LoadBitmapTexture(" + TheRecorder().NameOf(device) + ", " + name + ")");
    texture->textureHandle = apptest::kTextureHandle;
    texture->materialHandle = apptest::kTextureMaterialHandle;
    if (TheRecorder().script.duringTextureLoad)
        TheRecorder().script.duringTextureLoad();
    return 1;
}

void ReleaseBitmapTexture(BitmapTexture* texture) {
    Record("ReleaseBitmapTexture");
    texture->textureHandle = 0;
    texture->materialHandle = 0;
}

BitmapTexture::~BitmapTexture() {
    ReleaseBitmapTexture(this);
}
