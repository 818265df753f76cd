// The test's own X connection.
#include "display_support.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace zv::test {

namespace {

Display* X(void* display) {
    return static_cast<Display*>(display);
}

} // namespace

XServer::XServer() : m_display(XOpenDisplay(nullptr)) {}

XServer::~XServer() {
    if (m_display != nullptr)
        XCloseDisplay(X(m_display));
}

bool XServer::HasWindowManager() const {
    Atom check = XInternAtom(X(m_display), "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(X(m_display), DefaultRootWindow(X(m_display)), check, 0, 1, False,
                       AnyPropertyType, &type, &format, &count, &after, &data);
    bool found = data != nullptr && count > 0;
    if (data != nullptr)
        XFree(data);
    return found;
}

unsigned long XServer::PixelAt(int x, int y) const {
    XImage* image =
        XGetImage(X(m_display), DefaultRootWindow(X(m_display)), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return ~0ul;
    unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

POINT XServer::ScreenOrigin(unsigned long window) const {
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(X(m_display), window, DefaultRootWindow(X(m_display)), 0, 0, &x, &y,
                          &child);
    return {x, y};
}

void XServer::RequestClose(unsigned long window) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(X(m_display), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] =
        static_cast<long>(XInternAtom(X(m_display), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(X(m_display), window, False, NoEventMask, &event);
    XFlush(X(m_display));
}

unsigned long XServer::CreateWindow(int x, int y, int width, int height) const {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(X(m_display), DefaultScreen(X(m_display)));
    Window window = XCreateWindow(X(m_display), DefaultRootWindow(X(m_display)), x, y,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                  CopyFromParent, InputOutput, CopyFromParent,
                                  CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(X(m_display), window);
    XSync(X(m_display), False);
    return window;
}

void XServer::DestroyWindow(unsigned long window) const {
    XDestroyWindow(X(m_display), window);
    XSync(X(m_display), False);
}

void XServer::Focus(unsigned long window) const {
    XSetInputFocus(X(m_display), window, RevertToParent, CurrentTime);
    XSync(X(m_display), False);
}

bool XServer::PopupMenuShown() const {
    Display* display = X(m_display);
    Atom typeProperty = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom popupMenu = XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return false;
    bool shown = false;
    for (unsigned i = 0; i < count && !shown; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) ||
            attributes.map_state != IsViewable)
            continue;
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], typeProperty, 0, 1, False, XA_ATOM, &type,
                               &format, &items, &after, &data) == Success &&
            data != nullptr) {
            shown = items == 1 && *reinterpret_cast<Atom*>(data) == popupMenu;
            XFree(data);
        }
    }
    if (children != nullptr)
        XFree(children);
    return shown;
}

} // namespace zv::test
