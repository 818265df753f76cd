// IDirect3DTexture2 of a texture surface: an interface the surface hands out
// on request, holding the surface while it lives. Handles belong to the
// surface, not to this interface: they stay valid after it is released, for
// as long as the surface lives (see handles.h).
#pragma once

#include <platform/d3d.h>

#include "common/com_object.h"
#include "common/com_ptr.h"
#include "ddraw/surface.h"

namespace zv::d3d {

class Texture final : public runtime::ComObject<IDirect3DTexture2> {
public:
    // E_NOINTERFACE for surfaces without DDSCAPS_TEXTURE.
    static HRESULT Create(ddraw::Surface& surface, void** texture);

    // Other interfaces are the surface's own.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;

    // D3DERR_TEXTURE_NO_SUPPORT for a surface format the device cannot sample.
    HRESULT STDMETHODCALLTYPE GetHandle(LPDIRECT3DDEVICE2 lpDirect3DDevice2,
                                        LPD3DTEXTUREHANDLE lpHandle) override;
    // Copies the pixels of a texture of the same size and format into this
    // one, and gives this one its own copy of the source's palette.
    HRESULT STDMETHODCALLTYPE Load(LPDIRECT3DTEXTURE2 lpD3DTexture2) override;

private:
    explicit Texture(ddraw::Surface& surface);
    ~Texture() override = default;

    runtime::Com<IDirectDrawSurface> reference_;
    ddraw::Surface& surface_;
};

} // namespace zv::d3d
