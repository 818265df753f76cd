// What the texture loader meets outside GDI, as recording fakes: a DirectDraw
// that makes surfaces and palettes, surfaces whose device contexts are real
// GDI contexts over pixels the fake owns, their texture interfaces, a
// Direct3D that makes materials and a device that offers a list of texture
// formats. Objects are named in creation order by kind ("video1",
// "system1", "palette1", "material1"); a surface's texture interface is
// "<surface>.texture". A test makes one step fail by naming it in `failures`.
// Also: bitmap files written byte by byte for GDI to load.
#pragma once

#include "fake_com.h"

#include <bmp/bmp_writer.h>
#include <gfx/BitmapTexture.h>
#include <platform/gdi_surface.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

namespace texture_fakes {

inline std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

// Texture formats as a device describes them.
inline DDPIXELFORMAT Palettised(DWORD bits) {
    DDPIXELFORMAT f = {};
    f.dwSize = sizeof f;
    f.dwFlags = bits == 4 ? DDPF_PALETTEINDEXED4 : DDPF_PALETTEINDEXED8;
    f.dwRGBBitCount = bits;
    return f;
}

inline DDPIXELFORMAT Rgb(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0) {
    DDPIXELFORMAT f = {};
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB | (alpha != 0 ? DDPF_ALPHAPIXELS : 0);
    f.dwRGBBitCount = bits;
    f.dwRBitMask = red;
    f.dwGBitMask = green;
    f.dwBBitMask = blue;
    f.dwRGBAlphaBitMask = alpha;
    return f;
}

inline const DDPIXELFORMAT kPal4 = Palettised(4);
inline const DDPIXELFORMAT kPal8 = Palettised(8);
inline const DDPIXELFORMAT kRgb555 = Rgb(16, 0x7C00, 0x03E0, 0x001F);
inline const DDPIXELFORMAT kRgb565 = Rgb(16, 0xF800, 0x07E0, 0x001F);
inline const DDPIXELFORMAT kRgb24 = Rgb(24, 0xFF0000, 0x00FF00, 0x0000FF);
inline const DDPIXELFORMAT kBgr24 = Rgb(24, 0x0000FF, 0x00FF00, 0xFF0000);
inline const DDPIXELFORMAT kRgb32 = Rgb(32, 0xFF0000, 0x00FF00, 0x0000FF);
inline const DDPIXELFORMAT kArgb1555 = Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
inline const DDPIXELFORMAT kArgb32 = Rgb(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000);

class TextureWorld;

struct TexturePalette : FakePalette {
    TexturePalette(std::string name, ReleaseLog& log, DWORD flags, const PALETTEENTRY* from)
        : FakePalette(std::move(name), log),
          entries(from, from + ((flags & DDPCAPS_8BIT) ? 256 : 16)) {}
    // As many as the creation flags ask for.
    std::vector<PALETTEENTRY> entries;
};

struct TextureSurface;

struct SurfaceTexture : Fake<IDirect3DTexture2> {
    SurfaceTexture(std::string name, TextureWorld& world, TextureSurface& surface);
    HRESULT STDMETHODCALLTYPE GetHandle(LPDIRECT3DDEVICE2 device,
                                        LPD3DTEXTUREHANDLE handle) override;
    HRESULT STDMETHODCALLTYPE Load(LPDIRECT3DTEXTURE2 source) override;

    TextureWorld& world;
    TextureSurface& surface;
};

struct TextureSurface : FakeSurface {
    TextureSurface(std::string name, TextureWorld& world, const DDSURFACEDESC& desc,
                   D3DTEXTUREHANDLE handle);
    ~TextureSurface() { zv::gdi::DeleteSurfaceDC(dc); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override {
        Record("AddRef");
        return FakeSurface::AddRef();
    }
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC* result) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC given) override;
    HRESULT STDMETHODCALLTYPE Restore() override;

    // Pixel (x, y) as the surface stores it, bytes read little-endian.
    uint32_t Pixel(int x, int y) const {
        uint32_t value = 0;
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) / 8;
        for (int i = bytes - 1; i >= 0; --i)
            value = value << 8 | pixels[static_cast<size_t>(y) * pitch + x * bytes + i];
        return value;
    }

    TextureWorld& world;
    DDSURFACEDESC desc;
    int pitch;
    std::vector<uint8_t> pixels;
    TexturePalette* palette = nullptr;
    HDC dc = nullptr;
    // What GetHandle hands out for this surface.
    D3DTEXTUREHANDLE handle;
    SurfaceTexture texture;
};

