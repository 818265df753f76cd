// Virtual keys over the toolkit's key codes, and GetAsyncKeyState's two bits.
#include "native_window.h"
#include "toolkit.h"

#include <platform/user.h>

#include <wx/utils.h>

#include <array>
#include <utility>

namespace zv::backend {

namespace {

constexpr int kFunctionKeys = 12;

constexpr std::pair<int, int> kNamedKeys[] = {
    {VK_BACK, WXK_BACK},       {VK_TAB, WXK_TAB},  {VK_RETURN, WXK_RETURN}, {VK_SHIFT, WXK_SHIFT},
    {VK_CONTROL, WXK_CONTROL}, {VK_MENU, WXK_ALT}, {VK_ESCAPE, WXK_ESCAPE}, {VK_SPACE, WXK_SPACE},
    {VK_LEFT, WXK_LEFT},       {VK_UP, WXK_UP},    {VK_RIGHT, WXK_RIGHT},   {VK_DOWN, WXK_DOWN},
};

int ToolkitKeyOf(int virtualKey) {
    for (auto [vk, key] : kNamedKeys)
        if (vk == virtualKey)
            return key;
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return virtualKey;
    if (virtualKey >= VK_F1 && virtualKey < VK_F1 + kFunctionKeys)
        return WXK_F1 + (virtualKey - VK_F1);
    return 0;
}

// Presses seen by one of our windows since GetAsyncKeyState last asked.
std::array<bool, 256>& Latched() {
    static std::array<bool, 256> latched{};
    return latched;
}

} // namespace

int VirtualKeyOf(int toolkitKey) {
    if (toolkitKey == WXK_NUMPAD_ENTER)
        return VK_RETURN;
    for (auto [vk, key] : kNamedKeys)
        if (key == toolkitKey)
            return vk;
    if (toolkitKey >= 'a' && toolkitKey <= 'z')
        return toolkitKey - 'a' + 'A';
    if ((toolkitKey >= '0' && toolkitKey <= '9') || (toolkitKey >= 'A' && toolkitKey <= 'Z'))
        return toolkitKey;
    if (toolkitKey >= WXK_F1 && toolkitKey < WXK_F1 + kFunctionKeys)
        return VK_F1 + (toolkitKey - WXK_F1);
    return 0;
}

void LatchKeyDown(int virtualKey) {
    if (virtualKey > 0 && virtualKey < 256)
        Latched()[virtualKey] = true;
}

SHORT KeyState(int virtualKey) {
    if (virtualKey <= 0 || virtualKey >= 256)
        return 0;
    int result = 0;
    bool& latched = Latched()[virtualKey];
    if (latched)
        result |= 0x0001;
    latched = false;
    int key = ToolkitKeyOf(virtualKey);
    // The X keyboard state is the whole display's: it counts only while one
    // of our windows has the focus.
    if (key != 0 && StartToolkit() && FocusedWindow() != nullptr &&
        wxGetKeyState(static_cast<wxKeyCode>(key)))
        result |= 0x8000;
    return static_cast<SHORT>(result);
}

} // namespace zv::backend
