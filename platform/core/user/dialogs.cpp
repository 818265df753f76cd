// Dialogs built from the templates of a resource table: laid out in dialog
// units of the template's font, centred, with their controls.
#include "../backend/window.h"
#include "icons.h"
#include "window_table.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

using zv::user::FindWindowRecord;
using zv::user::Window;

// Dialog units to pixels, rounded as the original platform rounds them.
LONG Scale(int units, LONG base, int per) {
    long long scaled = static_cast<long long>(units) * base;
    return static_cast<LONG>((scaled + (scaled >= 0 ? per / 2 : -per / 2)) / per);
}

RECT PixelRect(const rsrc::DialogItem& item, SIZE base) {
    LONG left = Scale(item.x, base.cx, 4), top = Scale(item.y, base.cy, 8);
    return {left, top, left + Scale(item.cx, base.cx, 4), top + Scale(item.cy, base.cy, 8)};
}

std::optional<zv::backend::ControlKind> KindOf(const rsrc::DialogItem& item) {
    if (strcasecmp(item.className, "STATIC") == 0)
        return (item.style & SS_TYPEMASK) == SS_ICON ? zv::backend::ControlKind::Icon
                                                     : zv::backend::ControlKind::Text;
    if (strcasecmp(item.className, "BUTTON") == 0)
        return zv::backend::ControlKind::Button;
    return std::nullopt;
}

bool AddControl(Window& dialog, const rsrc::DialogItem& item, SIZE base, HINSTANCE module) {
    std::optional<zv::backend::ControlKind> kind = KindOf(item);
    if (!kind)
        return false;
    auto record = std::make_unique<Window>();
    record->proc = DefWindowProcA;
    record->style = item.style;
    record->exStyle = item.exStyle;
    record->id = item.id;
    record->parent = dialog.handle;
    Window& control = zv::user::AddWindow(std::move(record));
    dialog.children.push_back(control.handle);

    zv::backend::ControlSpec spec;
    spec.hwnd = control.handle;
    spec.kind = *kind;
    spec.id = item.id;
    spec.text = item.text != nullptr ? item.text : "";
    spec.noPrefix = (item.style & SS_NOPREFIX) != 0 && *kind == zv::backend::ControlKind::Text;
    spec.defaultButton =
        *kind == zv::backend::ControlKind::Button && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    spec.visible = (item.style & WS_VISIBLE) != 0;
    spec.rect = PixelRect(item, base);
    if (*kind == zv::backend::ControlKind::Icon)
        spec.icon = zv::user::IconImage(LoadIconA(module, MAKEINTRESOURCEA(item.imageId)));
    control.native = zv::backend::CreateControl(*dialog.native, spec);
    return control.native != nullptr;
}

// Over the owner, or on the primary screen's work area without one, and
// kept inside the work area.
POINT CentredPosition(const Window& dialog) {
    RECT area = zv::backend::WorkArea();
    RECT around = area;
    if (Window* owner = FindWindowRecord(dialog.owner); owner != nullptr && owner->native)
        around = zv::backend::WindowRect(*owner->native);
    RECT outer = zv::backend::WindowRect(*dialog.native);
    LONG width = outer.right - outer.left, height = outer.bottom - outer.top;
    LONG x = around.left + (around.right - around.left - width) / 2;
    LONG y = around.top + (around.bottom - around.top - height) / 2;
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    return {x, y};
}

HWND FirstTabStop(const Window& dialog) {
    for (HWND child : dialog.children)
        if (Window* control = FindWindowRecord(child))
            if ((control->style & (WS_TABSTOP | WS_VISIBLE)) == (WS_TABSTOP | WS_VISIBLE) &&
                !(control->style & WS_DISABLED))
                return child;
    return nullptr;
}

