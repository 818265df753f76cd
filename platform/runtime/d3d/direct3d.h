// IDirect3D2, reached from a DirectDraw object by QueryInterface: the
// software devices, materials and viewports.
#pragma once

#include <platform/d3d.h>

#include "common/com_object.h"
#include "common/com_ptr.h"

namespace zv::d3d {

class Direct3D final : public runtime::ComObject<IDirect3D2> {
public:
    // Keeps the DirectDraw object alive as long as itself.
    explicit Direct3D(IDirectDraw* directDraw);

    // Reports each software device, in the order of SoftwareDevices(), with
    // an empty hardware description.
    HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK lpEnumDevicesCallback,
                                          LPVOID lpUserArg) override;
    HRESULT STDMETHODCALLTYPE CreateMaterial(LPDIRECT3DMATERIAL2* lplpDirect3DMaterial2,
                                             IUnknown* pUnkOuter) override;
    HRESULT STDMETHODCALLTYPE CreateViewport(LPDIRECT3DVIEWPORT2* lplpD3DViewport2,
                                             IUnknown* pUnkOuter) override;
    // D3DERR_INVALID_DEVICE for a GUID that is none of the software devices.
    HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID rclsid, LPDIRECTDRAWSURFACE lpDDS,
                                           LPDIRECT3DDEVICE2* lplpD3DDevice2) override;

private:
    ~Direct3D() override = default;

    runtime::Com<IDirectDraw> directDraw_;
};

} // namespace zv::d3d
