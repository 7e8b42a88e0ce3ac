#include "tests/e2e/editor_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

constexpr auto kPollPause = std::chrono::milliseconds(2);

// Status bar fill, drawn last in every frame.
constexpr int kStatusX = 1375;
constexpr int kStatusY = 745;
constexpr std::uint32_t kStatusFill = 0xF0F0F0;

// The grey "撤销" button and its hover fill: the settle probe.
constexpr int kProbeX = 14;
constexpr int kProbeY = 337;
constexpr std::uint32_t kProbeFill = 0xC8C8C8;
constexpr std::uint32_t kProbeHover = 0xB4B4B4;

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

bool hasTitle(Display* display, Window w, const char* title) {
    char* name = nullptr;
    bool match = false;
    if (XFetchName(display, w, &name) != 0 && name != nullptr) {
        match = std::strcmp(name, title) == 0;
        XFree(name);
    }
    if (match) return true;
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, w, netName, 0, 64, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data != nullptr) {
        match = std::strcmp(reinterpret_cast<char*>(data), title) == 0;
        XFree(data);
    }
    return match;
}

bool viewable(Display* display, Window w) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, w, &attributes) != 0 && attributes.map_state == IsViewable;
}

}  // namespace

void applyEnvironment(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        const auto eq = entry.find('=');
        if (eq == std::string::npos) {
            unsetenv(entry.c_str());
        } else {
            setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
        }
    }
}

EditorSession::EditorSession() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') return;
    // Xvfb resets itself when its last client leaves and refuses connections meanwhile.
    waitUntil(
        [this] {
            display = XOpenDisplay(nullptr);
            return display != nullptr;
        },
        std::chrono::milliseconds(5000));
    if (display != nullptr) XSetErrorHandler(ignoreErrors);
}

EditorSession::~EditorSession() {
    if (child > 0 && !reaped) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (display != nullptr) {
        for (const auto& [ch, keycode] : unicodeKeys) {
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(display, static_cast<int>(keycode), 1, &none, 1);
        }
        XCloseDisplay(display);
    }
}

bool EditorSession::start(const std::string& program, const std::string& workDir,
                          const std::vector<std::string>& env) {
    started = Clock::now();
    child = fork();
    if (child < 0) return false;
    if (child == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(126);
        applyEnvironment(env);
        const int devNull = open("/dev/null", O_RDONLY);
        if (devNull >= 0) dup2(devNull, STDIN_FILENO);
        const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) dup2(out, STDOUT_FILENO);
        const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) dup2(err, STDERR_FILENO);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return true;
}

bool EditorSession::waitForWindow(std::chrono::milliseconds timeout) {
    if (display == nullptr) return false;
    const bool found = waitUntil(
        [this] {
            Window rootReturn = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned count = 0;
            if (XQueryTree(display, DefaultRootWindow(display), &rootReturn, &parent, &children, &count) ==
                0) {
                return false;
            }
            editorWindow = 0;
            for (unsigned i = count; i-- > 0;) {
                if (hasTitle(display, children[i], "mindmap") && viewable(display, children[i])) {
                    editorWindow = children[i];
                    break;
                }
            }
            if (children != nullptr) XFree(children);
            return editorWindow != 0;
        },
        timeout);
    if (found) {
        XSetInputFocus(display, editorWindow, RevertToPointerRoot, CurrentTime);
        flush();
    }
    return found;
}

bool EditorSession::waitForFirstFrame(std::chrono::milliseconds timeout) {
    return waitForColour(kStatusX, kStatusY, kStatusFill, timeout);
}

std::uint32_t EditorSession::colourAt(int x, int y) {
    const std::vector<std::uint32_t> one = colours(x, y, 1, 1);
    return one.empty() ? 0xFFFFFFFF : one.front();
}

std::vector<std::uint32_t> EditorSession::colours(int x, int y, int width, int height) {
    if (display == nullptr || editorWindow == 0) return {};
    XImage* image = XGetImage(display, editorWindow, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    std::vector<std::uint32_t> out;
    out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            out.push_back(static_cast<std::uint32_t>(((pixel & 0xFF) << 16) | (pixel & 0xFF00) |
                                                     ((pixel >> 16) & 0xFF)));
        }
    }
    XDestroyImage(image);
    return out;
}

bool EditorSession::waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (condition()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollPause);
    }
}

bool EditorSession::waitForColour(int x, int y, std::uint32_t colour, std::chrono::milliseconds timeout) {
    if (waitUntil([&] { return colourAt(x, y) == colour; }, timeout)) return true;
    std::fprintf(stderr, "waited %lld ms for (%d, %d) to be #%06x; it is #%06x\n",
                 static_cast<long long>(timeout.count()), x, y, colour, colourAt(x, y));
    return false;
}

