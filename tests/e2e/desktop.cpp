#include "desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace zv::e2e {

namespace {

::Display* X(void* display) {
    return static_cast<::Display*>(display);
}

// Windows come and go while the tests look at them; a request about a window
// that has just gone is no reason to end the test process.
int IgnoreErrors(::Display*, XErrorEvent*) {
    return 0;
}

void StopChild(pid_t& pid, int signal) {
    if (pid <= 0)
        return;
    kill(pid, signal);
    auto end = Clock::now() + 5s;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    pid = -1;
}

// A test that crashes must not leave its servers and program behind.
void DieWithParent() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

Atom AtomNamed(::Display* x, const char* name) {
    return XInternAtom(x, name, False);
}

std::vector<unsigned char> Property(::Display* x, Window window, const char* name, Atom type,
                                    int* format = nullptr, unsigned long* items = nullptr) {
    Atom actual;
    int actualFormat = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned char> bytes;
    if (XGetWindowProperty(x, window, AtomNamed(x, name), 0, 4096, False, type, &actual,
                           &actualFormat, &count, &after, &data) == Success &&
        data != nullptr) {
        size_t unit = actualFormat == 32 ? sizeof(long) : static_cast<size_t>(actualFormat / 8);
        bytes.assign(data, data + count * unit);
        XFree(data);
    }
    if (format != nullptr)
        *format = actualFormat;
    if (items != nullptr)
        *items = count;
    return bytes;
}

std::vector<long> Cardinals(::Display* x, Window window, const char* name, Atom type) {
    unsigned long items = 0;
    std::vector<unsigned char> bytes = Property(x, window, name, type, nullptr, &items);
    std::vector<long> values(items);
    if (items > 0)
        std::memcpy(values.data(), bytes.data(), items * sizeof(long));
    return values;
}

std::vector<Window> Children(::Display* x, Window window) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(x, window, &root, &parent, &children, &count) && children != nullptr) {
        result.assign(children, children + count);
        XFree(children);
    }
    return result;
}

Window ParentOf(::Display* x, Window window) {
    Window root, parent = None, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x, window, &root, &parent, &children, &count) && children != nullptr)
        XFree(children);
    return parent;
}

bool Viewable(::Display* x, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(x, window, &attributes) && attributes.map_state == IsViewable;
}

void SendRootMessage(::Display* x, Window window, const char* type, std::vector<long> data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = AtomNamed(x, type);
    event.xclient.format = 32;
    for (size_t i = 0; i < data.size() && i < 5; ++i)
        event.xclient.data.l[i] = data[i];
    XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(x);
}

KeyCode CodeOf(::Display* x, const std::string& name) {
    KeySym sym = XStringToKeysym(name.c_str());
    return sym == NoSymbol ? 0 : XKeysymToKeycode(x, sym);
}

std::vector<std::string> SplitKeys(const std::string& keys) {
    std::vector<std::string> names;
    std::stringstream stream(keys);
    for (std::string name; std::getline(stream, name, '+');) {
        if (name == "alt")
            name = "Alt_L";
        else if (name == "ctrl")
            name = "Control_L";
        else if (name == "shift")
            name = "Shift_L";
        names.push_back(name);
    }
    return names;
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TempName(const std::string& stem) {
    static int serial = 0;
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/zevra-e2e-" + std::to_string(getpid()) +
           "-" + std::to_string(++serial) + "-" + stem;
}

// P6 pixmaps from ImageMagick: "P6 <w> <h> 255" and RGB triples.
Image ReadPixmap(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    Image image;
    if (magic != "P6" || maximum != 255 || width <= 0 || height <= 0)
        return image;
    size_t start = static_cast<size_t>(in.tellg());
    if (bytes.size() < start + static_cast<size_t>(width) * height * 3)
        return image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + start);
    for (auto& pixel : image.pixels) {
        pixel = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        p += 3;
    }
    return image;
}

int Channel(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

int Distance(uint32_t a, uint32_t b) {
    return std::max({std::abs(Channel(a, 16) - Channel(b, 16)),
                     std::abs(Channel(a, 8) - Channel(b, 8)),
                     std::abs(Channel(a, 0) - Channel(b, 0))});
}

} // namespace

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit,
                std::chrono::milliseconds interval) {
    auto end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(interval);
    }
    return true;
}

std::string Output(const std::string& command, int* status) {
    std::string output;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        if (status != nullptr)
            *status = -1;
        return output;
    }
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    int result = pclose(pipe);
    if (status != nullptr)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

