// The numbers by which a device refers to textures and materials.
//
// A handle belongs to one device and one object, is the same every time that
// pair asks, and is never handed out again. Materials are the module's own
// objects and take their handles with them when they go. A texture is a
// surface that tells nobody when it goes, so the registry keeps a reference
// to every surface that has a handle: a surface whose only references left
// are the registry's has been released by everyone else, and the next sweep
// drops it and its handles (devices sweep when a texture is selected, a
// handle is asked for and a scene begins). No handle ever leads to a surface
// that is gone.
//
// Single-threaded, like the rest of the module.
#pragma once

#include <platform/d3d.h>

namespace zv::ddraw {
class Surface;
}

namespace zv::d3d {

class Device;
class Material;

D3DTEXTUREHANDLE TextureHandle(ddraw::Surface& texture, Device& device);
// Null for 0, for handles of other devices and for textures swept away.
ddraw::Surface* FindTexture(D3DTEXTUREHANDLE handle, const Device& device);
// Drops the textures nobody but the registry holds, and their handles.
void SweepTextures();
// Changes whenever handles of textures are dropped: a surface found before
// is still there while this stays the same.
unsigned TexturesGeneration();

D3DMATERIALHANDLE MaterialHandle(Material& material, const Device& device);
// Null for 0, for handles of other devices and for released materials.
Material* FindMaterial(D3DMATERIALHANDLE handle, const Device& device);

// The object or device is going: its handles stop working.
void ForgetMaterial(const Material& material);
void ForgetDevice(const Device& device);

} // namespace zv::d3d
