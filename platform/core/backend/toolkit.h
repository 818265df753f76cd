// The toolkit backend as the rest of the core sees it. No toolkit type
// appears here: the toolkit's headers stay inside this folder.
#pragma once

#include <platform/display.h>
#include <platform/types.h>

namespace zv::backend {

// Starts the toolkit on first use, forcing the X11 backend and loading the
// font aliases first. False while there is no display to talk to, and for
// good once starting has failed.
bool StartToolkit();

// The modal box with the buttons of the type's low bits; returns the id of
// the button that closed it. Needs a started toolkit.
int ShowMessageBox(const char* text, const char* caption, UINT type);

// The button a box of this type answers with when nobody can press one.
int DefaultButton(UINT type);

// Maps the face names of the program's dialogs to the installed Japanese
// Gothic fonts; the toolkit must not have loaded fonts yet.
bool LoadFontAliases();

// The default screen's format; false when no X server answers.
bool QueryScreenFormat(display::ScreenFormat& format);

} // namespace zv::backend
