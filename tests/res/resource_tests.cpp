#include "resource.h"

#include <platform/rsrc.h>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <strings.h>
#include <string>
#include <vector>

namespace {

const rsrc::ResourceTable& Table()
{
    // Look the table up the way the platform does, not through the linker,
    // so a table that is not exported fails here.
    void* self = dlopen(nullptr, RTLD_NOW);
    auto* table = static_cast<const rsrc::ResourceTable*>(dlsym(self, rsrc::kTableSymbol));
    if (!table)
        throw std::runtime_error("resource table not exported");
    return *table;
}

TEST(Resources, AreJapanese)
{
    EXPECT_EQ(Table().language, 0x0411);
}

TEST(Resources, MainWindowTemplate)
{
    const auto* d = rsrc::FindDialog(Table(), IDD_SURFACE_DIALOG);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->id, 102);
    EXPECT_TRUE(d->extended);
    EXPECT_EQ(d->style, 0x10CF0040u);
    EXPECT_EQ(d->exStyle, 0x00040000u);
    EXPECT_EQ((std::vector<int>{d->x, d->y, d->cx, d->cy}), (std::vector<int>{0, 0, 240, 257}));
    EXPECT_STREQ(d->caption, "Zevra");
    EXPECT_EQ(d->pointSize, 9);
    EXPECT_EQ(d->weight, 0);
    EXPECT_EQ(d->italic, 0);
    EXPECT_EQ(d->charSet, 1);
    EXPECT_STREQ(d->faceName, "ＭＳ Ｐゴシック");
    EXPECT_TRUE(d->items.empty());
}

TEST(Resources, AboutBoxTemplate)
{
    const auto* d = rsrc::FindDialog(Table(), IDD_ABOUTBOX);
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->extended);
    EXPECT_EQ(d->style, 0x80C800C0u);
    EXPECT_EQ((std::vector<int>{d->x, d->y, d->cx, d->cy}), (std::vector<int>{0, 0, 235, 55}));
    EXPECT_STREQ(d->caption, "Zevraのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(d->pointSize, 9);
    EXPECT_STREQ(d->faceName, "ＭＳ Ｐゴシック");

    struct Expected {
        const char* className;
        const char* text;
        int imageId, id, x, y, cx, cy;
        uint32_t style;
    };
    const Expected expected[] = {
        {"STATIC", nullptr, IDR_MAINFRAME, -1, 11, 17, 20, 20, 0x50000003},
        {"STATIC", "Zevra Version 1.0", 0, -1, 40, 10, 119, 8, 0x50020080},
        {"STATIC", "", 0, -1, 40, 25, 119, 8, 0x50020000},
        {"BUTTON", "OK", 0, 1, 178, 7, 50, 14, 0x50030001},
    };
    ASSERT_EQ(d->items.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const auto& item = d->items[i];
        const auto& want = expected[i];
        EXPECT_STREQ(item.className, want.className);
        if (want.text && *want.text)
            EXPECT_STREQ(item.text, want.text);
        else if (want.text)
            EXPECT_TRUE(item.text && *item.text) << "copyright line is missing";
        else
            EXPECT_EQ(item.text, nullptr);
        EXPECT_EQ(item.imageId, want.imageId);
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ((std::vector<int>{item.x, item.y, item.cx, item.cy}),
                  (std::vector<int>{want.x, want.y, want.cx, want.cy}));
        EXPECT_EQ(item.style, want.style);
    }
}

TEST(Resources, AboutMenuString)
{
    EXPECT_STREQ(rsrc::FindString(Table(), IDS_ABOUTBOX), "Zevra のﾊﾞｰｼﾞｮﾝ情報(&A)...");
    EXPECT_EQ(rsrc::FindString(Table(), 999), nullptr);
}

TEST(Resources, IconImagesAreWellFormed)
{
    const auto* icon = rsrc::FindIcon(Table(), IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->images.size(), 2u);
    EXPECT_EQ(icon->images[0].width, 32);
    EXPECT_EQ(icon->images[1].width, 16);
    for (const auto& image : icon->images) {
        SCOPED_TRACE(image.width);
        EXPECT_EQ(image.height, image.width);
        ASSERT_EQ(image.rows.size(), static_cast<size_t>(image.height));
        size_t opaque = 0;
        for (const char* row : image.rows) {
            ASSERT_EQ(std::strlen(row), static_cast<size_t>(image.width)) << row;
            for (const char* p = row; *p; ++p) {
                EXPECT_TRUE(std::strchr("0123456789ABCDEF.", *p)) << row;
                opaque += *p != '.';
            }
        }
        EXPECT_GT(opaque, image.rows.size() * image.rows.size() / 2);
    }
}

TEST(Resources, VersionBlock)
{
    const rsrc::VersionInfo* v = Table().version;
    ASSERT_NE(v, nullptr);
    EXPECT_EQ((std::vector<int>(v->fileVersion, v->fileVersion + 4)), (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ((std::vector<int>(v->productVersion, v->productVersion + 4)),
              (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(v->fileFlagsMask, 0x3Fu);
    EXPECT_EQ(v->fileFlags, 0u);
    EXPECT_EQ(v->fileOS, 4u);
    EXPECT_EQ(v->fileType, 1u);
    EXPECT_EQ(v->fileSubtype, 0u);
    EXPECT_STREQ(v->stringBlock, "041104b0");
    EXPECT_EQ(v->translationLanguage, 0x0411);
    EXPECT_EQ(v->translationCodePage, 0x04B0);

    const std::vector<std::string> keys = {
        "Comments",         "CompanyName",  "FileDescription", "FileVersion",
        "InternalName",     "LegalCopyright", "LegalTrademarks", "OriginalFilename",
        "PrivateBuild",     "ProductName",  "ProductVersion",  "SpecialBuild"};
    ASSERT_EQ(v->strings.size(), keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(keys[i]);
        const auto& s = v->strings[i];
        EXPECT_EQ(s.key, keys[i]);
        const bool empty = keys[i] == "Comments" || keys[i] == "CompanyName" ||
                           keys[i] == "LegalTrademarks" || keys[i] == "PrivateBuild" ||
                           keys[i] == "SpecialBuild";
        if (empty)
            EXPECT_STREQ(s.value, "");
        else if (keys[i] == "FileVersion" || keys[i] == "ProductVersion")
            EXPECT_STREQ(s.value, "1, 0, 0, 1");
        else if (keys[i] == "LegalCopyright")
            EXPECT_STREQ(s.value, rsrc::FindDialog(Table(), IDD_ABOUTBOX)->items[2].text)
                << "the About box and the version block name the same copyright";
        else
            EXPECT_EQ(strcasecmp(s.value, "zevra"), 0) << s.value; // the file name is lower case
    }
}

} // namespace
