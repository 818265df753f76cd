// Choosing and creating the Immediate Mode device.
#include <gfx/hxp.h>

// Device selection takes this function's place; until then no device can be
// made, and the retained-mode set-up reports that as its own failure.
BOOL HXPCreateDevice(int) {
    return 0;
}
