// Windows as the rest of the core sees the toolkit's side of them. No
// toolkit type appears here.
#pragma once

#include <platform/types.h>

namespace zv::backend {

class NativeWindow;

SIZE ClientSize(const NativeWindow& window);
// The client area's top-left corner in screen coordinates.
POINT ClientOrigin(const NativeWindow& window);

// Copies the pixels (16 or 32 bits each, as the screen has them) to the
// client area with their top-left corner at (clientX, clientY), clipped to the
// client area, and keeps them so that an expose repaints the same picture.
void Present(NativeWindow& window, int clientX, int clientY, int width, int height,
             const void* pixels, int pitch, int bitsPerPixel);

} // namespace zv::backend
