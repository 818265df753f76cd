// What the end-to-end tests share: a virtual X server of the test's own
// (with or without a window manager), the real program as a child process
// with its debug channel captured, and the means to look at and drive its
// windows the way a user would: real key presses and clicks, screenshots
// read back from the server, and the server's count of drawing into a window.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zv::e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls until the condition holds; false when the time is up. Every wait in
// these tests goes through a deadline: a loaded machine may be slow, but a
// test must never hang.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 20s,
                std::chrono::milliseconds interval = 50ms);

// Runs a shell command; its standard output, and its exit status if wanted.
std::string Output(const std::string& command, int* status = nullptr);

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// Pixels as 0xRRGGBB, row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    Image Crop(int x, int y, int w, int h) const;
    bool operator==(const Image&) const = default;
};

// Reads a picture file through ImageMagick, independently of the program's
// own bitmap reader; `alpha` receives the opacity as grey levels if given.
Image ReadPicture(const std::string& file, Image* alpha = nullptr);

// The bounding box of the pixels that differ from the image's most common
// colour by more than the threshold in any channel: where text was drawn.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
};
Box InkBox(const Image& image, int threshold = 96);

// Text rendered off-screen with the given Pango font, on white.
Image RenderText(const std::string& text, const std::string& font);

// Share of sampled client pixels of the warped picture (the 490 x 490 grid
// from the client's corner, cut to the image) whose colour appears in the
// picture within `slack` texels of where the undisturbed grid samples it.
double PictureMatch(const Image& client, const Image& picture, int slack = 4);
Image FlippedVertically(const Image& picture);

// Share of pixels that differ between two images of the same size.
double Changed(const Image& a, const Image& b);
// Share of pixels of `after` whose colour is nowhere within `radius` pixels
// of the same place in `before`: a change beyond a small shift.
double Disturbed(const Image& before, const Image& after, int radius = 3);

class Display {
public:
    // Starts Xvfb on a free display number and, if asked, openbox with the
    // project's key-binding-free configuration; DISPLAY then names it for
    // this process and every child.
    explicit Display(bool windowManager, Size screen = {1280, 1024});
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool Ready() const { return m_x != nullptr; }
    bool HasWindowManager() const { return m_wm > 0; }
    Size ScreenSize() const;

    // Mapped top-level client windows of the process, by their _NET_WM_PID.
    std::vector<unsigned long> WindowsOf(pid_t pid) const;
    // The first mapped window of the process with this exact (UTF-8) title.
    unsigned long WindowTitled(pid_t pid, const std::string& title) const;
    std::string Title(unsigned long window) const;
    // Client area: its top-left corner on the screen and its size.
    Point ClientOrigin(unsigned long window) const;
    Size ClientSize(unsigned long window) const;
    // Left, right, top, bottom of the decorations; zeros without a manager.
    std::vector<long> FrameExtents(unsigned long window) const;
    bool Iconic(unsigned long window) const;
    // True when the keyboard focus is on the window or inside it.
    bool Focused(unsigned long window) const;
    // The popup menu on the screen, as a window of the screen; 0 if none.
    unsigned long PopupMenu() const;

    Image Grab(int x, int y, int width, int height) const;
    Image GrabClient(unsigned long window) const;

    // Activates as a user would: through the manager when there is one.
    void Activate(unsigned long window) const;
    bool ActivateAndWait(unsigned long window) const;
    void Resize(unsigned long window, int width, int height) const;
    void Move(unsigned long window, int x, int y) const;
    void Iconify(unsigned long window) const;
    // A managed window of the test's own, to take the focus away.
    unsigned long CreateWindow(int x, int y, int width, int height) const;

    // Real input, as from the keyboard and the mouse (not synthetic events,
    // which the toolkit ignores). Keys are X keysym names; "alt+space" holds
    // the modifiers while the last key is typed.
    void Key(const std::string& keys) const;
    void KeyDown(const std::string& key) const;
    void KeyUp(const std::string& key) const;
    void Click(int x, int y) const;

    // Counts the server's reports of drawing into a window and everything
    // inside it, from construction on.
    class DrawCounter {
    public:
        DrawCounter(const Display& display, unsigned long window);
        ~DrawCounter();
        DrawCounter(const DrawCounter&) = delete;
        DrawCounter& operator=(const DrawCounter&) = delete;
        // Reports received so far (each one at least one drawing).
        long Count();
        // Reports received within the time.
        long CountFor(std::chrono::milliseconds time);
        // Waits at most the time for the next report and takes it in at once,
        // so that frames further apart than a round trip are counted apart.
        void Await(std::chrono::milliseconds most);

    private:
        void* m_x;
        std::vector<unsigned long> m_damage;
        int m_event = 0;
        long m_count = 0;
    };

private:
    void* m_x = nullptr;
    pid_t m_server = -1;
    pid_t m_wm = -1;
    std::string m_name;
};

// The program as a child process, started in a folder of the test's choice
// with its debug channel (standard error) going to a file.
class Program {
public:
    Program(const std::string& executable, const std::string& folder);
    // A command with its arguments, looked up on the PATH.
    Program(const std::vector<std::string>& command, const std::string& folder);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    pid_t Pid() const { return m_pid; }
    bool Running();
    // The exit status; -1 if it has not ended within the time (it is then
    // killed) or was ended by a signal.
    int WaitForExit(std::chrono::milliseconds limit = 20s);
    // Every line written to the debug channel so far, without line feeds.
    std::vector<std::string> Lines() const;
    // The lines the graphics layer writes, without the toolkit's own.
    std::vector<std::string> ProgramLines() const;
    // Those of them from the given index on.
    std::vector<std::string> ProgramLinesFrom(size_t first) const;

private:
    pid_t m_pid = -1;
    int m_status = -1;
    bool m_ended = false;
    std::string m_errorFile;
};

// The first visible window of the program, once it has one.
unsigned long WaitForWindow(const Display& display, pid_t pid, const std::string& title,
                            std::chrono::milliseconds limit = 20s);

// Lines from `from` on that equal the wanted ones in order, ignoring others:
// the index after the last match, or -1 when they are not all there.
long FindInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted,
                 size_t from = 0);

// The graphics set-up that the first frame after start or after a resize
// runs: from the layer's reset to its last phase, for a client area of
// this size, with the software devices of the runtime module.
std::vector<std::string> SetupLines(Size client);

// Template 102 is 240 x 257 dialog units; with the 9-point P-Gothic face
// the dialog base units are 7 x 13 pixels.
inline constexpr Size kTemplateClient = {240 * 7 / 4, (257 * 13 + 4) / 8};

// Where the program and its data live in this build.
std::string ProgramPath();
std::string DataDir();

// The program started under a window manager, its window focused and
// drawing frames.
class FocusedProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.Ready());
        window = WaitForWindow(display, zevra.Pid(), "Zevra");
        ASSERT_NE(window, 0u);
        ASSERT_TRUE(display.ActivateAndWait(window));
        Display::DrawCounter frames(display, window);
        ASSERT_TRUE(Eventually([&] { return frames.Count() >= 5; })) << "no frames";
    }

    Display display{true};
    Program zevra{ProgramPath(), DataDir()};
    unsigned long window = 0;
};

} // namespace zv::e2e
