// The resource script of Zevra: every resource is Japanese (0x0411).
#include "resource.h"

#include <platform/rsrc.h>

#include <array>
#include <iterator>

namespace {

constexpr uint16_t kLangJapanese = 0x0411;
constexpr int16_t kStaticId = -1;
constexpr int16_t kIdOk = 1;
constexpr const char* kFace = "ＭＳ Ｐゴシック";

// WS_CHILD | WS_VISIBLE | SS_ICON
constexpr uint32_t kIconStyle = 0x50000003;
// WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX | SS_LEFT
constexpr uint32_t kVersionTextStyle = 0x50020080;
// WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT
constexpr uint32_t kCopyrightStyle = 0x50020000;
// WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON
constexpr uint32_t kDefButtonStyle = 0x50030001;

constexpr const char* kCopyright = "Copyright (C) 2026 The Zevra team";

constexpr rsrc::DialogItem kAboutItems[] = {
    {"STATIC", nullptr, IDR_MAINFRAME, kStaticId, 11, 17, 20, 20, kIconStyle, 0},
    {"STATIC", "Zevra Version 1.0", 0, kStaticId, 40, 10, 119, 8, kVersionTextStyle, 0},
    {"STATIC", kCopyright, 0, kStaticId, 40, 25, 119, 8, kCopyrightStyle, 0},
    {"BUTTON", "OK", 0, kIdOk, 178, 7, 50, 14, kDefButtonStyle, 0},
};

constexpr rsrc::DialogTemplate kDialogs[] = {
    {
        IDD_ABOUTBOX, false,
        0x80C800C0, // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
        0, 0, 0, 235, 55, "Zevraのﾊﾞｰｼﾞｮﾝ情報",
        9, 0, 0, 1, kFace, kAboutItems,
    },
    {
        IDD_SURFACE_DIALOG, true,
        0x10CF0040, // WS_VISIBLE | WS_OVERLAPPEDWINDOW | DS_SETFONT
        0x00040000, // WS_EX_APPWINDOW
        0, 0, 240, 257, "Zevra",
        9, 0, 0, 1, kFace, {},
    },
};

constexpr rsrc::StringEntry kStrings[] = {
    {IDS_ABOUTBOX, "Zevra のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
};

// The classic 16-colour palette.
constexpr uint32_t kIconPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// A yellow Z over rings of water.
constexpr const char* kIcon32[] = {
    "................................",
    "....000000000000000000000000....",
    "..000C66444444444444444466C000..",
    "..0CC66444444CCCCCC44444466CC0..",
    ".00C644444CCCCCCCCCCCC444446C00.",
    ".0C644444CCCCCCCCCCCCCC444446C0.",
    ".066444000000000000000000444660.",
    ".064440BBBBBBBBBBBBBBBBBB044460.",
    ".044440BBBBBBBBBBBBBBBBBB044440.",
    ".0444C0BBBBBBBBBBBBBBBBBB0C4440.",
    ".044CC0BBBBBBBBBBBBBBBBBB0CC440.",
    ".044CCC0000000000000BBBBB0CC440.",
    ".044CC64444CCC6660BBBBB006CC440.",
    ".04CCC6444CCC6600BBBBB0446CCC40.",
    ".04CCC6444CC660BBBBBB04446CCC40.",
    ".04CCC6444CC60BBBBB00C4446CCC40.",
    ".04CCC6444C00BBBBB06CC4446CCC40.",
    ".04CCC64440BBBBBB066CC4446CCC40.",
    ".04CCC6440BBBBB0066CCC4446CCC40.",
    ".044CC600BBBBB0666CCC44446CC440.",
    ".044CC0BBBBB0000000000000CCC440.",
    ".044CC0BBBBBBBBBBBBBBBBBB0CC440.",
    ".0444C0BBBBBBBBBBBBBBBBBB0C4440.",
    ".044440BBBBBBBBBBBBBBBBBB044440.",
    ".064440BBBBBBBBBBBBBBBBBB044460.",
    ".066444000000000000000000444660.",
    ".0C644444CCCCCCCCCCCCCC444446C0.",
    ".00C644444CCCCCCCCCCCC444446C00.",
    "..0CC66444444CCCCCC44444466CC0..",
    "..000C66444444444444444466C000..",
    "....000000000000000000000000....",
    "................................",
};

constexpr const char* kIcon16[] = {
    "................",
    ".00000000000000.",
    ".0444CCCCCC4440.",
    ".04BBBBBBBBBB40.",
    ".04BBBBBBBBBB40.",
    ".0C000000BBB0C0.",
    ".0CC6C60BBB0CC0.",
    ".0CC6C0BBB06CC0.",
    ".0CC60BBB0C6CC0.",
    ".0CC0BBB0CC6CC0.",
    ".0C0BBB000000C0.",
    ".04BBBBBBBBBB40.",
    ".04BBBBBBBBBB40.",
    ".0444CCCCCC4440.",
    ".00000000000000.",
    "................",
};

constexpr rsrc::IconImage kMainIconImages[] = {
    {32, 32, kIcon32},
    {16, 16, kIcon16},
};

constexpr rsrc::IconGroup kIcons[] = {
    {IDR_MAINFRAME, kIconPalette, kMainIconImages},
};

constexpr rsrc::VersionString kVersionStrings[] = {
    {"Comments", ""},
    {"CompanyName", ""},
    {"FileDescription", "Zevra"},
    {"FileVersion", "1, 0, 0, 1"},
    {"InternalName", "Zevra"},
    {"LegalCopyright", kCopyright},
    {"LegalTrademarks", ""},
    {"OriginalFilename", "zevra"},
    {"PrivateBuild", ""},
    {"ProductName", "Zevra"},
    {"ProductVersion", "1, 0, 0, 1"},
    {"SpecialBuild", ""},
};

constexpr rsrc::VersionInfo kVersion = {
    {1, 0, 0, 1},
    {1, 0, 0, 1},
    0x3F,  // VS_FFI_FILEFLAGSMASK
    0,
    4,     // VOS__WINDOWS32
    1,     // VFT_APP
    0,
    "041104b0",
    kVersionStrings,
    kLangJapanese,
    0x04B0, // Unicode
};

} // namespace

// Exported from the executable so the platform finds it by name, like a
// resource section.
extern "C" __attribute__((visibility("default"))) const rsrc::ResourceTable ModuleResources = {
    kLangJapanese, kDialogs, kStrings, kIcons, &kVersion,
};
