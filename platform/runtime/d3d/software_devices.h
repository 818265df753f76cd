// The software devices this module offers, in the order EnumDevices reports
// them: the order in which device selection falls back through them, so that
// the first device matching a colour model is the one that will be made.
#pragma once

#include <platform/d3d.h>

#include <zv/raster.h>

#include <span>
#include <string>

namespace zv::d3d {

struct SoftwareDevice {
    const GUID* guid;
    const char* name;
    D3DCOLORMODEL colorModel;
    // Vectorised devices run the widest backend this CPU has.
    bool vectorised;

    raster::Backend Backend() const;
    // What the device is, for EnumDevices' description text.
    std::string Description() const;
    // The software (HEL) description: what the device really does.
    D3DDEVICEDESC Capabilities() const;
};

std::span<const SoftwareDevice> SoftwareDevices();
// Null for GUIDs of devices this module does not have.
const SoftwareDevice* FindSoftwareDevice(REFCLSID guid);

// A description of nothing, as software devices give for their hardware.
D3DDEVICEDESC NoCapabilities();

} // namespace zv::d3d