Image Image::Crop(int x, int y, int w, int h) const {
    Image part;
    x = std::max(x, 0);
    y = std::max(y, 0);
    w = std::min(w, width - x);
    h = std::min(h, height - y);
    if (w <= 0 || h <= 0)
        return part;
    part.width = w;
    part.height = h;
    part.pixels.reserve(static_cast<size_t>(w) * h);
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column)
            part.pixels.push_back(at(column, row));
    return part;
}

Image ReadPicture(const std::string& file, Image* alpha) {
    if (alpha != nullptr)
        *alpha =
            ReadPixmap(Output("convert '" + file + "' -alpha extract -depth 8 ppm:- 2>/dev/null"));
    return ReadPixmap(Output("convert '" + file + "' -alpha off -depth 8 ppm:- 2>/dev/null"));
}

Box InkBox(const Image& image, int threshold) {
    std::map<uint32_t, int> counts;
    for (uint32_t pixel : image.pixels)
        ++counts[pixel];
    uint32_t background = 0;
    int most = 0;
    for (auto [pixel, count] : counts)
        if (count > most) {
            most = count;
            background = pixel;
        }
    Box box{image.width, image.height, 0, 0};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (Distance(image.at(x, y), background) > threshold) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

Image RenderText(const std::string& text, const std::string& font) {
    std::string file = TempName("text.png");
    std::string textFile = TempName("text.txt");
    std::ofstream(textFile) << text;
    Output("pango-view -q --dpi=96 --margin=4 --font='" + font + "' --output='" + file + "' '" +
           textFile + "' 2>/dev/null");
    Image image = ReadPicture(file);
    std::remove(file.c_str());
    std::remove(textFile.c_str());
    return image;
}

double PictureMatch(const Image& client, const Image& picture, int slack) {
    if (picture.width == 0 || client.width == 0)
        return 0;
    // Ten pixels per quad, 0.02 of the texture per quad.
    const int width = std::min(client.width, 490), height = std::min(client.height, 490);
    long sampled = 0, matched = 0;
    for (int y = 2; y < height - 2; y += 5)
        for (int x = 2; x < width - 2; x += 5) {
            uint32_t shown = client.at(x, y);
            int u = static_cast<int>((x + 0.5) * 0.002 * picture.width);
            int v = static_cast<int>((y + 0.5) * 0.002 * picture.height);
            bool found = false;
            for (int dy = -slack; dy <= slack && !found; ++dy)
                for (int dx = -slack; dx <= slack && !found; ++dx) {
                    // Texture addressing wraps.
                    int tu = ((u + dx) % picture.width + picture.width) % picture.width;
                    int tv = ((v + dy) % picture.height + picture.height) % picture.height;
                    found = Distance(picture.at(tu, tv), shown) <= 8;
                }
            ++sampled;
            matched += found;
        }
    return sampled == 0 ? 0 : static_cast<double>(matched) / static_cast<double>(sampled);
}

Image FlippedVertically(const Image& picture) {
    Image flipped = picture;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            flipped.pixels[static_cast<size_t>(y) * picture.width + x] =
                picture.at(x, picture.height - 1 - y);
    return flipped;
}

double Changed(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty())
        return 1;
    long changed = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        changed += a.pixels[i] != b.pixels[i];
    return static_cast<double>(changed) / static_cast<double>(a.pixels.size());
}

double Disturbed(const Image& before, const Image& after, int radius) {
    if (before.width != after.width || before.height != after.height || after.pixels.empty())
        return 1;
    long disturbed = 0;
    for (int y = 0; y < after.height; ++y)
        for (int x = 0; x < after.width; ++x) {
            bool found = false;
            for (int dy = -radius; dy <= radius && !found; ++dy)
                for (int dx = -radius; dx <= radius && !found; ++dx) {
                    int bx = x + dx, by = y + dy;
                    found = bx >= 0 && by >= 0 && bx < before.width && by < before.height &&
                            Distance(before.at(bx, by), after.at(x, y)) <= 8;
                }
            disturbed += !found;
        }
    return static_cast<double>(disturbed) / static_cast<double>(after.pixels.size());
}

// ---------------------------------------------------------------- Display

