// The application message box without the toolkit: a test's presenter, the
// fall-back to standard error, and the font aliases the real box relies on.
#include <platform/afx.h>
#include <platform/testing.h>

#include "backend/toolkit.h"
#include "stderr_capture.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Takes DISPLAY away for the life of the object.
class NoDisplay {
public:
    NoDisplay() {
        if (const char* display = std::getenv("DISPLAY"))
            saved_ = display;
        unsetenv("DISPLAY");
    }
    ~NoDisplay() {
        if (!saved_.empty())
            setenv("DISPLAY", saved_.c_str(), 1);
    }

private:
    std::string saved_;
};

TEST(MessageBox, APresenterGetsTheTextTypeAndHelpAndAnswers) {
    zv::testing::MessageBoxRecorder recorder(IDCANCEL);
    EXPECT_EQ(AfxMessageBox("DirectXの初期化に失敗しました"), IDCANCEL);
    EXPECT_EQ(AfxMessageBox("second", MB_OKCANCEL | MB_ICONEXCLAMATION, 7), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(nullptr), IDCANCEL);
    ASSERT_EQ(recorder.boxes.size(), 3u);
    EXPECT_EQ(recorder.boxes[0].text, "DirectXの初期化に失敗しました");
    EXPECT_EQ(recorder.boxes[0].type, MB_OK);
    EXPECT_EQ(recorder.boxes[0].helpId, 0u);
    EXPECT_EQ(recorder.boxes[1].type, MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(recorder.boxes[1].helpId, 7u);
    EXPECT_EQ(recorder.boxes[2].text, "");
}

TEST(MessageBox, WithoutADisplayTheTextGoesToStandardErrorAndTheFirstButtonAnswers) {
    NoDisplay noDisplay;
    struct Case {
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNOCANCEL, IDYES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        int answer = 0;
        std::string written = StandardErrorOf(
            [&] { answer = AfxMessageBox("Can1.bmpﾌｧｲﾙが読み込めません", c.type); });
        EXPECT_EQ(written, "Can1.bmpﾌｧｲﾙが読み込めません\n");
        EXPECT_EQ(answer, c.answer);
    }
}

std::string FamilyFor(const char* face) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string family;
    FcChar8* name = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
        family = reinterpret_cast<const char*>(name);
    if (match != nullptr)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return family;
}

TEST(MessageBox, DialogFacesResolveToTheJapaneseGothicFonts) {
    ASSERT_TRUE(zv::backend::LoadFontAliases());
    EXPECT_EQ(FamilyFor("ＭＳ Ｐゴシック"), "IPAPGothic");
    EXPECT_EQ(FamilyFor("MS PGothic"), "IPAPGothic");
    EXPECT_EQ(FamilyFor("ＭＳ ゴシック"), "IPAGothic");
    EXPECT_EQ(FamilyFor("MS Gothic"), "IPAGothic");
}

} // namespace
