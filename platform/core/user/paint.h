// Paint contexts handed out by BeginPaint.
#pragma once

#include <platform/types.h>

namespace zv::user {

// The window a context from BeginPaint paints, until EndPaint; else null.
HWND WindowOfPaintContext(HDC dc);

} // namespace zv::user
