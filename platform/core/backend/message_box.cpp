// The modal message box.
#include "toolkit.h"

#include <platform/user.h>

#include <wx/msgdlg.h>

namespace {

long ButtonStyle(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return wxOK | wxCANCEL;
    case MB_YESNO:
        return wxYES_NO;
    case MB_YESNOCANCEL:
        return wxYES_NO | wxCANCEL;
    default:
        return wxOK;
    }
}

long IconStyle(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return wxICON_ERROR;
    case MB_ICONQUESTION:
        return wxICON_QUESTION;
    case MB_ICONEXCLAMATION:
        return wxICON_WARNING;
    case MB_ICONASTERISK:
        return wxICON_INFORMATION;
    default:
        return wxICON_NONE;
    }
}

} // namespace

int zv::backend::DefaultButton(UINT type) {
    UINT buttons = type & MB_TYPEMASK;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

int zv::backend::ShowMessageBox(const char* text, const char* caption, UINT type) {
    long buttons = ButtonStyle(type);
    wxMessageDialog box(nullptr, wxString::FromUTF8(text), wxString::FromUTF8(caption),
                        buttons | IconStyle(type) | wxCENTRE);
    switch (box.ShowModal()) {
    case wxID_OK:
        return IDOK;
    case wxID_YES:
        return IDYES;
    case wxID_NO:
        return IDNO;
    default:
        // Closing a box without a Cancel button counts as its safe answer.
        if (buttons & wxCANCEL)
            return IDCANCEL;
        return buttons & wxYES_NO ? IDNO : IDOK;
    }
}
