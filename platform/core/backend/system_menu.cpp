// The system menu as a popup of our own: window managers on this system keep
// their window menu to themselves, and it would not carry the program's items.
#include "native_window.h"

#include <platform/user.h>

#include <wx/menu.h>

#include <vector>

namespace zv::backend {

void ShowSystemMenu(NativeWindow& window, wxPoint clientPosition, bool fromMouse) {
    HWND hwnd = window.hwnd;
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (menu == nullptr)
        return;
    wxMenu popup;
    std::vector<UINT> commands;
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            popup.AppendSeparator();
            continue;
        }
        char text[256] = {};
        GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
        // Toolkit ids start at 1; the position in `commands` maps them back.
        commands.push_back(GetMenuItemID(menu, position));
        wxMenuItem* item =
            popup.Append(static_cast<int>(commands.size()), wxString::FromUTF8(text));
        item->Enable((state & (MF_GRAYED | MF_DISABLED)) == 0);
    }
    int chosen = window.client->GetPopupMenuSelectionFromUser(popup, clientPosition);
    if (chosen < 1 || chosen > static_cast<int>(commands.size()) || !IsWindow(hwnd))
        return;
    LPARAM where = 0;
    if (fromMouse) {
        POINT screen{clientPosition.x, clientPosition.y};
        ClientToScreen(hwnd, &screen);
        where = MAKELPARAM(screen.x, screen.y);
    }
    SendMessageA(hwnd, WM_SYSCOMMAND, commands[static_cast<size_t>(chosen) - 1], where);
}

} // namespace zv::backend
