// The debugger channel: bytes unchanged, to standard error or to a test.
#include <platform/kernel.h>
#include <platform/testing.h>

#include "stderr_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kTexts[] = {
    "HXP:Hexaplan Initialize\n",
    " Hxp:640,480 - param 640,480 \n",
    "HXP:Error:Fail to Direct3D create \n ",
    "no line end",
    "Zバッファの生成に失敗しました\n",
    "",
};

TEST(DebugChannel, WritesTheBytesUnchangedToStandardError) {
    for (const char* text : kTexts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(StandardErrorOf([text] { OutputDebugStringA(text); }), text);
    }
    EXPECT_EQ(StandardErrorOf([] { OutputDebugStringA(nullptr); }), "");
}

TEST(DebugChannel, ACaptureGetsOneEntryPerCallAndStandardErrorNothing) {
    std::vector<std::string> captured;
    std::string written = StandardErrorOf([&] {
        zv::testing::DebugCapture capture;
        for (const char* text : kTexts)
            OutputDebugStringA(text);
        captured = capture.lines;
    });
    EXPECT_EQ(written, "");
    EXPECT_EQ(captured, std::vector<std::string>(std::begin(kTexts), std::end(kTexts)));
    // Gone with the capture.
    EXPECT_EQ(StandardErrorOf([] { OutputDebugStringA("after\n"); }), "after\n");
}

} // namespace
