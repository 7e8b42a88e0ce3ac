#include "platform/x11/display.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "platform/kernel32/console_events.h"
#include "platform/user32/message_queue.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/events.h"
#include "platform/x11/input_method.h"

namespace platform::x11 {

namespace {

struct Connection {
    std::recursive_mutex mutex;
    Display* display = nullptr;
    bool tried = false;
    XAtoms atoms{};
    unsigned altMask = Mod1Mask;
    XErrorHandler previousHandler = nullptr;
};

Connection& connection() {
    static auto* instance = new Connection;  // used by threads that may outlive main
    return *instance;
}

std::atomic<bool> opened{false};
bool trapping = false;  // under XLock
bool trapped = false;
thread_local int lockDepth = 0;

// A window that vanished under a request must not end the process, as Xlib's default
// handler would; errors of other connections keep their handler.
int onXError(Display* display, XErrorEvent* error) {
    auto& c = connection();
    if (display != c.display && c.previousHandler != nullptr) return c.previousHandler(display, error);
    if (trapping) {
        trapped = true;
        return 0;
    }
    if (std::getenv("MM_X11_DEBUG") != nullptr) {
        char text[128] = {};
        XGetErrorText(display, error->error_code, text, sizeof text);
        std::fprintf(stderr, "X error: %s (request %d.%d)\n", text, error->request_code, error->minor_code);
    }
    return 0;
}

// The X server went away (killed, or the session ended): Xlib ends the process when this
// returns, so it never does. The program's console handlers hear it as a log-off, which is what
// the end of its session is, and may keep what they must; every thread that meets the lost
// connection comes here, and whichever finishes first ends the process.
int onConnectionLost(Display*) {
    static std::atomic<bool> said{false};
    if (!said.exchange(true)) std::fputs("the connection to the X display was lost\n", stderr);
    platform::kernel32::callConsoleHandlers(CTRL_LOGOFF_EVENT);
    std::fflush(nullptr);
    std::_Exit(1);
}

void open(Connection& c) {
    c.tried = true;
    XInitThreads();
    // A busy local server can refuse a connection for a moment (EAGAIN on its socket while
    // its backlog is full); try again for about a second before giving up.
    c.display = XOpenDisplay(nullptr);
    for (int attempt = 1; c.display == nullptr && attempt <= 20 && std::getenv("DISPLAY") != nullptr;
         ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt));
        c.display = XOpenDisplay(nullptr);
    }
    if (c.display == nullptr) {
        // Windows cannot be created without it; say why once, the calls fail quietly after.
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "cannot open the X display \"%s\"\n", name != nullptr ? name : "");
        return;
    }
    c.previousHandler = XSetErrorHandler(onXError);
    XSetIOErrorHandler(onConnectionLost);
    const char* names[] = {"WM_PROTOCOLS", "WM_DELETE_WINDOW",  "WM_STATE",
                           "_NET_WM_NAME", "_NET_WM_ICON_NAME", "_NET_WM_PID",
                           "_NET_WM_PING", "UTF8_STRING",       "_MOTIF_WM_HINTS"};
    Atom values[9] = {};
    XInternAtoms(c.display, const_cast<char**>(names), 9, False, values);
    c.atoms = XAtoms{values[0], values[1], values[2], values[3], values[4],
                     values[5], values[6], values[7], values[8]};
    // Held keys repeat as presses without releases in between, as on Windows.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(c.display, True, &supported);
    startInputMethod(c.display);
    xRefreshModifiers();
    opened.store(true);
    startInputReader(c.display);
}

}  // namespace

XLock::XLock() {
    connection().mutex.lock();
    ++lockDepth;
}

XLock::~XLock() {
    auto& c = connection();
    if (--lockDepth == 0 && c.display != nullptr) {
        // Requests go out now; events that another thread's reply read into Xlib's queue
        // wake whoever reads input, which would otherwise sleep on the socket.
        XFlush(c.display);
        if (XQLength(c.display) > 0) {
            if (inputReaderRunning()) {
                wakeInputReader();
            } else {
                user32::wakeWindowThreads();
            }
        }
    }
    c.mutex.unlock();
}

Display* xDisplay() {
    auto& c = connection();
    if (!c.tried) open(c);
    return c.display;
}

void xBeginErrorTrap() {
    trapping = true;
    trapped = false;
}

bool xEndErrorTrap() {
    XSync(connection().display, False);
    trapping = false;
    return trapped;
}

bool xDisplayOpened() {
    return opened.load();
}

const XAtoms& xAtoms() {
    return connection().atoms;
}

unsigned xAltMask() {
    return connection().altMask;
}

void xRefreshModifiers() {
    auto& c = connection();
    XModifierKeymap* map = XGetModifierMapping(c.display);
    if (map == nullptr) return;
    const KeyCode altL = XKeysymToKeycode(c.display, XK_Alt_L);
    const KeyCode altR = XKeysymToKeycode(c.display, XK_Alt_R);
    for (int modifier = 3; modifier < 8; ++modifier) {  // Mod1 .. Mod5
        for (int k = 0; k < map->max_keypermod; ++k) {
            const KeyCode code = map->modifiermap[modifier * map->max_keypermod + k];
            if (code != 0 && (code == altL || code == altR)) {
                c.altMask = 1u << modifier;
                XFreeModifiermap(map);
                return;
            }
        }
    }
    XFreeModifiermap(map);
}

}  // namespace platform::x11
