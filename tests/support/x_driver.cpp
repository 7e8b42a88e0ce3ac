#include "tests/support/x_driver.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace mmtest {

namespace {

using Clock = std::chrono::steady_clock;

// Errors on the drivers' own connections (a window read or searched just as it goes away) make
// the call fail instead of ending the process; other connections keep the handler they had.
std::mutex registryMutex;
std::vector<Display*> driverDisplays;
std::atomic<XErrorHandler> previousHandler{nullptr};

int onXError(Display* display, XErrorEvent* error) {
    {
        std::lock_guard lock(registryMutex);
        if (std::find(driverDisplays.begin(), driverDisplays.end(), display) != driverDisplays.end())
            return 0;
    }
    const XErrorHandler previous = previousHandler.load();
    return previous != nullptr ? previous(display, error) : 0;
}

Display* openDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') return nullptr;
    XInitThreads();
    Display* display = nullptr;
    // Xvfb refuses connections while it resets after its last client left, and a busy server
    // may refuse one for a moment.
    constexpr Milliseconds kTrying{5000};
    if (!waitUntil([&] { return (display = XOpenDisplay(nullptr)) != nullptr; }, kTrying, Milliseconds(20))) {
        std::fprintf(stderr, "cannot open the X display \"%s\" (tried for %lld ms)\n", name,
                     static_cast<long long>(kTrying.count()));
        return nullptr;
    }
    static std::once_flag installed;
    std::call_once(installed, [] { previousHandler = XSetErrorHandler(onXError); });
    std::lock_guard lock(registryMutex);
    driverDisplays.push_back(display);
    return display;
}

// A property's items in the given format (8 for char, 32 for long: Xlib hands 32-bit items as
// longs); empty when the window has none of that type.
template <typename Item>
std::vector<Item> property(Display* display, Window window, Atom name, Atom type) {
    constexpr int kFormat = sizeof(Item) == 1 ? 8 : 32;
    Atom actual = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<Item> items;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, type, &actual, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        const auto* first = reinterpret_cast<const Item*>(data);
        if (format == kFormat) items.assign(first, first + count);
        XFree(data);
    }
    return items;
}

// _NET_WM_NAME, or WM_NAME for a window without one.
std::string titleOf(Display* display, Window window) {
    const std::vector<char> utf8 =
        property<char>(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                       XInternAtom(display, "UTF8_STRING", False));
    const std::vector<char> name =
        utf8.empty() ? property<char>(display, window, XA_WM_NAME, XA_STRING) : utf8;
    return std::string(name.begin(), name.end());
}

pid_t ownerPid(Display* display, Window window) {
    const std::vector<long> pid =
        property<long>(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL);
    return pid.size() == 1 ? static_cast<pid_t>(pid.front()) : 0;
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

std::vector<Window> childrenOf(Display* display, Window window) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return result;
    result.assign(children, children + count);  // bottom to top
    if (children != nullptr) XFree(children);
    return result;
}

// Topmost first; a window that is not viewable has no viewable descendants either.
Window search(Display* display, Window under, const std::string& title, pid_t pid) {
    const std::vector<Window> children = childrenOf(display, under);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (!viewable(display, *it)) continue;
        if (titleOf(display, *it) == title && (pid == 0 || ownerPid(display, *it) == pid)) return *it;
        if (const Window found = search(display, *it, title, pid)) return found;
    }
    return 0;
}

// The titles of the viewable top-level windows, for a failed search.
std::string viewableTitles(Display* display) {
    std::string text;
    for (const Window window : childrenOf(display, DefaultRootWindow(display))) {
        if (!viewable(display, window)) continue;
        text += (text.empty() ? "\"" : ", \"") + titleOf(display, window) + "\" (pid " +
                std::to_string(ownerPid(display, window)) + ")";
    }
    return text.empty() ? "no top-level window is viewable" : "the viewable top-level windows: " + text;
}

// What the driver holds down, to let go of at its end.
void noteHeld(std::vector<unsigned>& held, unsigned item, bool press) {
    const auto at = std::find(held.begin(), held.end(), item);
    if (press && at == held.end()) held.push_back(item);
    if (!press && at != held.end()) held.erase(at);
}

std::string hexWindow(XWindow window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, Milliseconds timeout, Milliseconds pause) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(pause);
    }
}

bool waitFor(const std::string& what, const std::function<bool()>& condition,
             const std::function<std::string()>& lastSeen, Milliseconds timeout, Milliseconds pause) {
    if (waitUntil(condition, timeout, pause)) return true;
    std::fprintf(stderr, "waited %lld ms for %s; %s\n", static_cast<long long>(timeout.count()), what.c_str(),
                 lastSeen().c_str());
    return false;
}