struct TextureMaterial : Fake<IDirect3DMaterial2> {
    TextureMaterial(std::string name, TextureWorld& world, D3DMATERIALHANDLE handle);
    HRESULT STDMETHODCALLTYPE SetMaterial(LPD3DMATERIAL material) override;
    HRESULT STDMETHODCALLTYPE GetMaterial(LPD3DMATERIAL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHandle(LPDIRECT3DDEVICE2 device,
                                        LPD3DMATERIALHANDLE result) override;

    TextureWorld& world;
    D3DMATERIALHANDLE handle;
    // Every description handed to SetMaterial.
    std::vector<D3DMATERIAL> given;
};

class TextureWorld {
public:
    // Steps a test can make fail: "EnumTextureFormats", "CreateSurface video",
    // "CreateSurface system", "CreatePalette", "SetPalette", "GetDC",
    // "Restore", "QueryInterface", "Load", "GetHandle texture",
    // "CreateMaterial", "SetMaterial", "GetHandle material".
    std::map<std::string, HRESULT> failures;
    // What the device offers, in order.
    std::vector<DDPIXELFORMAT> formats;
    // What the callback answered for each format offered.
    std::vector<HRESULT> callbackResults;
    // Every description CreateSurface was given, failed ones included.
    std::vector<DDSURFACEDESC> descriptions;
    ReleaseLog log;

    struct DirectDraw : FakeDirectDraw {
        DirectDraw(TextureWorld& w) : FakeDirectDraw("ddraw", w.log), world(w) {}
        HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                                                IUnknown* outer) override {
            const DDPIXELFORMAT& f = desc->ddpfPixelFormat;
            const bool video = (desc->ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY) != 0;
            Record("CreateSurface(" + Hex(desc->dwFlags) + ", " + Hex(desc->ddsCaps.dwCaps) + ", " +
                   std::to_string(desc->dwWidth) + "x" + std::to_string(desc->dwHeight) + ", " +
                   std::to_string(f.dwRGBBitCount) + " bits" + (outer ? ", outer" : "") + ")");
            world.descriptions.push_back(*desc);
            // As a runtime would: garbage where the surface would go.
            *surface = reinterpret_cast<LPDIRECTDRAWSURFACE>(0xDEAD);
            HRESULT hr = world.Step(video ? "CreateSurface video" : "CreateSurface system");
            // A runtime makes nothing without a depth.
            if (hr == DD_OK && f.dwRGBBitCount == 0)
                hr = DDERR_INVALIDPIXELFORMAT;
            if (hr == DD_OK)
                *surface = world.NewSurface(video ? "video" : "system", *desc);
            return hr;
        }
        HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries,
                                                LPDIRECTDRAWPALETTE* palette,
                                                IUnknown* outer) override {
            Record("CreatePalette(" + Hex(flags) + (outer ? ", outer" : "") + ")");
            *palette = reinterpret_cast<LPDIRECTDRAWPALETTE>(0xDEAD);
            const HRESULT hr = world.Step("CreatePalette");
            if (hr == DD_OK)
                *palette = world.Make<TexturePalette>("palette", world.log, flags, entries);
            return hr;
        }
        TextureWorld& world;
    };

    struct Direct3D : FakeDirect3D {
        Direct3D(TextureWorld& w) : FakeDirect3D("d3d", w.log), world(w) {}
        HRESULT STDMETHODCALLTYPE CreateMaterial(LPDIRECT3DMATERIAL2* material,
                                                 IUnknown* outer) override {
            Record(std::string("CreateMaterial") + (outer ? "(outer)" : ""));
            *material = reinterpret_cast<LPDIRECT3DMATERIAL2>(0xDEAD);
            const HRESULT hr = world.Step("CreateMaterial");
            if (hr == D3D_OK) {
                const auto handle =
                    static_cast<D3DMATERIALHANDLE>(0x201 + world.count_["material"]);
                *material = world.Make<TextureMaterial>("material", world, handle);
            }
            return hr;
        }
        TextureWorld& world;
    };

    struct Device : FakeDevice {
        Device(TextureWorld& w) : FakeDevice("device", w.log), world(w) {}
        HRESULT STDMETHODCALLTYPE EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK callback,
                                                     LPVOID context) override {
            Record("EnumTextureFormats");
            for (const DDPIXELFORMAT& format : world.formats) {
                DDSURFACEDESC desc = {};
                desc.dwSize = DDSURFACEDESC_SIZE;
                desc.dwFlags = DDSD_CAPS | DDSD_PIXELFORMAT;
                desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
                desc.ddpfPixelFormat = format;
                const HRESULT answer = callback(&desc, context);
                world.callbackResults.push_back(answer);
                if (answer != D3DENUMRET_OK)
                    break;
            }
            return world.Step("EnumTextureFormats");
        }
        TextureWorld& world;
    };

    TextureWorld() : ddraw(*this), d3d(*this), device(*this) {}
    TextureWorld(const TextureWorld&) = delete;
    TextureWorld& operator=(const TextureWorld&) = delete;

    // The objects a graphics set-up would have put into the record.
    void Install() {
        g_hxp.ddraw = &ddraw;
        g_hxp.d3d = &d3d;
        g_hxp.device = &device;
    }

    HRESULT Step(const std::string& step) {
        auto failure = failures.find(step);
        return failure == failures.end() ? DD_OK : failure->second;
    }

    template <class Object> Object& Made(const std::string& name) {
        return dynamic_cast<Object&>(*byName_.at(name));
    }
    bool WasMade(const std::string& name) const { return byName_.count(name) != 0; }

    // References still held on every object made, by name; empty when all
    // went back.
    std::map<std::string, ULONG> HeldReferences() const {
        std::map<std::string, ULONG> held;
        for (const auto& [name, count] : references_)
            if (*count != 0)
                held[name] = *count;
        return held;
    }

    DirectDraw ddraw;
    Direct3D d3d;
    Device device;

