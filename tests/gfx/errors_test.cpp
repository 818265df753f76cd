// Reporting results by name: the two name tables and the fatal path.
#include "graphics_test.h"

#include <platform/afx.h>
#include <platform/testing.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr char kOutOfVideoMemoryText[] =
    "－ビデオメモリが足りません　スクリーンの解像度や色数を下げてみてください";

class ErrorNames : public GraphicsTest {};

TEST_F(ErrorNames, EveryDirectDrawCodeShowsItsConstantsName) {
    std::ifstream list(ZV_DDERR_CODES);
    ASSERT_TRUE(list) << ZV_DDERR_CODES;
    std::string line;
    int rows = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("code", 0) == 0)
            continue;
        std::istringstream fields(line);
        std::string code, name;
        fields >> code >> name;
        auto hr = static_cast<HRESULT>(std::stoul(code, nullptr, 16));
        std::string expected = name == "DDERR_OUTOFVIDEOMEMORY" ? kOutOfVideoMemoryText : name;
        EXPECT_EQ(HXPDDrawErrorName(hr), expected) << code;
        ++rows;
    }
    EXPECT_EQ(rows, 100);
}

TEST_F(ErrorNames, EdgeRowsAndNeighbours) {
    struct Case {
        HRESULT code;
        const char* directDraw;
        const char* retainedMode;
    };
    const Case cases[] = {
        // Generic COM results: DirectDraw names only.
        {E_NOTIMPL, "DDERR_UNSUPPORTED", "Unknown Error"},
        {E_FAIL, "DDERR_GENERIC", "Unknown Error"},
        {CO_E_NOTINITIALIZED, "DDERR_NOTINITIALIZED", "Unknown Error"},
        {E_OUTOFMEMORY, "DDERR_OUTOFMEMORY", "Unknown Error"},
        {E_INVALIDARG, "DDERR_INVALIDPARAMS", "Unknown Error"},
        {E_NOINTERFACE, "Unknown Error", "Unknown Error"},
        {DDERR_OUTOFVIDEOMEMORY, kOutOfVideoMemoryText, "Unknown Error"},
        {DDERR_SURFACELOST, "DDERR_SURFACELOST", "Unknown Error"},
        {DDERR_NOTPAGELOCKED, "DDERR_NOTPAGELOCKED", "Unknown Error"},
        // The retained-mode range and just outside it.
        {static_cast<HRESULT>(0x8876030C), "Unknown Error", "Unknown Error"},
        {D3DRMERR_BADOBJECT, "Unknown Error", "D3DRMERR_BADOBJECT"},
        {D3DRMERR_BADVALUE, "Unknown Error", "D3DRMERR_BADVALUE"},
        {D3DRMERR_UNABLETOEXECUTE, "Unknown Error", "D3DRMERR_UNABLETOEXECUTE"},
        {static_cast<HRESULT>(0x8876031A), "Unknown Error", "Unknown Error"},
        {S_OK, "Unknown Error", "Unknown Error"},
        {0x12345678, "Unknown Error", "Unknown Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.code);
        EXPECT_STREQ(HXPDDrawErrorName(c.code), c.directDraw);
        EXPECT_STREQ(HXPRMErrorName(c.code), c.retainedMode);
    }
}

// The fatal path runs in a child process whose message box writes what it
// was asked to show, and from where, into a file; the parent reads it back.
class FatalReports : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        // The child is forked from here, so it writes where the parent reads;
        // the process id keeps runs side by side apart.
        GTEST_FLAG_SET(death_test_style, "fast");
        record = ::testing::TempDir() + "/zv_fatal_box_" + std::to_string(getpid());
        std::remove(record.c_str());
    }

    // Installs, in the child, a box that records and answers OK.
    static void RecordBoxesInto(const std::string& path) {
        zv::testing::SetMessageBoxPresenter([path](const char* text, UINT type, UINT helpId) {
            std::ofstream out(path, std::ios::binary | std::ios::app);
            out << "type=" << type << " help=" << helpId
                << " fatalText=" << (text == g_hxp.fatalText) << "\n"
                << text << "\n";
            return IDOK;
        });
    }

    std::string Recorded() const {
        std::ifstream in(record, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static std::string OneBox(const std::string& text) {
        return "type=0 help=0 fatalText=1\n" + text + "\n";
    }

    std::string record;
};

TEST_F(FatalReports, ResultsShowTheirNameUnderTheReportersHeadingThenExitWithOne) {
    struct Case {
        void (*reporter)(HRESULT);
        HRESULT code;
        std::string shown;
    };
    const Case cases[] = {
        {HXPDDrawError, DDERR_SURFACELOST, "DirectDraw Error DDERR_SURFACELOST"},
        {HXPDDrawError, DDERR_OUTOFVIDEOMEMORY,
         std::string("DirectDraw Error ") + kOutOfVideoMemoryText},
        {HXPDDrawError, E_OUTOFMEMORY, "DirectDraw Error DDERR_OUTOFMEMORY"},
        {HXPDDrawError, D3DRMERR_BADVALUE, "DirectDraw Error Unknown Error"},
        {HXPRMError, D3DRMERR_BADVALUE, "Direct3D-RM Error : D3DRMERR_BADVALUE"},
        {HXPRMError, E_OUTOFMEMORY, "Direct3D-RM Error : Unknown Error"},
        {HXPRMError, static_cast<HRESULT>(0x8876031A), "Direct3D-RM Error : Unknown Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        std::remove(record.c_str());
        EXPECT_EXIT(
            {
                RecordBoxesInto(record);
                c.reporter(c.code);
            },
            ::testing::ExitedWithCode(1), "");
        EXPECT_EQ(Recorded(), OneBox(c.shown));
    }
}

TEST_F(FatalReports, FatalShowsItsTextAtMost2047BytesLong) {
    const std::string longText(3000, 'x');
    const struct {
        std::string given;
        std::string shown;
    } cases[] = {
        {"IDirect3DRMの取得に失敗しました", "IDirect3DRMの取得に失敗しました"},
        {"", ""},
        {longText, longText.substr(0, 2047)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given.size());
        std::remove(record.c_str());
        EXPECT_EXIT(
            {
                RecordBoxesInto(record);
                HXPFatal(c.given.c_str());
            },
            ::testing::ExitedWithCode(1), "");
        EXPECT_EQ(Recorded(), OneBox(c.shown));
    }
}

} // namespace