Display::Display(bool windowManager, Size screen) {
    int fds[2];
    if (pipe(fds) != 0)
        return;
    m_server = fork();
    if (m_server == 0) {
        DieWithParent();
        close(fds[0]);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::string fd = std::to_string(fds[1]);
        std::string geometry =
            std::to_string(screen.width) + "x" + std::to_string(screen.height) + "x24";
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", geometry.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // The server writes its display number once it accepts connections.
    std::string number;
    auto end = Clock::now() + 20s;
    while (Clock::now() < end && number.find('\n') == std::string::npos) {
        pollfd wait{fds[0], POLLIN, 0};
        if (poll(&wait, 1, 100) > 0) {
            char c;
            if (read(fds[0], &c, 1) != 1)
                break;
            number += c;
        }
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos)
        return;
    m_name = ":" + number.substr(0, number.find('\n'));
    setenv("DISPLAY", m_name.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    m_x = XOpenDisplay(m_name.c_str());
    if (m_x == nullptr)
        return;
    XSetErrorHandler(IgnoreErrors);

    if (!windowManager)
        return;
    m_wm = fork();
    if (m_wm == 0) {
        DieWithParent();
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::string config = std::string(ZV_SOURCE_DIR) + "/tests/e2e/openbox-rc.xml";
        execlp("openbox", "openbox", "--config-file", config.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ::Display* x = X(m_x);
    bool managed = Eventually(
        [&] {
            return !Cardinals(x, DefaultRootWindow(x), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW)
                        .empty();
        },
        20s, 20ms);
    if (!managed) {
        XCloseDisplay(x);
        m_x = nullptr;
    }
}

Display::~Display() {
    if (m_x != nullptr)
        XCloseDisplay(X(m_x));
    StopChild(m_wm, SIGTERM);
    StopChild(m_server, SIGTERM);
}

Size Display::ScreenSize() const {
    ::Display* x = X(m_x);
    return {DisplayWidth(x, DefaultScreen(x)), DisplayHeight(x, DefaultScreen(x))};
}

std::vector<unsigned long> Display::WindowsOf(pid_t pid) const {
    ::Display* x = X(m_x);
    std::vector<unsigned long> found;
    // Managed windows sit one or two levels down, inside their frames.
    std::vector<std::pair<Window, int>> pending = {{DefaultRootWindow(x), 0}};
    while (!pending.empty()) {
        auto [window, depth] = pending.back();
        pending.pop_back();
        std::vector<long> owner = Cardinals(x, window, "_NET_WM_PID", XA_CARDINAL);
        if (depth > 0 && owner.size() == 1 && owner[0] == pid && Viewable(x, window)) {
            found.push_back(window);
            continue;
        }
        if (depth < 3)
            for (Window child : Children(x, window))
                pending.emplace_back(child, depth + 1);
    }
    std::sort(found.begin(), found.end());
    return found;
}

unsigned long Display::WindowTitled(pid_t pid, const std::string& title) const {
    for (unsigned long window : WindowsOf(pid))
        if (Title(window) == title)
            return window;
    return 0;
}

std::string Display::Title(unsigned long window) const {
    ::Display* x = X(m_x);
    std::vector<unsigned char> name =
        Property(x, window, "_NET_WM_NAME", AtomNamed(x, "UTF8_STRING"));
    return std::string(name.begin(), name.end());
}

Point Display::ClientOrigin(unsigned long window) const {
    ::Display* x = X(m_x);
    int left = 0, top = 0;
    Window child;
    XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &left, &top, &child);
    return {left, top};
}

Size Display::ClientSize(unsigned long window) const {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(X(m_x), window, &attributes))
        return {};
    return {attributes.width, attributes.height};
}

std::vector<long> Display::FrameExtents(unsigned long window) const {
    std::vector<long> extents = Cardinals(X(m_x), window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    extents.resize(4, 0);
    return extents;
}

bool Display::Iconic(unsigned long window) const {
    ::Display* x = X(m_x);
    std::vector<long> state = Cardinals(x, window, "WM_STATE", AtomNamed(x, "WM_STATE"));
    return !state.empty() && state[0] == IconicState;
}

bool Display::Focused(unsigned long window) const {
    ::Display* x = X(m_x);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x, &focus, &revert);
    for (int depth = 0; focus != None && focus != PointerRoot && depth < 8; ++depth) {
        if (focus == window)
            return true;
        focus = ParentOf(x, focus);
    }
    return false;
}

unsigned long Display::PopupMenu() const {
    ::Display* x = X(m_x);
    Atom popup = AtomNamed(x, "_NET_WM_WINDOW_TYPE_POPUP_MENU");
    for (Window window : Children(x, DefaultRootWindow(x))) {
        if (!Viewable(x, window))
            continue;
        std::vector<long> type = Cardinals(x, window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
        if (!type.empty() && static_cast<Atom>(type[0]) == popup)
            return window;
    }
    return 0;
}

Image Display::Grab(int x, int y, int width, int height) const {
    Image image;
    ::Display* d = X(m_x);
    XImage* shot = XGetImage(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                             static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (shot == nullptr)
        return image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            image.pixels[static_cast<size_t>(row) * width + column] =
                static_cast<uint32_t>(XGetPixel(shot, column, row) & 0xFFFFFF);
    XDestroyImage(shot);
    return image;
}

Image Display::GrabClient(unsigned long window) const {
    Point origin = ClientOrigin(window);
    Size size = ClientSize(window);
    Size screen = ScreenSize();
    // Only what is on the screen can be read back.
    int left = std::max(origin.x, 0), top = std::max(origin.y, 0);
    int right = std::min(origin.x + size.width, screen.width);
    int bottom = std::min(origin.y + size.height, screen.height);
    if (right <= left || bottom <= top)
        return {};
    return Grab(left, top, right - left, bottom - top);
}

void Display::Activate(unsigned long window) const {
    ::Display* x = X(m_x);
    if (HasWindowManager()) {
        // Source 2: a pager, which the manager obeys at once.
        SendRootMessage(x, window, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0});
    } else {
        XRaiseWindow(x, window);
        XSetInputFocus(x, window, RevertToParent, CurrentTime);
        XFlush(x);
    }
}

bool Display::ActivateAndWait(unsigned long window) const {
    return Eventually(
        [&] {
            if (Focused(window))
                return true;
            Activate(window);
            return false;
        },
        10s, 100ms);
}

void Display::Resize(unsigned long window, int width, int height) const {
    XResizeWindow(X(m_x), window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(X(m_x));
}

void Display::Move(unsigned long window, int x, int y) const {
    XMoveWindow(X(m_x), window, x, y);
    XFlush(X(m_x));
}

void Display::Iconify(unsigned long window) const {
    ::Display* x = X(m_x);
    XIconifyWindow(x, window, DefaultScreen(x));
    XFlush(x);
}

unsigned long Display::CreateWindow(int left, int top, int width, int height) const {
    ::Display* x = X(m_x);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(x, DefaultScreen(x));
    Window window = XCreateWindow(x, DefaultRootWindow(x), left, top, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                  CopyFromParent, CWBackPixel, &attributes);
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = left;
    hints.y = top;
    hints.width = width;
    hints.height = height;
    XSetWMNormalHints(x, window, &hints);
    XWMHints input{};
    input.flags = InputHint;
    input.input = True;
    XSetWMHints(x, window, &input);
    XStoreName(x, window, "other");
    XMapRaised(x, window);
    XSync(x, False);
    return window;
}

void Display::Key(const std::string& keys) const {
    std::vector<std::string> names = SplitKeys(keys);
    for (const std::string& name : names)
        KeyDown(name);
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        KeyUp(*it);
}

void Display::KeyDown(const std::string& key) const {
    ::Display* x = X(m_x);
    XTestFakeKeyEvent(x, CodeOf(x, key), True, CurrentTime);
    XSync(x, False);
}

void Display::KeyUp(const std::string& key) const {
    ::Display* x = X(m_x);
    XTestFakeKeyEvent(x, CodeOf(x, key), False, CurrentTime);
    XSync(x, False);
}

void Display::Click(int left, int top) const {
    ::Display* x = X(m_x);
    XTestFakeMotionEvent(x, DefaultScreen(x), left, top, CurrentTime);
    XSync(x, False);
    std::this_thread::sleep_for(50ms);
    XTestFakeButtonEvent(x, Button1, True, CurrentTime);
    XSync(x, False);
    std::this_thread::sleep_for(50ms);
    XTestFakeButtonEvent(x, Button1, False, CurrentTime);
    XSync(x, False);
}

Display::DrawCounter::DrawCounter(const Display& display, unsigned long window)
    // A connection of its own, so that its events queue apart.
    : m_x(XOpenDisplay(display.m_name.c_str())) {
    ::Display* x = X(m_x);
    if (x == nullptr)
        return;
    int error = 0;
    if (!XDamageQueryExtension(x, &m_event, &error))
        return;
    std::vector<Window> windows = {window};
    for (size_t i = 0; i < windows.size(); ++i)
        for (Window child : Children(x, windows[i]))
            windows.push_back(child);
    for (Window each : windows) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(x, each, &attributes) && attributes.c_class == InputOutput)
            m_damage.push_back(XDamageCreate(x, each, XDamageReportNonEmpty));
    }
    XSync(x, False);
}

Display::DrawCounter::~DrawCounter() {
    if (m_x != nullptr)
        XCloseDisplay(X(m_x));
}

long Display::DrawCounter::Count() {
    ::Display* x = X(m_x);
    if (x == nullptr)
        return -1;
    XSync(x, False);
    while (XPending(x) > 0) {
        XEvent event;
        XNextEvent(x, &event);
        if (event.type == m_event + XDamageNotify) {
            ++m_count;
            XDamageSubtract(x, reinterpret_cast<XDamageNotifyEvent*>(&event)->damage, None, None);
        }
    }
    return m_count;
}

void Display::DrawCounter::Await(std::chrono::milliseconds most) {
    ::Display* x = X(m_x);
    if (x == nullptr)
        return;
    if (XPending(x) == 0) {
        pollfd wait{ConnectionNumber(x), POLLIN, 0};
        poll(&wait, 1, static_cast<int>(most.count()));
    }
    Count();
}

long Display::DrawCounter::CountFor(std::chrono::milliseconds time) {
    long start = Count();
    auto end = Clock::now() + time;
    while (Clock::now() < end) {
        std::this_thread::sleep_for(5ms);
        Count();
    }
    return Count() - start;
}

// ---------------------------------------------------------------- Program

Program::Program(const std::string& executable, const std::string& folder)
    : Program(std::vector<std::string>{executable}, folder) {}

Program::Program(const std::vector<std::string>& command, const std::string& folder)
    : m_errorFile(TempName("stderr.txt")) {
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        DieWithParent();
        int error = open(m_errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int null = open("/dev/null", O_WRONLY);
        if (error < 0 || dup2(error, STDERR_FILENO) < 0 || dup2(null, STDOUT_FILENO) < 0 ||
            chdir(folder.c_str()) != 0)
            _exit(126);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
}

Program::~Program() {
    if (m_pid > 0 && Running()) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    std::remove(m_errorFile.c_str());
}

bool Program::Running() {
    if (m_ended)
        return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_ended = true;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }
    return true;
}

int Program::WaitForExit(std::chrono::milliseconds limit) {
    if (!Eventually([&] { return !Running(); }, limit, 20ms)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_ended = true;
        return -1;
    }
    return m_status;
}

std::vector<std::string> Program::Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadAll(m_errorFile));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Program::ProgramLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : Lines())
        if (line.rfind("HXP:", 0) == 0 || line.rfind(" Hxp:", 0) == 0 ||
            line.rfind("phase ", 0) == 0 || line.rfind("vupa:", 0) == 0)
            lines.push_back(line);
    return lines;
}

