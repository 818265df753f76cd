#include "d3d/direct3d.h"

#include "d3d/device.h"
#include "d3d/material.h"
#include "d3d/software_devices.h"
#include "d3d/texture.h"
#include "d3d/viewport.h"
#include "ddraw/direct_draw.h"

#include <new>
#include <string>
#include <vector>

namespace zv::d3d {

namespace {

// A new object of the module handed out through one of its interfaces.
template <class Object, class Interface>
HRESULT CreateObject(Interface** created, IUnknown* outer) {
    if (created == nullptr)
        return DDERR_INVALIDPARAMS;
    *created = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    auto* object = new (std::nothrow) Object;
    if (object == nullptr)
        return DDERR_OUTOFMEMORY;
    *created = object;
    return D3D_OK;
}

HRESULT ProvideDirect3D(ddraw::DirectDraw& directDraw, REFIID riid, void** object) {
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IDirect3D2))
        return E_NOINTERFACE;
    auto* direct3D = new (std::nothrow) Direct3D(&directDraw);
    if (direct3D == nullptr)
        return E_OUTOFMEMORY;
    *object = static_cast<IDirect3D2*>(direct3D);
    return S_OK;
}

HRESULT ProvideTexture(ddraw::Surface& surface, REFIID riid, void** object) {
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IDirect3DTexture2))
        return E_NOINTERFACE;
    return Texture::Create(surface, object);
}

// Installed when the module is loaded.
[[maybe_unused]] const bool kProvidersInstalled = [] {
    ddraw::SetDirectDrawInterfaceProvider(&ProvideDirect3D);
    ddraw::SetSurfaceInterfaceProvider(&ProvideTexture);
    return true;
}();

// A writable copy of a text for a callback that takes char*.
std::vector<char> Text(const std::string& text) {
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

} // namespace

Direct3D::Direct3D(IDirectDraw* directDraw)
    : directDraw_(runtime::Com<IDirectDraw>::Share(directDraw)) {}

HRESULT Direct3D::EnumDevices(LPD3DENUMDEVICESCALLBACK lpEnumDevicesCallback, LPVOID lpUserArg) {
    if (lpEnumDevicesCallback == nullptr)
        return DDERR_INVALIDPARAMS;
    for (const SoftwareDevice& device : SoftwareDevices()) {
        // Copies, so that a callback writing into them changes nothing here.
        GUID guid = *device.guid;
        std::vector<char> description = Text(device.Description());
        std::vector<char> name = Text(device.name);
        D3DDEVICEDESC hardware = NoCapabilities();
        D3DDEVICEDESC software = device.Capabilities();
        if (lpEnumDevicesCallback(&guid, description.data(), name.data(), &hardware, &software,
                                  lpUserArg) == D3DENUMRET_CANCEL)
            break;
    }
    return D3D_OK;
}

HRESULT Direct3D::CreateMaterial(LPDIRECT3DMATERIAL2* lplpDirect3DMaterial2,
                                 IUnknown* pUnkOuter) {
    return CreateObject<Material>(lplpDirect3DMaterial2, pUnkOuter);
}

HRESULT Direct3D::CreateViewport(LPDIRECT3DVIEWPORT2* lplpD3DViewport2, IUnknown* pUnkOuter) {
    return CreateObject<Viewport>(lplpD3DViewport2, pUnkOuter);
}

HRESULT Direct3D::CreateDevice(REFCLSID rclsid, LPDIRECTDRAWSURFACE lpDDS,
                               LPDIRECT3DDEVICE2* lplpD3DDevice2) {
    if (lplpD3DDevice2 == nullptr)
        return DDERR_INVALIDPARAMS;
    *lplpD3DDevice2 = nullptr;
    const SoftwareDevice* kind = FindSoftwareDevice(rclsid);
    if (kind == nullptr)
        return D3DERR_INVALID_DEVICE;
    return Device::Create(*kind, lpDDS, lplpD3DDevice2);
}

} // namespace zv::d3d
