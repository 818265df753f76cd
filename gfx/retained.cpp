// The retained-mode side of the graphics layer.
#include <gfx/hxp.h>

BOOL CreateD3DRM() {
    OutputDebugStringA("HXP:CreateD3DRM\n");
    // The retained-mode set-up (retained-mode object, palette, 3D device and
    // retained-mode device) is not there yet, so nothing can be built.
    return 0;
}
