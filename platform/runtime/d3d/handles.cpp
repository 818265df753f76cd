#include "d3d/handles.h"

#include "common/com_ptr.h"
#include "ddraw/surface.h"

#include <algorithm>
#include <vector>

namespace zv::d3d {

namespace {

struct TextureEntry {
    DWORD handle;
    runtime::Com<IDirectDrawSurface> surface;
    const Device* device;
};

struct MaterialEntry {
    DWORD handle;
    Material* material;
    const Device* device;
};

struct Registry {
    std::vector<TextureEntry> textures;
    std::vector<MaterialEntry> materials;
    // Shared by both kinds, so that a texture handle is never taken for a
    // material.
    DWORD last = 0;
    unsigned generation = 0;

    DWORD Next() {
        if (++last == 0)
            ++last;
        return last;
    }

    // Drops the surfaces nobody but the registry holds any more.
    void SweepTextures() {
        for (size_t i = 0; i < textures.size();) {
            IDirectDrawSurface* surface = textures[i].surface.Get();
            const ULONG references = surface->AddRef() - 1;
            surface->Release();
            const auto ours = static_cast<ULONG>(std::count_if(
                textures.begin(), textures.end(),
                [surface](const TextureEntry& e) { return e.surface.Get() == surface; }));
            if (references > ours) {
                ++i;
                continue;
            }
            std::erase_if(textures, [surface](const TextureEntry& e) {
                return e.surface.Get() == surface;
            });
            ++generation;
        }
    }
};

// Never destroyed: devices and materials the program still holds at exit
// may go after the module's statics.
Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

} // namespace

D3DTEXTUREHANDLE TextureHandle(ddraw::Surface& texture, Device& device) {
    Registry& r = TheRegistry();
    r.SweepTextures();
    for (const TextureEntry& e : r.textures)
        if (e.surface.Get() == &texture && e.device == &device)
            return e.handle;
    const DWORD handle = r.Next();
    r.textures.push_back({handle, runtime::Com<IDirectDrawSurface>::Share(&texture), &device});
    return handle;
}

ddraw::Surface* FindTexture(D3DTEXTUREHANDLE handle, const Device& device) {
    if (handle == 0)
        return nullptr;
    for (const TextureEntry& e : TheRegistry().textures)
        if (e.handle == handle)
            return e.device == &device ? ddraw::Surface::From(e.surface.Get()) : nullptr;
    return nullptr;
}

void SweepTextures() {
    TheRegistry().SweepTextures();
}

unsigned TexturesGeneration() {
    return TheRegistry().generation;
}

D3DMATERIALHANDLE MaterialHandle(Material& material, const Device& device) {
    Registry& r = TheRegistry();
    for (const MaterialEntry& e : r.materials)
        if (e.material == &material && e.device == &device)
            return e.handle;
    const DWORD handle = r.Next();
    r.materials.push_back({handle, &material, &device});
    return handle;
}

Material* FindMaterial(D3DMATERIALHANDLE handle, const Device& device) {
    if (handle == 0)
        return nullptr;
    for (const MaterialEntry& e : TheRegistry().materials)
        if (e.handle == handle)
            return e.device == &device ? e.material : nullptr;
    return nullptr;
}

void ForgetMaterial(const Material& material) {
    std::erase_if(TheRegistry().materials,
                  [&](const MaterialEntry& e) { return e.material == &material; });
}

void ForgetDevice(const Device& device) {
    Registry& r = TheRegistry();
    std::erase_if(r.materials, [&](const MaterialEntry& e) { return e.device == &device; });
    if (std::erase_if(r.textures, [&](const TextureEntry& e) { return e.device == &device; }) != 0)
        ++r.generation;
}

} // namespace zv::d3d
