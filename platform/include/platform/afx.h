// The application class library: for now its message box.
#pragma once

#include <platform/windows.h>

// Shows the text in a modal box captioned with the application's name and
// returns the id of the button that closed it (IDOK for MB_OK). Without a
// display the text goes to standard error and the first button's id is
// returned.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
