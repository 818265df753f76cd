// The resource table of the platform's test programs, exported under the
// name the platform looks for.
#include "probe_resources.h"

#include <platform/rsrc.h>

namespace {

// The tables read best one record to a line.
// clang-format off
constexpr const char* kFace = "ＭＳ Ｐゴシック";

constexpr rsrc::DialogItem kBoxItems[] = {
    {"STATIC", nullptr, IDI_PROBE, -1, 11, 17, 20, 20, 0x50000003, 0},
    {"STATIC", "日本語の表示 & Probe", 0, -1, 40, 10, 119, 8, 0x50020080, 0},
    {"STATIC", "第二行", 0, -1, 40, 25, 119, 8, 0x50020000, 0},
    {"BUTTON", "OK", 0, 1, 178, 7, 50, 14, 0x50030001, 0},
};

constexpr rsrc::DialogTemplate kDialogs[] = {
    {IDD_PROBE_MAIN, true, 0x10CF0040, 0x00040000, 0, 0, 240, 257, "Probe Main", 9, 0, 0, 1,
     kFace, {}},
    {IDD_PROBE_BOX, false, 0x80C800C0, 0, 0, 0, 235, 55, "Probe Box", 9, 0, 0, 1, kFace,
     kBoxItems},
    // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_ABSALIGN
    {IDD_PROBE_PLACED, false, 0x80C80041, 0, PROBE_PLACED_X, PROBE_PLACED_Y, 100, 40,
     "Probe Placed", 9, 0, 0, 1, kFace, {}},
};

constexpr rsrc::StringEntry kStrings[] = {
    {IDS_PROBE_ABOUT, "Probe のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    {IDS_PROBE_EMPTY, ""},
};

constexpr uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// Red left half, blue right half, a transparent top row.
constexpr const char* kIcon32[] = {
    "................................",
#define ROW "9999999999999999CCCCCCCCCCCCCCCC"
    ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW,
    ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW,
#undef ROW
};
constexpr const char* kIcon16[] = {
#define ROW "AAAAAAAAAAAAAAAA"
    ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW, ROW,
#undef ROW
};

constexpr rsrc::IconImage kImages[] = {{16, 16, kIcon16}, {32, 32, kIcon32}};
constexpr rsrc::IconGroup kIcons[] = {{IDI_PROBE, kPalette, kImages}};

// clang-format on

} // namespace

extern "C" __attribute__((visibility("default"))) const rsrc::ResourceTable ModuleResources = {
    0x0411, kDialogs, kStrings, kIcons, nullptr,
};
