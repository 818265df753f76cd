// DirectDraw clippers: a blit to the primary surface lands only in the
// visible client area of the clipper's window.
#pragma once

#include <platform/ddraw.h>

#include "common/com_object.h"

namespace zv::ddraw {

class Clipper final : public runtime::ComObject<IDirectDrawClipper> {
public:
    // Null for clippers this module did not make.
    static Clipper* From(IDirectDrawClipper* clipper);

    HRESULT STDMETHODCALLTYPE GetHWnd(HWND* lphWnd) override;
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD dwFlags, HWND hWnd) override;

    // Null until a window is set. The clip list is the window's visible
    // client area whenever it is asked for, so it follows every move.
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
};

} // namespace zv::ddraw
