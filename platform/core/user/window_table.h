// The table behind HWND: every live window of the process, shared by the
// program and the runtime modules because it lives in the core library.
// Windows belong to the one user-interface thread, so the table has no lock.
#pragma once

#include <platform/types.h>

namespace zv::backend {
class NativeWindow;
}

namespace zv::user {

struct Window {
    HWND handle = nullptr;
    // The toolkit's side of the window; null once the window is destroyed.
    backend::NativeWindow* native = nullptr;
};

// The live window behind the handle, or null.
Window* FindWindowRecord(HWND hwnd);

} // namespace zv::user
