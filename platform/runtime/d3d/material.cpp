#include "d3d/material.h"

#include "d3d/device.h"
#include "d3d/handles.h"

#include <cmath>

namespace zv::d3d {

namespace {

BYTE Channel(D3DVALUE value) {
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return static_cast<BYTE>(std::lround(value * 255.0f));
}

} // namespace

Material::Material() : description_{} {
    description_.dwSize = sizeof(D3DMATERIAL);
}

Material::~Material() {
    ForgetMaterial(*this);
}

HRESULT Material::SetMaterial(LPD3DMATERIAL lpMat) {
    if (lpMat == nullptr || lpMat->dwSize != sizeof(D3DMATERIAL))
        return DDERR_INVALIDPARAMS;
    description_ = *lpMat;
    return D3D_OK;
}

HRESULT Material::GetMaterial(LPD3DMATERIAL lpMat) {
    if (lpMat == nullptr || lpMat->dwSize != sizeof(D3DMATERIAL))
        return DDERR_INVALIDPARAMS;
    *lpMat = description_;
    return D3D_OK;
}

HRESULT Material::GetHandle(LPDIRECT3DDEVICE2 lpDirect3DDevice2, LPD3DMATERIALHANDLE lpHandle) {
    Device* device = Device::From(lpDirect3DDevice2);
    if (device == nullptr || lpHandle == nullptr)
        return DDERR_INVALIDPARAMS;
    *lpHandle = MaterialHandle(*this, *device);
    return D3D_OK;
}

D3DCOLOR DiffuseColour(const D3DMATERIAL& material) {
    const D3DCOLORVALUE& c = material.diffuse;
    return RGBA_MAKE(Channel(c.r), Channel(c.g), Channel(c.b), Channel(c.a));
}

} // namespace zv::d3d
