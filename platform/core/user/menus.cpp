// Menus, and the system menu every window with WS_SYSMENU has: the standard
// items, kept in step with the window's state, then the program's own.
#include "window_table.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace zv::user {

namespace {

struct MenuItem {
    UINT flags;
    UINT_PTR id;
    std::string text;
};

struct Menu {
    std::vector<MenuItem> items;
    // System menus: how many of the items are the standard ones.
    size_t standardItems = 0;
};

struct MenuTable {
    std::map<HMENU, std::unique_ptr<Menu>> menus;
    uintptr_t nextHandle = 0x30000;
};

MenuTable& Menus() {
    static auto* table = new MenuTable;
    return *table;
}

Menu* FindMenu(HMENU handle) {
    auto found = Menus().menus.find(handle);
    return found == Menus().menus.end() ? nullptr : found->second.get();
}

HMENU AddMenu() {
    Menus().nextHandle += 4;
    auto handle = reinterpret_cast<HMENU>(Menus().nextHandle);
    Menus().menus.emplace(handle, std::make_unique<Menu>());
    return handle;
}

MenuItem* FindItem(Menu& menu, UINT item, UINT flags) {
    if (flags & MF_BYPOSITION)
        return item < menu.items.size() ? &menu.items[item] : nullptr;
    auto found = std::find_if(menu.items.begin(), menu.items.end(), [item](const MenuItem& i) {
        return !(i.flags & MF_SEPARATOR) && i.id == item;
    });
    return found == menu.items.end() ? nullptr : &*found;
}

bool HasSizingOrBoxes(DWORD style) {
    return (style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0;
}

// Windows without a sizing border or boxes (dialog frames) offer only Move
// and Close, as on the original platform.
void FillStandardItems(Menu& menu, DWORD style) {
    menu.items.clear();
    if (HasSizingOrBoxes(style)) {
        menu.items.push_back({MF_STRING, SC_RESTORE, "&Restore"});
        menu.items.push_back({MF_STRING, SC_MOVE, "&Move"});
        menu.items.push_back({MF_STRING, SC_SIZE, "&Size"});
        menu.items.push_back({MF_STRING, SC_MINIMIZE, "Mi&nimize"});
        menu.items.push_back({MF_STRING, SC_MAXIMIZE, "Ma&ximize"});
        menu.items.push_back({MF_SEPARATOR, 0, ""});
    } else {
        menu.items.push_back({MF_STRING, SC_MOVE, "&Move"});
    }
    menu.items.push_back({MF_STRING, SC_CLOSE, "&Close"});
    menu.standardItems = menu.items.size();
}

void SetGrayed(Menu& menu, UINT id, bool grayed) {
    if (MenuItem* item = FindItem(menu, id, MF_BYCOMMAND))
        item->flags = grayed ? (item->flags | MF_GRAYED) : (item->flags & ~MF_GRAYED);
}

// Greys what does not apply to the window as it is now.
void UpdateStandardItems(Menu& menu, HWND hwnd, DWORD style) {
    bool iconic = IsIconic(hwnd), zoomed = IsZoomed(hwnd);
    SetGrayed(menu, SC_RESTORE, !iconic && !zoomed);
    SetGrayed(menu, SC_MOVE, zoomed);
    SetGrayed(menu, SC_SIZE, !(style & WS_THICKFRAME) || iconic || zoomed);
    SetGrayed(menu, SC_MINIMIZE, !(style & WS_MINIMIZEBOX) || iconic);
    SetGrayed(menu, SC_MAXIMIZE, !(style & WS_MAXIMIZEBOX) || zoomed);
}

} // namespace

void ForgetSystemMenu(Window& window) {
    Menus().menus.erase(window.systemMenu);
    window.systemMenu = nullptr;
}

} // namespace zv::user

extern "C" {

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert) {
    using namespace zv::user;
    Window* window = FindWindowRecord(hWnd);
    if (window == nullptr || !(window->style & WS_SYSMENU) || window->parent != nullptr)
        return nullptr;
    if (bRevert) {
        if (Menu* menu = FindMenu(window->systemMenu))
            menu->items.resize(menu->standardItems);
        return nullptr;
    }
    if (window->systemMenu == nullptr) {
        window->systemMenu = AddMenu();
        FillStandardItems(*FindMenu(window->systemMenu), window->style);
    }
    UpdateStandardItems(*FindMenu(window->systemMenu), hWnd, window->style);
    return window->systemMenu;
}

HMENU WINAPI CreatePopupMenu() {
    return zv::user::AddMenu();
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    return zv::user::Menus().menus.erase(hMenu) > 0;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    zv::user::Menu* menu = zv::user::FindMenu(hMenu);
    if (menu == nullptr)
        return FALSE;
    if (uFlags & MF_SEPARATOR)
        menu->items.push_back({MF_SEPARATOR, 0, ""});
    else
        menu->items.push_back({uFlags, uIDNewItem, lpNewItem != nullptr ? lpNewItem : ""});
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    zv::user::Menu* menu = zv::user::FindMenu(hMenu);
    return menu != nullptr ? static_cast<int>(menu->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
    zv::user::Menu* menu = zv::user::FindMenu(hMenu);
    if (menu == nullptr || nPos < 0 || static_cast<size_t>(nPos) >= menu->items.size())
        return static_cast<UINT>(-1);
    return static_cast<UINT>(menu->items[static_cast<size_t>(nPos)].id);
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
    zv::user::Menu* menu = zv::user::FindMenu(hMenu);
    zv::user::MenuItem* item = menu != nullptr ? zv::user::FindItem(*menu, uId, uFlags) : nullptr;
    if (item == nullptr)
        return static_cast<UINT>(-1);
    return item->flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR);
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    zv::user::Menu* menu = zv::user::FindMenu(hMenu);
    zv::user::MenuItem* item =
        menu != nullptr ? zv::user::FindItem(*menu, uIDItem, flags) : nullptr;
    if (item == nullptr)
        return 0;
    if (lpString == nullptr || cchMax <= 0)
        return static_cast<int>(item->text.size());
    size_t length = std::min(item->text.size(), static_cast<size_t>(cchMax - 1));
    std::memcpy(lpString, item->text.data(), length);
    lpString[length] = '\0';
    return static_cast<int>(length);
}

BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
    zv::user::Menu* menu = zv::user::FindMenu(hMenu);
    zv::user::MenuItem* item =
        menu != nullptr ? zv::user::FindItem(*menu, uIDEnableItem, uEnable) : nullptr;
    if (item == nullptr)
        return static_cast<BOOL>(-1);
    UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
    item->flags =
        (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(previous);
}
}