private:
    struct Owned {
        virtual ~Owned() = default;
    };
    template <class Object> struct Holder : Owned, Object { using Object::Object; };

    TextureSurface* NewSurface(const std::string& kind, const DDSURFACEDESC& desc) {
        // Handles that tell the surfaces apart.
        const auto handle =
            static_cast<D3DTEXTUREHANDLE>(0x100 + count_["video"] + count_["system"] + 1);
        return Make<TextureSurface>(kind, *this, desc, handle);
    }

    template <class Object, class... Args> Object* Make(const std::string& kind, Args&&... args) {
        const std::string name = kind + std::to_string(++count_[kind]);
        auto holder = std::make_unique<Holder<Object>>(name, std::forward<Args>(args)...);
        Object* object = holder.get();
        byName_[name] = object;
        references_[name] = &object->references;
        made_.push_back(std::move(holder));
        return object;
    }

    std::map<std::string, int> count_;
    std::deque<std::unique_ptr<Owned>> made_;
    std::map<std::string, IUnknown*> byName_;
    std::map<std::string, ULONG*> references_;
};

inline SurfaceTexture::SurfaceTexture(std::string name, TextureWorld& w, TextureSurface& s)
    : Fake(std::move(name), w.log), world(w), surface(s) {
    // Only QueryInterface hands out references to it.
    references = 0;
}

inline HRESULT SurfaceTexture::GetHandle(LPDIRECT3DDEVICE2 device, LPD3DTEXTUREHANDLE handle) {
    Record("GetHandle(" + Log().NameOf(device) + ")");
    *handle = surface.handle;
    return world.Step("GetHandle texture");
}

inline HRESULT SurfaceTexture::Load(LPDIRECT3DTEXTURE2 source) {
    Record("Load(" + Log().NameOf(source) + ")");
    return world.Step("Load");
}

inline TextureSurface::TextureSurface(std::string name, TextureWorld& w, const DDSURFACEDESC& d,
                                      D3DTEXTUREHANDLE h)
    : FakeSurface(name, w.log), world(w), desc(d),
      pitch(static_cast<int>((d.dwWidth * d.ddpfPixelFormat.dwRGBBitCount + 31) / 32 * 4)),
      pixels(static_cast<size_t>(pitch) * d.dwHeight), handle(h),
      texture(name + ".texture", w, *this) {}

