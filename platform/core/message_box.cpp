// The application message box: the toolkit's modal box, a test's recorder,
// or standard error when there is no display.
#include <platform/afx.h>
#include <platform/testing.h>

#include "backend/toolkit.h"
#include "core.h"

#include <string>

namespace {

constexpr char kCaption[] = "Zevra";

zv::testing::MessageBoxPresenter& Presenter() {
    static auto* presenter = new zv::testing::MessageBoxPresenter;
    return *presenter;
}

} // namespace

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
    const char* text = lpszText ? lpszText : "";
    if (Presenter())
        return Presenter()(text, nType, nIDHelp);
    if (zv::backend::StartToolkit())
        return zv::backend::ShowMessageBox(text, kCaption, nType);
    zv::core::WriteStandardError(std::string(text) + "\n");
    return zv::backend::DefaultButton(nType);
}

namespace zv::testing {

void SetMessageBoxPresenter(MessageBoxPresenter presenter) {
    Presenter() = std::move(presenter);
}

} // namespace zv::testing
