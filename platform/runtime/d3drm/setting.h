// The settings of retained-mode objects: kept when acceptable, refused
// whole otherwise.
#pragma once

#include <platform/d3drm.h>

namespace zv::d3drm {

template <class Value> HRESULT KeepIf(bool acceptable, Value& setting, Value value) {
    if (!acceptable)
        return D3DRMERR_BADVALUE;
    setting = value;
    return D3DRM_OK;
}

} // namespace zv::d3drm
