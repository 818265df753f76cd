// DirectDraw surfaces: the primary surface that stands for the screen, and
// off-screen, 3D-device, texture and Z-buffer surfaces in memory.
//
// The rest of the module (Direct3D) works on surfaces through this class:
//
//   Surface* target = Surface::From(lpDDS);      // null: not one of ours
//   std::byte* pixels = target->Pixels();         // null while lost
//   row y starts at pixels + y * target->Pitch()
//   target->Format(), Width(), Height(), Caps()
//   Surface* depth = target->ZBuffer();           // attached Z buffer or null
//   const Palette* palette = target->AttachedPalette();
//
// Everything runs on the one user-interface thread; nothing here locks.
#pragma once

#include <platform/ddraw.h>

#include "clipper.h"
#include "common/com_object.h"
#include "common/com_ptr.h"
#include "palette.h"
#include "pixel_format.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace zv::ddraw {

inline constexpr DWORD DDSCAPS_VISIBLE = 0x8000;

// The largest surface side, and the most memory one surface may take.
inline constexpr DWORD kMaxSurfaceSide = 16384;
inline constexpr size_t kMaxSurfaceBytes = size_t{256} << 20;

// What a DirectDraw object shares with the surfaces it made: the screen they
// stand for, and whether its one primary surface exists.
struct Display {
    display::ScreenFormat screen;
    PixelFormat format;
    bool primaryExists = false;
};

class Surface final : public runtime::ComObject<IDirectDrawSurface> {
public:
    // Checks the description as IDirectDraw::CreateSurface takes it (dwSize
    // already checked) and makes the surface.
    static HRESULT Create(const std::shared_ptr<Display>& display, const DDSURFACEDESC& desc,
                          LPDIRECTDRAWSURFACE* surface);

    // Null for surfaces this module did not make.
    static Surface* From(IUnknown* surface);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;

    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE lpDDSAttachedSurface) override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE lpDDSrcSurface,
                                  LPRECT lpSrcRect, DWORD dwFlags, LPDDBLTFX lpDDBltFx) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC* lphDC) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT lpDDPixelFormat) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC lpDDSurfaceDesc) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT lpDestRect, LPDDSURFACEDESC lpDDSurfaceDesc,
                                   DWORD dwFlags, HANDLE hEvent) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER lpDDClipper) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE lpDDPalette) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID lpSurfaceData) override;

    // The top row of the pixels; null while the surface is lost and for the
    // primary surface, whose pixels are the screen's.
    std::byte* Pixels() const { return lost_ ? nullptr : memory_.get(); }
    // Bytes from one row to the next, a multiple of 4.
    int Pitch() const { return pitch_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    const PixelFormat& Format() const { return format_; }
    // DDSCAPS_ flags as GetSurfaceDesc reports them, with the memory placement.
    DWORD Caps() const { return caps_; }
    bool IsPrimary() const { return (caps_ & DDSCAPS_PRIMARYSURFACE) != 0; }
    bool Lost() const { return lost_; }
    Surface* ZBuffer() const { return From(zBuffer_.Get()); }
    // SetPalette admits only this module's palettes: no need to look again.
    const Palette* AttachedPalette() const { return static_cast<const Palette*>(palette_.Get()); }

    // Gives the memory up, as a display change does; IsLost then says so
    // until Restore. A device context handed out goes with it.
    void Lose();

private:
    Surface(std::shared_ptr<Display> display, DWORD caps, int width, int height,
            const PixelFormat& format);
    ~Surface() override;

    struct FreeMemory {
        void operator()(std::byte* memory) const { std::free(memory); }
    };

    bool Allocate();
    RECT Bounds() const;
    bool Busy() const { return locked_ || dc_ != nullptr; }
    std::byte* PixelAt(LONG x, LONG y) const;
    void Describe(DDSURFACEDESC& desc) const;
    // DD_OK and the converter from the source's pixels to this surface's.
    HRESULT PrepareConverter(const Surface& source, PixelConverter& converter) const;
    HRESULT BlitToScreen(const RECT& to, const Surface& source, const RECT& from);

    std::shared_ptr<Display> display_;
    DWORD caps_;
    int width_;
    int height_;
    PixelFormat format_;
    int pitch_;
    std::unique_ptr<std::byte, FreeMemory> memory_;
    bool lost_ = false;
    bool locked_ = false;
    HDC dc_ = nullptr;
    // A Z buffer that is attached to a surface cannot be attached again.
    bool attached_ = false;
    runtime::Com<IDirectDrawSurface> zBuffer_;
    runtime::Com<IDirectDrawClipper> clipper_;
    runtime::Com<IDirectDrawPalette> palette_;
    // The primary surface's converted pixels, kept between frames.
    std::vector<std::byte> screenPixels_;
};

// Further interfaces of a surface (Direct3D's texture interface), answered by
// another part of the module once it installs its provider. A provider
// returns E_NOINTERFACE for ids it does not know.
using SurfaceInterfaceProvider = HRESULT (*)(Surface& surface, REFIID riid, void** object);
void SetSurfaceInterfaceProvider(SurfaceInterfaceProvider provider);

} // namespace zv::ddraw