inline HRESULT TextureSurface::QueryInterface(REFIID iid, void** object) {
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IDirect3DTexture2))
        return E_NOINTERFACE;
    Record("QueryInterface(IDirect3DTexture2)");
    const HRESULT hr = world.Step("QueryInterface");
    if (hr == DD_OK) {
        texture.AddRef();
        *object = static_cast<IDirect3DTexture2*>(&texture);
    }
    return hr;
}

inline HRESULT TextureSurface::SetPalette(LPDIRECTDRAWPALETTE given) {
    Record("SetPalette(" + Log().NameOf(given) + ")");
    palette = dynamic_cast<TexturePalette*>(given);
    return world.Step("SetPalette");
}

// A real GDI context over the surface's pixels, in the surface's format, so
// BitBlt converts as it would into the runtime's surface.
inline HRESULT TextureSurface::GetDC(HDC* result) {
    Record("GetDC");
    *result = nullptr;
    const HRESULT hr = world.Step("GetDC");
    if (hr != DD_OK)
        return hr;
    const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    const bool indexed = (f.dwFlags & (DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED8)) != 0;
    zv::gdi::SurfacePixels view = {};
    view.bits = pixels.data();
    view.pitch = pitch;
    view.width = static_cast<int>(desc.dwWidth);
    view.height = static_cast<int>(desc.dwHeight);
    view.bitsPerPixel = static_cast<int>(f.dwRGBBitCount);
    if (indexed && palette != nullptr) {
        view.palette = palette->entries.data();
        view.paletteSize = static_cast<int>(palette->entries.size());
    } else if (!indexed) {
        view.redMask = f.dwRBitMask;
        view.greenMask = f.dwGBitMask;
        view.blueMask = f.dwBBitMask;
    }
    dc = zv::gdi::CreateSurfaceDC(view);
    if (dc == nullptr)
        return DDERR_CANTCREATEDC;
    *result = dc;
    return DD_OK;
}

inline HRESULT TextureSurface::ReleaseDC(HDC given) {
    Record(std::string("ReleaseDC(") + (given != nullptr && given == dc ? "its dc" : "other") +
           ")");
    if (given != dc)
        return DDERR_NODC;
    zv::gdi::DeleteSurfaceDC(dc);
    dc = nullptr;
    return DD_OK;
}

inline HRESULT TextureSurface::Restore() {
    Record("Restore");
    return world.Step("Restore");
}

inline TextureMaterial::TextureMaterial(std::string name, TextureWorld& w, D3DMATERIALHANDLE h)
    : Fake(std::move(name), w.log), world(w), handle(h) {}

inline HRESULT TextureMaterial::SetMaterial(LPD3DMATERIAL material) {
    Record("SetMaterial");
    given.push_back(*material);
    return world.Step("SetMaterial");
}

inline HRESULT TextureMaterial::GetHandle(LPDIRECT3DDEVICE2 device, LPD3DMATERIALHANDLE result) {
    Record("GetHandle(" + Log().NameOf(device) + ")");
    *result = handle;
    return world.Step("GetHandle material");
}

// A picture to store as an uncompressed bitmap file: each pixel a colour
// table index when `colours` is not empty, else 0x00RRGGBB.
struct TestPicture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;
    std::vector<uint32_t> colours;
    std::function<uint32_t(int x, int y)> pixel;
};

// Version 3 info header, rows bottom-up, as many table entries as given.
inline std::vector<uint8_t> EncodeBitmapFile(const TestPicture& picture) {
    zv::bmp::BmpPicture stored;
    stored.width = picture.width;
    stored.height = picture.height;
    stored.palette = picture.colours;
    stored.pixels.reserve(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            stored.pixels.push_back(picture.pixel(x, y));
    zv::bmp::BmpFormat format;
    format.bitsPerPixel = static_cast<uint16_t>(picture.bitsPerPixel);
    format.colorsUsed = static_cast<uint32_t>(picture.colours.size());
    return zv::bmp::EncodeBmp(stored, format);
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The program's picture, from the source tree.
inline std::filesystem::path CanBitmapPath() {
    return std::filesystem::path(__FILE__).parent_path() / "../../data/Can1.bmp";
}

// A folder of the test's own under the test temporary folder, removed with
// everything in it when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(std::filesystem::path(::testing::TempDir()) /
                ("zv_texture_" + name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& file) const { return (path_ / file).string(); }

private:
    std::filesystem::path path_;
};

} // namespace texture_fakes