std::vector<std::string> Program::ProgramLinesFrom(size_t first) const {
    std::vector<std::string> lines = ProgramLines();
    lines.erase(lines.begin(), lines.begin() + static_cast<long>(std::min(first, lines.size())));
    return lines;
}

unsigned long WaitForWindow(const Display& display, pid_t pid, const std::string& title,
                            std::chrono::milliseconds limit) {
    unsigned long window = 0;
    Eventually([&] { return (window = display.WindowTitled(pid, title)) != 0; }, limit);
    return window;
}

long FindInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted,
                 size_t from) {
    size_t next = 0;
    size_t i = from;
    for (; i < lines.size() && next < wanted.size(); ++i)
        if (lines[i] == wanted[next])
            ++next;
    return next == wanted.size() ? static_cast<long>(i) : -1;
}

std::vector<std::string> SetupLines(Size client) {
    return {
        "HXP:Hexaplan Initialize",
        "HXP:CreateDirectDrawWin",
        "HXP:Hexaplan Cleanup",
        "HXP:CreateD3DRM",
        "HXP:DeviceName :MMX Emulation 881949a1",
        "HXP:DeviceGuid 0",
        "HXP:Created Direct3DDevice with MMX(HEL)",
        "HXP:HXPViewport",
        "HXP:Viewport width:" + std::to_string(client.width) +
            " height:" + std::to_string(client.height),
        "phase 3",
        "phase 4",
    };
}

std::string ProgramPath() {
    return ZV_ZEVRA;
}

std::string DataDir() {
    return std::string(ZV_SOURCE_DIR) + "/data";
}

} // namespace zv::e2e