std::string describeRgb(std::uint32_t rgb) {
    if (rgb == XDriver::kUnreadable) return "unreadable";
    return "rgb(" + std::to_string((rgb >> 16) & 0xFF) + ", " + std::to_string((rgb >> 8) & 0xFF) + ", " +
           std::to_string(rgb & 0xFF) + ")";
}

XDriver::XDriver() : display_(openDisplay()) {}

XDriver::~XDriver() {
    if (display_ == nullptr) return;
    for (const unsigned code : heldKeys_) XTestFakeKeyEvent(display_, code, False, CurrentTime);
    for (const unsigned number : heldButtons_) XTestFakeButtonEvent(display_, number, False, CurrentTime);
    for (const auto& [keysym, code] : mappedKeys_) {
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(display_, static_cast<int>(code), 1, &none, 1);
    }
    XCloseDisplay(display_);
    std::lock_guard lock(registryMutex);
    driverDisplays.erase(std::find(driverDisplays.begin(), driverDisplays.end(), display_));
}

bool XDriver::available() {
    static const bool reachable = XDriver().ok();
    return reachable;
}

void XDriver::sync() {
    XSync(display_, False);
}

XWindow XDriver::windowTitled(const std::string& title, pid_t pid) {
    return search(display_, DefaultRootWindow(display_), title, pid);
}

XWindow XDriver::findWindow(const std::string& title, Milliseconds timeout, pid_t pid) {
    XWindow found = 0;
    const std::string what = "a viewable window titled \"" + title + "\"" +
                             (pid != 0 ? " of process " + std::to_string(pid) : std::string());
    waitFor(
        what, [&] { return (found = windowTitled(title, pid)) != 0; },
        [&] { return viewableTitles(display_); }, timeout);
    return found;
}

XWindow XDriver::rootWindow() {
    return DefaultRootWindow(display_);
}

bool XDriver::isViewable(XWindow window) {
    return viewable(display_, window);
}

void XDriver::clientSize(XWindow window, int* width, int* height) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    *width = attributes.width;
    *height = attributes.height;
}

ScreenRect XDriver::screenRect(XWindow window) {
    ScreenRect rect{};
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &rect.x, &rect.y, &child);
    clientSize(window, &rect.width, &rect.height);
    return rect;
}

void XDriver::focus(XWindow window) {
    XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
    sync();
}

void XDriver::sendCloseRequest(XWindow window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    sync();
}

std::vector<long> XDriver::longProperty(XWindow window, const std::string& name, const std::string& type) {
    return property<long>(display_, window, XInternAtom(display_, name.c_str(), False),
                          XInternAtom(display_, type.c_str(), False));
}

std::uint32_t XDriver::pixel(XWindow window, int x, int y) {
    const std::vector<std::uint32_t> one = pixels(window, x, y, 1, 1);
    return one.empty() ? kUnreadable : one.front();
}

std::vector<std::uint32_t> XDriver::pixels(XWindow window, int x, int y, int width, int height) {
    std::vector<std::uint32_t> result;
    XImage* image = XGetImage(display_, window, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) return result;
    result.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            result.push_back(static_cast<std::uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF));
        }
    }
    XDestroyImage(image);
    return result;
}

bool XDriver::waitForPixel(XWindow window, int x, int y, std::uint32_t expected, Milliseconds timeout) {
    return waitFor(
        "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") of window " + hexWindow(window) +
            " to be " + describeRgb(expected),
        [&] { return pixel(window, x, y) == expected; },
        [&] { return "it is " + describeRgb(pixel(window, x, y)); }, timeout);
}

bool XDriver::waitForPixelOtherThan(XWindow window, int x, int y, std::uint32_t colour,
                                    Milliseconds timeout) {
    return waitFor(
        "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") of window " + hexWindow(window) +
            " to change from " + describeRgb(colour),
        [&] {
            const std::uint32_t now = pixel(window, x, y);
            return now != colour && now != kUnreadable;
        },
        [&] { return "it is " + describeRgb(pixel(window, x, y)); }, timeout);
}

void XDriver::keycode(unsigned code, bool press) {
    XTestFakeKeyEvent(display_, code, press ? True : False, CurrentTime);
    noteHeld(heldKeys_, code, press);
    sync();
}

void XDriver::key(unsigned long keysym, bool press) {
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    if (code == 0) std::fprintf(stderr, "no key of the keyboard types keysym 0x%lx\n", keysym);
    keycode(code, press);
}

