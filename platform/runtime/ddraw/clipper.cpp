#include "clipper.h"

#include <platform/user.h>

namespace zv::ddraw {

Clipper* Clipper::From(IDirectDrawClipper* clipper) {
    return dynamic_cast<Clipper*>(clipper);
}

HRESULT Clipper::GetHWnd(HWND* lphWnd) {
    if (lphWnd == nullptr)
        return DDERR_INVALIDPARAMS;
    *lphWnd = window_;
    return DD_OK;
}

HRESULT Clipper::SetHWnd(DWORD dwFlags, HWND hWnd) {
    // Null unbinds the clipper again.
    if (dwFlags != 0 || (hWnd != nullptr && !IsWindow(hWnd)))
        return DDERR_INVALIDPARAMS;
    window_ = hWnd;
    return DD_OK;
}

} // namespace zv::ddraw
