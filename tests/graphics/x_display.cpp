#include "tests/graphics/x_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstring>

namespace Gfx::testing {

namespace {

std::string nameOf(Display* display, ::Window window) {
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        name.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        return name;
    }
    char* plain = nullptr;
    if (XFetchName(display, window, &plain) && plain != nullptr) {
        name = plain;
        XFree(plain);
    }
    return name;
}

::Window search(Display* display, ::Window under, const std::string& title) {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, under, &root, &parent, &children, &count)) return 0;
    ::Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (nameOf(display, children[i]) == title &&
            XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable) {
            found = children[i];
        } else {
            found = search(display, children[i], title);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

}  // namespace

XDisplay::XDisplay() : display_(XOpenDisplay(nullptr)) {}

XDisplay::~XDisplay() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

::Window XDisplay::findWindow(const std::string& title, int timeoutMs) {
    ::Window found = 0;
    waitUntil([&] { return (found = search(display_, DefaultRootWindow(display_), title)) != 0; }, timeoutMs);
    return found;
}

bool XDisplay::isViewable(::Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable;
}

void XDisplay::clientSize(::Window window, int* width, int* height) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, window, &attributes);
    *width = attributes.width;
    *height = attributes.height;
}

unsigned long XDisplay::pixel(::Window window, int x, int y) {
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return ~0ul;
    const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return value;
}

bool XDisplay::waitForPixel(::Window window, int x, int y, unsigned long expected, int timeoutMs) {
    if (waitUntil([&] { return pixel(window, x, y) == expected; }, timeoutMs)) return true;
    std::fprintf(stderr, "waited %d ms for pixel (%d, %d) to be #%06lx; it is #%06lx\n", timeoutMs, x, y,
                 expected, pixel(window, x, y));
    return false;
}

void XDisplay::movePointer(::Window window, int x, int y) {
    int rootX = 0;
    int rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
    XFlush(display_);
}

void XDisplay::button(unsigned int number, bool press) {
    XTestFakeButtonEvent(display_, number, press ? True : False, CurrentTime);
    XFlush(display_);
}

void XDisplay::key(unsigned long keysym, bool press) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), press ? True : False, CurrentTime);
    XFlush(display_);
}

void XDisplay::tap(unsigned long keysym) {
    key(keysym, true);
    key(keysym, false);
}

void XDisplay::sendCloseRequest(::Window window) {
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}

}  // namespace Gfx::testing
