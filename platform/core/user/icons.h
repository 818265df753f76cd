// Icons loaded from resource tables, as the rest of the user side sees them.
#pragma once

#include "../backend/window.h"

#include <platform/types.h>

#include <vector>

namespace zv::user {

// Every image of the icon's group; null for a handle that is not an icon.
const std::vector<backend::IconPixels>* IconImages(HICON icon);
// The image LoadIconA chose (the standard size where the group has one).
const backend::IconPixels* IconImage(HICON icon);

} // namespace zv::user