bool EditorSession::waitForOtherColour(int x, int y, std::uint32_t colour,
                                       std::chrono::milliseconds timeout) {
    if (waitUntil([&] { return colourAt(x, y) != colour && colourAt(x, y) != 0xFFFFFFFF; }, timeout)) {
        return true;
    }
    std::fprintf(stderr, "waited %lld ms for (%d, %d) to change from #%06x; it is #%06x\n",
                 static_cast<long long>(timeout.count()), x, y, colour, colourAt(x, y));
    return false;
}

void EditorSession::moveTo(int x, int y) {
    int rootX = 0;
    int rootY = 0;
    Window ignored = 0;
    XTranslateCoordinates(display, editorWindow, DefaultRootWindow(display), x, y, &rootX, &rootY, &ignored);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    flush();
}

void EditorSession::click(int x, int y, unsigned button) {
    moveTo(x, y);
    buttonDown(button);
    buttonUp(button);
}

void EditorSession::buttonDown(unsigned button) {
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    flush();
}

void EditorSession::buttonUp(unsigned button) {
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    flush();
}

unsigned EditorSession::keycodeFor(unsigned long keysym) {
    return XKeysymToKeycode(display, keysym);
}

void EditorSession::tapKey(unsigned long keysym) {
    const unsigned keycode = keycodeFor(keysym);
    XTestFakeKeyEvent(display, keycode, True, CurrentTime);
    XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    flush();
}

void EditorSession::tapWithControl(unsigned long keysym) {
    const unsigned control = keycodeFor(XK_Control_L);
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    tapKey(keysym);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    flush();
}

void EditorSession::typeAscii(const std::string& text) {
    for (char c : text) {
        unsigned long keysym = NoSymbol;
        switch (c) {
            case '.':
                keysym = XK_period;
                break;
            case '/':
                keysym = XK_slash;
                break;
            case '-':
                keysym = XK_minus;
                break;
            case ' ':
                keysym = XK_space;
                break;
            default:
                keysym = static_cast<unsigned char>(c);
                break;  // a-z, 0-9 are their own keysyms
        }
        tapKey(keysym);
    }
}

bool EditorSession::mapUnicodeKeys(const std::u32string& characters) {
    int minCode = 0;
    int maxCode = 0;
    XDisplayKeycodes(display, &minCode, &maxCode);
    int perCode = 0;
    KeySym* map =
        XGetKeyboardMapping(display, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
    if (map == nullptr) return false;
    std::size_t next = 0;
    for (int code = maxCode; code >= minCode && next < characters.size(); --code) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i) empty = empty && map[(code - minCode) * perCode + i] == NoSymbol;
        if (!empty) continue;
        KeySym keysym = 0x01000000 + characters[next];  // the Unicode keysym range
        XChangeKeyboardMapping(display, code, 1, &keysym, 1);
        unicodeKeys.emplace_back(characters[next], static_cast<unsigned>(code));
        ++next;
    }
    XFree(map);
    XSync(display, False);
    return next == characters.size();
}

void EditorSession::typeUnicode(char32_t codePoint) {
    for (const auto& [ch, keycode] : unicodeKeys) {
        if (ch != codePoint) continue;
        XTestFakeKeyEvent(display, keycode, True, CurrentTime);
        XTestFakeKeyEvent(display, keycode, False, CurrentTime);
        flush();
        return;
    }
}

bool EditorSession::settle(std::chrono::milliseconds timeout) {
    moveTo(kProbeX + 80, kProbeY - 10);
    if (!waitForColour(kProbeX, kProbeY, kProbeHover, timeout)) return false;
    moveTo(1300, 700);
    return waitForColour(kProbeX, kProbeY, kProbeFill, timeout);
}

void EditorSession::sendCloseRequest() {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = editorWindow;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, editorWindow, False, NoEventMask, &event);
    flush();
}

std::optional<int> EditorSession::waitForExit(std::chrono::milliseconds timeout) {
    if (child <= 0) return std::nullopt;
    const bool ended = waitUntil(
        [&] {
            if (!reaped && waitpid(child, &exitStatus, WNOHANG) == child) reaped = true;
            return reaped;
        },
        timeout);
    if (!ended || !WIFEXITED(exitStatus)) return std::nullopt;
    return WEXITSTATUS(exitStatus);
}

void EditorSession::flush() {
    XSync(display, False);
}
