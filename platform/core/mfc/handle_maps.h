// Objects of the class library for handles: the permanent ones the program
// attached, and temporaries made for handles it only looked at.
#pragma once

#include <platform/afx.h>

namespace zv::afx {

// Frees every temporary object; the program may not keep pointers to them
// past the message it got them in.
void DeleteTemporaryObjects();

// The window procedure of every window with an attached object.
LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace zv::afx
