// Windows as the rest of the core sees the toolkit's side of them. No
// toolkit type appears here.
//
// The backend reports what happens to a window by sending it the platform's
// messages (SendMessageA), so the table of windows and their procedures stay
// on the core's side.
#pragma once

#include <platform/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zv::backend {

class NativeWindow;

// An icon image as 0xAARRGGBB pixels, row by row; alpha is 0 or 255.
struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
};

struct FontSpec {
    std::string face;
    int pointSize = 0;
    int weight = 0; // 0: the face's normal weight
    bool italic = false;
};

struct TopLevelSpec {
    HWND hwnd = nullptr;
    // Null for an unowned window; otherwise it stays in front of its owner.
    NativeWindow* owner = nullptr;
    std::string caption;
    DWORD style = 0;
    // Dialogs turn Enter and Escape into commands.
    bool dialog = false;
    // Null: the toolkit's default font.
    const FontSpec* font = nullptr;
};

enum class ControlKind { Text, Icon, Button };

struct ControlSpec {
    HWND hwnd = nullptr;
    ControlKind kind = ControlKind::Text;
    int id = 0;
    std::string text;
    // Text controls: show '&' as it is instead of marking a mnemonic.
    bool noPrefix = false;
    // Buttons: the one Enter presses.
    bool defaultButton = false;
    bool visible = true;
    const IconPixels* icon = nullptr;
    RECT rect{}; // client pixels of the parent
};

// A hidden top-level window; null when the toolkit cannot start.
NativeWindow* CreateTopLevel(const TopLevelSpec& spec);
NativeWindow* CreateControl(NativeWindow& parent, const ControlSpec& spec);
// Hides and frees the toolkit's side at once; no message follows.
void Destroy(NativeWindow* window);

// The dialog base units (average character width, character height) of the
// window's font.
SIZE DialogBaseUnits(NativeWindow& window);

SIZE ClientSize(const NativeWindow& window);
// The client area's top-left corner in screen coordinates.
POINT ClientOrigin(const NativeWindow& window);
// The outer rectangle, frame included where the window manager has one.
RECT WindowRect(const NativeWindow& window);
void SetClientSize(NativeWindow& window, SIZE size);
// Moves the outer top-left corner (controls: in the parent's client area).
void MoveTo(NativeWindow& window, POINT topLeft);
// Places the window centred on a point worked out for its present outer size;
// it stays centred in the window manager's frame once mapped.
void MoveCentredTo(NativeWindow& window, POINT topLeft);
// The primary screen's area without panels and docks.
RECT WorkArea();

// Top-level windows: SW_* commands. Controls only show and hide.
void Show(NativeWindow& window, int command);
bool IsShown(const NativeWindow& window);
bool IsIconic(const NativeWindow& window);
bool IsZoomed(const NativeWindow& window);
void Enable(NativeWindow& window, bool enable);
bool IsEnabled(const NativeWindow& window);
void SetText(NativeWindow& window, const std::string& text);
std::string GetText(const NativeWindow& window);
void SetIcons(NativeWindow& window, const std::vector<const IconPixels*>& images);
// Starts the window manager's keyboard-driven move or resize.
void BeginMoveOrSize(NativeWindow& window, bool size);

// Sends WM_SIZE and WM_MOVE where the size or the client origin differ from
// what was sent last.
void ReportGeometry(NativeWindow& window);

// The window (top-level or control) holding the keyboard focus in the
// active top-level window; null when none of ours is active.
HWND FocusedWindow();
HWND ActiveWindow();
void SetFocus(NativeWindow& window);
// GetAsyncKeyState's answer for a virtual key.
SHORT KeyState(int virtualKey);

// Runs the window as a modal dialog until EndModal; returns its result.
intptr_t RunModal(NativeWindow& window);
void EndModal(NativeWindow& window, intptr_t result);
bool IsModalRunning(const NativeWindow& window);

// Copies the pixels (16 or 32 bits each, as the screen has them) to the
// client area with their top-left corner at (clientX, clientY), clipped to the
// client area, and keeps them so that an expose repaints the same picture.
void Present(NativeWindow& window, int clientX, int clientY, int width, int height,
             const void* pixels, int pitch, int bitsPerPixel);
// Paints the kept picture again (the default processing of WM_PAINT).
void RepaintKeptFrame(NativeWindow& window);
void EraseBackground(NativeWindow& window);
void DrawIcon(NativeWindow& window, int x, int y, const IconPixels& icon);
void Invalidate(NativeWindow& window);
// Paints what is invalid now instead of in the next paint cycle.
void Update(NativeWindow& window);

// The message loop. Pending: something waits to be dispatched. Dispatch:
// handles what waits, or waits for something and handles it. Idle: the
// toolkit's own idle work (deferred deletion, updates). Post: runs the call
// from the running loop, a modal one included. WakeUp: makes a waiting
// Dispatch return.
bool LoopPending();
void LoopDispatch();
void LoopIdle();
bool Post(std::function<void()> call);
void WakeUp();

} // namespace zv::backend
