// What the X server shows, read on a connection of the test's own. Xlib
// stays in its source file: its macros clash with the test framework's names.
#pragma once

#include <platform/types.h>

#include <cstdint>
#include <vector>

// The screen's pixels inside the rectangle as 0xRRGGBB, row by row; empty
// when there is no X server to ask.
std::vector<uint32_t> ScreenPixels(const RECT& area);