// Creates the dialog and runs it up to and including WM_INITDIALOG; showing
// it is the caller's affair.
HWND BuildDialog(HINSTANCE module, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param,
                 bool modal) {
    const rsrc::ResourceTable* table = zv::user::ResourcesOf(module);
    if (table == nullptr || !IS_INTRESOURCE(name))
        return nullptr;
    const rsrc::DialogTemplate* form =
        rsrc::FindDialog(*table, static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)));
    if (form == nullptr)
        return nullptr;

    auto record = std::make_unique<Window>();
    record->proc = DefDlgProcA;
    record->dialog = true;
    record->dialogProc = proc;
    record->modal = modal;
    record->style = form->style;
    record->exStyle = form->exStyle;
    record->owner = zv::user::TopLevelOf(parent);
    Window& dialog = zv::user::AddWindow(std::move(record));
    HWND hwnd = dialog.handle;
    zv::user::RunCreationHook(hwnd);

    zv::backend::FontSpec font;
    zv::backend::TopLevelSpec spec;
    spec.hwnd = hwnd;
    spec.caption = form->caption != nullptr ? form->caption : "";
    spec.style = form->style;
    spec.dialog = true;
    if ((form->style & DS_SETFONT) && form->faceName != nullptr) {
        font = {form->faceName, form->pointSize, form->extended ? form->weight : 0,
                form->extended && form->italic != 0};
        spec.font = &font;
    }
    if (Window* owner = FindWindowRecord(dialog.owner))
        spec.owner = owner->native;
    dialog.native = zv::backend::CreateTopLevel(spec);
    if (dialog.native == nullptr) {
        zv::user::RemoveWindow(hwnd);
        return nullptr;
    }

    SIZE base = zv::backend::DialogBaseUnits(*dialog.native);
    zv::backend::SetClientSize(*dialog.native,
                               {Scale(form->cx, base.cx, 4), Scale(form->cy, base.cy, 8)});
    for (const auto& item : form->items)
        if (!AddControl(dialog, item, base, module)) {
            DestroyWindow(hwnd);
            return nullptr;
        }
    bool centred = form->x == 0 && form->y == 0 && !(form->style & DS_ABSALIGN);
    if (centred || (form->style & DS_CENTER))
        zv::backend::MoveCentredTo(*dialog.native, CentredPosition(dialog));
    else
        zv::backend::MoveTo(*dialog.native,
                            {Scale(form->x, base.cx, 4), Scale(form->y, base.cy, 8)});

    zv::backend::ReportGeometry(*dialog.native);
    if (!IsWindow(hwnd))
        return nullptr;
    HWND first = FirstTabStop(dialog);
    if (SendMessageA(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && IsWindow(hwnd))
        SetFocus(first != nullptr ? first : hwnd);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

} // namespace

extern "C" {

HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    HWND hwnd =
        BuildDialog(hInstance, lpTemplateName, hWndParent, lpDialogFunc, dwInitParam, false);
    if (hwnd != nullptr && (FindWindowRecord(hwnd)->style & WS_VISIBLE))
        ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    HWND hwnd = BuildDialog(hInstance, lpTemplateName, hWndParent, lpDialogFunc, dwInitParam, true);
    if (hwnd == nullptr)
        return -1;
    Window* dialog = FindWindowRecord(hwnd);
    HWND owner = dialog->owner;
    bool ownerWasEnabled = IsWindowEnabled(owner);
    if (!dialog->ended) {
        if (ownerWasEnabled)
            EnableWindow(owner, FALSE);
        zv::backend::RunModal(*dialog->native);
        if (ownerWasEnabled)
            EnableWindow(owner, TRUE);
    }
    dialog = FindWindowRecord(hwnd);
    // Destroyed without EndDialog: the box was cancelled.
    INT_PTR result = dialog != nullptr && dialog->ended ? dialog->result : IDCANCEL;
    DestroyWindow(hwnd);
    return result;
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    Window* dialog = FindWindowRecord(hDlg);
    if (dialog == nullptr || !dialog->dialog)
        return FALSE;
    dialog->ended = true;
    dialog->result = nResult;
    if (dialog->modal)
        zv::backend::EndModal(*dialog->native, nResult);
    else
        // A modeless dialog is only hidden: its owner decides when it goes.
        ShowWindow(hDlg, SW_HIDE);
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    Window* dialog = FindWindowRecord(hDlg);
    if (dialog == nullptr)
        return nullptr;
    for (HWND child : dialog->children)
        if (Window* control = FindWindowRecord(child); control && control->id == nIDDlgItem)
            return child;
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    Window* window = FindWindowRecord(hWnd);
    return window != nullptr && window->parent != nullptr ? window->id : 0;
}
}
