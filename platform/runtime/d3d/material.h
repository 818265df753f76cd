// Materials: a D3DMATERIAL description and a handle per device.
#pragma once

#include <platform/d3d.h>

#include "common/com_object.h"

namespace zv::d3d {

class Material final : public runtime::ComObject<IDirect3DMaterial2> {
public:
    Material();

    HRESULT STDMETHODCALLTYPE SetMaterial(LPD3DMATERIAL lpMat) override;
    HRESULT STDMETHODCALLTYPE GetMaterial(LPD3DMATERIAL lpMat) override;
    HRESULT STDMETHODCALLTYPE GetHandle(LPDIRECT3DDEVICE2 lpDirect3DDevice2,
                                        LPD3DMATERIALHANDLE lpHandle) override;

    const D3DMATERIAL& Description() const { return description_; }

private:
    ~Material() override;

    D3DMATERIAL description_;
};

// The colour a material's diffuse component gives, 0xAARRGGBB, each channel
// clamped to 0..1 (NaN counts as 0).
D3DCOLOR DiffuseColour(const D3DMATERIAL& material);

} // namespace zv::d3d
