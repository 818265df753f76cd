#include "d3d/texture.h"

#include "d3d/device.h"
#include "d3d/formats.h"
#include "d3d/handles.h"

#include <cstring>
#include <new>

namespace zv::d3d {

namespace {

// A surface locked for the length of a copy.
class Locked {
public:
    explicit Locked(IDirectDrawSurface* surface) : surface_(surface) {
        desc_.dwSize = DDSURFACEDESC_SIZE;
        result_ = surface_->Lock(nullptr, &desc_, DDLOCK_WAIT, nullptr);
    }
    ~Locked() {
        if (SUCCEEDED(result_))
            surface_->Unlock(desc_.lpSurface);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

    HRESULT Result() const { return result_; }
    std::byte* Row(DWORD y) const {
        return static_cast<std::byte*>(desc_.lpSurface) + static_cast<ptrdiff_t>(y) * desc_.lPitch;
    }

private:
    IDirectDrawSurface* surface_;
    DDSURFACEDESC desc_ = {};
    HRESULT result_;
};

} // namespace

HRESULT Texture::Create(ddraw::Surface& surface, void** texture) {
    *texture = nullptr;
    if ((surface.Caps() & DDSCAPS_TEXTURE) == 0)
        return E_NOINTERFACE;
    auto* created = new (std::nothrow) Texture(surface);
    if (created == nullptr)
        return E_OUTOFMEMORY;
    *texture = static_cast<IDirect3DTexture2*>(created);
    return S_OK;
}

Texture::Texture(ddraw::Surface& surface)
    : reference_(runtime::Com<IDirectDrawSurface>::Share(&surface)), surface_(surface) {}

HRESULT Texture::QueryInterface(REFIID riid, void** ppvObject) {
    if (IsEqualIID(riid, IID_IDirect3DTexture2))
        return ComObject::QueryInterface(riid, ppvObject);
    return surface_.QueryInterface(riid, ppvObject);
}

HRESULT Texture::GetHandle(LPDIRECT3DDEVICE2 lpDirect3DDevice2, LPD3DTEXTUREHANDLE lpHandle) {
    Device* device = Device::From(lpDirect3DDevice2);
    if (device == nullptr || lpHandle == nullptr)
        return DDERR_INVALIDPARAMS;
    auto format = RasterFormat(surface_.Format());
    if (!format || !IsTextureFormat(*format))
        return D3DERR_TEXTURE_NO_SUPPORT;
    *lpHandle = TextureHandle(surface_, *device);
    return D3D_OK;
}

HRESULT Texture::Load(LPDIRECT3DTEXTURE2 lpD3DTexture2) {
    auto* source = dynamic_cast<Texture*>(lpD3DTexture2);
    if (source == nullptr)
        return DDERR_INVALIDPARAMS;
    if (source == this)
        return D3D_OK;
    const ddraw::Surface& from = source->surface_;
    if (from.Width() != surface_.Width() || from.Height() != surface_.Height() ||
        !(from.Format() == surface_.Format()))
        return DDERR_INVALIDPARAMS;
    {
        Locked read(source->reference_.Get());
        if (FAILED(read.Result()))
            return read.Result();
        Locked write(reference_.Get());
        if (FAILED(write.Result()))
            return write.Result();
        const size_t rowBytes = static_cast<size_t>(from.Width()) * from.Format().bytesPerPixel;
        for (int y = 0; y < from.Height(); ++y)
            std::memcpy(write.Row(y), read.Row(y), rowBytes);
    }
    if (const ddraw::Palette* palette = from.AttachedPalette()) {
        const auto entries = palette->Entries();
        runtime::Com<IDirectDrawPalette> copy;
        const DWORD size = entries.size() == 16 ? DDPCAPS_4BIT : DDPCAPS_8BIT;
        if (HRESULT hr = ddraw::Palette::Create(size, entries.data(), copy.Put()); FAILED(hr))
            return hr;
        return surface_.SetPalette(copy.Get());
    }
    return D3D_OK;
}

} // namespace zv::d3d
