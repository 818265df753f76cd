// The resources a module carries: dialog templates, strings, icons and its
// version block, as compiled data. A module exports its table under the
// symbol kTableSymbol, and the platform finds it there the way a loader
// finds a module's resource section.
#pragma once

#include <cstdint>
#include <span>

namespace rsrc {

inline constexpr const char* kTableSymbol = "ModuleResources";

struct DialogItem {
    const char* className; // "BUTTON", "STATIC"
    const char* text;      // UTF-8; null when the item shows an image
    uint16_t imageId;      // icon shown by an SS_ICON static, else 0
    int16_t id;
    int16_t x, y, cx, cy; // dialog units
    uint32_t style;
    uint32_t exStyle;
};

struct DialogTemplate {
    uint16_t id;
    bool extended; // extended templates carry weight, italic and charset
    uint32_t style;
    uint32_t exStyle;
    int16_t x, y, cx, cy; // dialog units
    const char* caption;
    uint16_t pointSize;
    uint16_t weight;
    uint8_t italic;
    uint8_t charSet;
    const char* faceName;
    std::span<const DialogItem> items;
};

struct StringEntry {
    uint16_t id;
    const char* text;
};

// A 16-colour image: one hex digit per pixel naming a palette entry,
// '.' for a transparent pixel (set in the AND mask).
struct IconImage {
    int width;
    int height;
    std::span<const char* const> rows;
};

struct IconGroup {
    uint16_t id;
    const uint32_t* palette; // 16 entries, 0x00RRGGBB
    std::span<const IconImage> images;
};

struct VersionString {
    const char* key;
    const char* value;
};

struct VersionInfo {
    uint16_t fileVersion[4];
    uint16_t productVersion[4];
    uint32_t fileFlagsMask;
    uint32_t fileFlags;
    uint32_t fileOS;
    uint32_t fileType;
    uint32_t fileSubtype;
    const char* stringBlock; // language and code page, e.g. "041104b0"
    std::span<const VersionString> strings;
    uint16_t translationLanguage;
    uint16_t translationCodePage;
};

// A bitmap file carried whole, named as LoadImageA names it.
struct BitmapResource {
    const char* name;
    std::span<const uint8_t> file;
};

struct ResourceTable {
    uint16_t language;
    std::span<const DialogTemplate> dialogs;
    std::span<const StringEntry> strings;
    std::span<const IconGroup> icons;
    const VersionInfo* version;
    std::span<const BitmapResource> bitmaps = {};
};

inline const DialogTemplate* FindDialog(const ResourceTable& table, unsigned id)
{
    for (const auto& d : table.dialogs)
        if (d.id == id)
            return &d;
    return nullptr;
}

inline const char* FindString(const ResourceTable& table, unsigned id)
{
    for (const auto& s : table.strings)
        if (s.id == id)
            return s.text;
    return nullptr;
}

inline const IconGroup* FindIcon(const ResourceTable& table, unsigned id)
{
    for (const auto& i : table.icons)
        if (i.id == id)
            return &i;
    return nullptr;
}

} // namespace rsrc