void XDriver::tap(unsigned long keysym, std::initializer_list<unsigned long> modifiers) {
    for (const unsigned long modifier : modifiers) key(modifier, true);
    key(keysym, true);
    key(keysym, false);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) key(*it, false);
}

void XDriver::type(const std::string& ascii) {
    for (const char c : ascii) {
        const auto keysym = static_cast<unsigned long>(static_cast<unsigned char>(c));  // Latin-1 keysyms
        const KeyCode code = XKeysymToKeycode(display_, keysym);
        const bool shifted = code != 0 && XkbKeycodeToKeysym(display_, code, 0, 0) != keysym;
        if (shifted) {
            tap(keysym, {XK_Shift_L});
        } else {
            tap(keysym);
        }
    }
}

bool XDriver::mapSpareKeys(const std::vector<unsigned long>& keysyms) {
    int minCode = 0;
    int maxCode = 0;
    XDisplayKeycodes(display_, &minCode, &maxCode);
    int perCode = 0;
    KeySym* map =
        XGetKeyboardMapping(display_, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
    if (map == nullptr) return false;
    std::size_t next = 0;
    for (int code = maxCode; code >= minCode && next < keysyms.size(); --code) {
        bool spare = true;
        for (int i = 0; i < perCode; ++i) spare = spare && map[(code - minCode) * perCode + i] == NoSymbol;
        if (!spare) continue;
        KeySym keysym = keysyms[next];
        XChangeKeyboardMapping(display_, code, 1, &keysym, 1);
        mappedKeys_.emplace_back(keysyms[next], static_cast<unsigned>(code));
        ++next;
    }
    XFree(map);
    sync();
    return next == keysyms.size();
}

bool XDriver::mapCharacters(const std::u32string& characters) {
    std::vector<unsigned long> keysyms;
    for (const char32_t c : characters) keysyms.push_back(0x01000000 + c);  // the Unicode keysyms
    return mapSpareKeys(keysyms);
}

bool XDriver::mapKeysym(unsigned long keysym) {
    return mapSpareKeys({keysym});
}

bool XDriver::tapMapped(unsigned long keysym, std::initializer_list<unsigned long> modifiers) {
    for (const auto& [mapped, code] : mappedKeys_) {
        if (mapped != keysym) continue;
        for (const unsigned long modifier : modifiers) key(modifier, true);
        keycode(code, true);
        keycode(code, false);
        for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) key(*it, false);
        return true;
    }
    std::fprintf(stderr, "keysym 0x%lx has no key of its own: map it first\n", keysym);
    return false;
}

bool XDriver::typeCharacter(char32_t character) {
    const unsigned long keysym = 0x01000000 + character;
    if (std::any_of(mappedKeys_.begin(), mappedKeys_.end(),
                    [&](const auto& key) { return key.first == keysym; }))
        return tapMapped(keysym);
    std::fprintf(stderr, "U+%04X has no key: mapCharacters first\n", static_cast<unsigned>(character));
    return false;
}

void XDriver::releaseEverything() {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    for (unsigned code = 8; code < 256; ++code) {
        if ((keys[code / 8] >> (code % 8)) & 1) XTestFakeKeyEvent(display_, code, False, CurrentTime);
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &x, &y, &mask);
    for (unsigned number = 1; number <= 5; ++number) {
        if (mask & (Button1Mask << (number - 1))) XTestFakeButtonEvent(display_, number, False, CurrentTime);
    }
    heldKeys_.clear();
    heldButtons_.clear();
    sync();
}

void XDriver::movePointer(XWindow window, int x, int y) {
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
    movePointerOnScreen(rootX, rootY);
}

void XDriver::movePointerOnScreen(int x, int y) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    sync();
}

void XDriver::button(unsigned number, bool press) {
    XTestFakeButtonEvent(display_, number, press ? True : False, CurrentTime);
    noteHeld(heldButtons_, number, press);
    sync();
}

void XDriver::click(unsigned number) {
    button(number, true);
    button(number, false);
}

void XDriver::clickAt(XWindow window, int x, int y, unsigned number) {
    movePointer(window, x, y);
    click(number);
}

void XDriver::drag(XWindow window, int fromX, int fromY, int toX, int toY, unsigned number) {
    movePointer(window, fromX, fromY);
    button(number, true);
    movePointer(window, (fromX + toX) / 2, (fromY + toY) / 2);
    movePointer(window, toX, toY);
    button(number, false);
}

void XDriver::wheel(int steps, std::initializer_list<unsigned long> modifiers) {
    for (const unsigned long modifier : modifiers) key(modifier, true);
    for (int i = 0; i < std::abs(steps); ++i) click(steps > 0 ? 4 : 5);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) key(*it, false);
}

}  // namespace mmtest
