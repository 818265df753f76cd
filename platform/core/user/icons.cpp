// Icons from resource tables, the system metrics and drawing icons.
#include <platform/display.h>

#include "icons.h"
#include "paint.h"
#include "window_table.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <utility>

namespace zv::user {

namespace {

constexpr int kIconSize = 32;
constexpr int kSmallIconSize = 16;

struct Icon {
    std::vector<backend::IconPixels> images;
    size_t chosen = 0;
};

struct IconTable {
    std::map<HICON, std::unique_ptr<Icon>> icons;
    // The same resource gives the same handle.
    std::map<std::pair<const rsrc::ResourceTable*, unsigned>, HICON> loaded;
    uintptr_t nextHandle = 0x20000;
};

IconTable& Icons() {
    static auto* table = new IconTable;
    return *table;
}

backend::IconPixels PixelsOf(const rsrc::IconImage& image, const uint32_t* palette) {
    backend::IconPixels pixels;
    pixels.width = image.width;
    pixels.height = image.height;
    pixels.argb.assign(static_cast<size_t>(image.width) * image.height, 0);
    for (int y = 0; y < image.height && y < static_cast<int>(image.rows.size()); ++y) {
        const char* row = image.rows[static_cast<size_t>(y)];
        for (int x = 0; x < image.width && row[x] != '\0'; ++x) {
            char digit[2] = {row[x], '\0'};
            char* end = nullptr;
            unsigned long index = std::strtoul(digit, &end, 16);
            // Anything but a hex digit ('.') is a transparent pixel.
            if (end != digit + 1)
                continue;
            pixels.argb[static_cast<size_t>(y) * image.width + x] = 0xFF000000u | palette[index];
        }
    }
    return pixels;
}

Icon* FindIcon(HICON handle) {
    auto found = Icons().icons.find(handle);
    return found == Icons().icons.end() ? nullptr : found->second.get();
}

} // namespace

const std::vector<backend::IconPixels>* IconImages(HICON icon) {
    Icon* found = FindIcon(icon);
    return found != nullptr ? &found->images : nullptr;
}

const backend::IconPixels* IconImage(HICON icon) {
    Icon* found = FindIcon(icon);
    return found != nullptr && !found->images.empty() ? &found->images[found->chosen] : nullptr;
}

} // namespace zv::user

extern "C" {

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    using namespace zv::user;
    if (!IS_INTRESOURCE(lpIconName))
        return nullptr;
    const rsrc::ResourceTable* table = ResourcesOf(hInstance);
    unsigned id = static_cast<unsigned>(reinterpret_cast<uintptr_t>(lpIconName));
    const rsrc::IconGroup* group = table != nullptr ? rsrc::FindIcon(*table, id) : nullptr;
    if (group == nullptr || group->images.empty())
        return nullptr;
    auto key = std::make_pair(table, id);
    if (auto loaded = Icons().loaded.find(key); loaded != Icons().loaded.end())
        return loaded->second;

    auto icon = std::make_unique<Icon>();
    for (const auto& image : group->images) {
        if (image.width == kIconSize && image.height == kIconSize)
            icon->chosen = icon->images.size();
        icon->images.push_back(PixelsOf(image, group->palette));
    }
    Icons().nextHandle += 4;
    auto handle = reinterpret_cast<HICON>(Icons().nextHandle);
    Icons().icons.emplace(handle, std::move(icon));
    Icons().loaded.emplace(key, handle);
    return handle;
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    using namespace zv::user;
    const zv::backend::IconPixels* image = IconImage(hIcon);
    Window* window = FindWindowRecord(WindowOfPaintContext(hDC));
    if (image == nullptr || window == nullptr || window->native == nullptr)
        return FALSE;
    zv::backend::DrawIcon(*window->native, X, Y, *image);
    return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
        return zv::user::kIconSize;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return zv::user::kSmallIconSize;
    case SM_CXSCREEN:
        return zv::display::GetScreenFormat().width;
    case SM_CYSCREEN:
        return zv::display::GetScreenFormat().height;
    default:
        return 0;
    }
}
}
