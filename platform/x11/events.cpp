// X events become Windows messages for the thread that owns the window: input is posted
// (in arrival order, with Windows' parameters), window changes are sent.
#include "platform/x11/events.h"

#include <X11/XKBlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <utility>

#include "platform/user32/focus_capture.h"
#include "platform/user32/key_state.h"
#include "platform/user32/message_queue.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"
#include "platform/x11/input_method.h"
#include "platform/x11/keyboard.h"
#include "platform/x11/selection.h"

namespace platform::x11 {

namespace {

std::atomic<bool> readerRunning{false};
int readerWakeFd = -1;

[[noreturn]] void readInput(int connection) {
    for (;;) {
        pumpXEvents();
        pollfd fds[2] = {{connection, POLLIN, 0}, {readerWakeFd, POLLIN, 0}};
        poll(fds, 2, -1);
        std::uint64_t count = 0;
        [[maybe_unused]] const auto got = read(readerWakeFd, &count, sizeof count);
    }
}

// Keys down as the windows saw them, for the previous-state bit of key messages.
std::array<bool, 256> keyDown{};

void post(const WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam, int rootX, int rootY,
          DWORD keyTextId = 0) {
    MSG msg{};
    msg.hwnd = window.hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    msg.pt = POINT{rootX, rootY};
    msg.lPrivate = keyTextId;
    user32::postMessageTo(window.ownerThread, msg);
}

// X's button and modifier masks and the MK_ flags they become.
constexpr std::pair<unsigned, WPARAM> kMouseKeys[] = {
    {Button1Mask, MK_LBUTTON}, {Button2Mask, MK_MBUTTON}, {Button3Mask, MK_RBUTTON},
    {ShiftMask, MK_SHIFT},     {ControlMask, MK_CONTROL},
};

WPARAM mouseKeys(unsigned state) {
    WPARAM keys = 0;
    for (const auto& [mask, key] : kMouseKeys) {
        if (state & mask) keys |= key;
    }
    return keys;
}

LPARAM pointParam(int x, int y) {
    return MAKELPARAM(x, y);
}

// X's masks of the buttons that drag: left, middle, right.
constexpr unsigned kDragButtons = Button1Mask | Button2Mask | Button3Mask;

unsigned buttonMask(unsigned number) {
    return number >= 1 && number <= 3 ? Button1Mask << (number - 1) : 0;
}

// Windows gives a window the pointer over its client area only. X's implicit grab reports every
// motion and button to the window pressed in until the last button is up: outside, those belong
// to whatever window lies there, so they are dropped, the button-up outside too. A window with
// the capture hears the pointer outside while a button it was told of is held: over another
// thread's window Windows directs the pointer to the capture only while a button is down, and a
// press out there is that window's. `held` is the buttons down before the event, as X says.
bool reachesWindow(const WindowRecord& window, int x, int y, unsigned held) {
    if (x >= 0 && y >= 0 && x < window.width && y < window.height) return true;
    return (window.heardButtons & held & kDragButtons) != 0 && user32::hasCapture(window);
}

void onKey(Display* display, XEvent& event) {
    XKeyEvent& key = event.xkey;
    const bool press = event.type == KeyPress;
    WindowRecord* window = user32::findWindowByX(key.window);
    const KeyInfo info = key.keycode != 0 ? describeKey(display, key) : KeyInfo{};
    // The asynchronous state follows the keyboard itself, before any input method.
    if (info.sideVk != 0) user32::noteAsyncKey(info.sideVk, press);
    if (window != nullptr && window->inputContext != nullptr) noticeServerGone(display);
    if (XFilterEvent(&event, None)) return;
    if (window == nullptr || window->destroying) return;
    if (key.keycode == 0) {
        // Text an input method committed: characters with no key behind them.
        if (press) {
            for (char16_t unit : committedText(key, window->inputContext)) {
                post(*window, WM_CHAR, unit, 1, key.x_root, key.y_root);
            }
        }
        return;
    }
    if (!press && XEventsQueued(display, QueuedAfterReading) > 0) {
        // A server without detectable auto-repeat sends release+press pairs at one time.
        XEvent next;
        XPeekEvent(display, &next);
        if (next.type == KeyPress && next.xkey.keycode == key.keycode && next.xkey.time == key.time) return;
    }
    const bool wasDown = keyDown[key.keycode & 0xFF];
    keyDown[key.keycode & 0xFF] = press;
    const bool ctrl = (key.state & ControlMask) != 0;
    const bool altHeld = (key.state & xAltMask()) != 0;
    const bool altAfter = press ? (altHeld || info.vk == VK_MENU) : (altHeld && info.vk != VK_MENU);
    // With Alt (and not Ctrl, which makes AltGr) keys are system keys; F10 always is.
    const bool system = !ctrl && (altHeld || (press && info.vk == VK_MENU) || info.vk == VK_F10);
    LPARAM lParam = 1 | static_cast<LPARAM>(info.scanCode & 0xFF) << 16;
    if (info.extended) lParam |= 1L << 24;
    if (system && altAfter) lParam |= 1L << 29;
    if (!press || wasDown) lParam |= 1L << 30;
    if (!press) lParam |= 1L << 31;
    const UINT message = press ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    DWORD textId = 0;
    if (press) {
        std::u16string text = typedText(key, window->inputContext, info, ctrl, altHeld);
        if (!text.empty()) textId = user32::storeKeyText(window->ownerThread, std::move(text));
    }
    post(*window, message, info.vk, lParam, key.x_root, key.y_root, textId);
}

void onButton(XEvent& event) {
    XButtonEvent& button = event.xbutton;
    WindowRecord* window = user32::findWindowByX(button.window);
    const bool press = event.type == ButtonPress;
    static constexpr UINT kAsyncButtons[] = {0, VK_LBUTTON, VK_MBUTTON, VK_RBUTTON};
    if (button.button >= 1 && button.button <= 3) user32::noteAsyncKey(kAsyncButtons[button.button], press);
    if (window == nullptr || window->destroying) return;
    window->clientX = button.x_root - button.x;
    window->clientY = button.y_root - button.y;
    user32::setCursorPosition(button.x_root, button.y_root);
    window->heardButtons &= button.state;  // forget presses released where the window never heard
    const unsigned changed = buttonMask(button.button);
    // A release outside that reaches the window is of a press it was told of.
    const unsigned held = press ? button.state : changed;
    const bool reaches = reachesWindow(*window, button.x, button.y, held);
    if (press && reaches) window->heardButtons |= changed;
    if (!press) window->heardButtons &= ~changed;
    if (!reaches) return;
    WPARAM keys = mouseKeys(button.state);
    if (button.button >= 4 && button.button <= 7) {
        if (!press) return;
        // Button 4 turns the wheel away from the user: +120, as WHEEL_DELTA.
        const bool vertical = button.button <= 5;
        const int delta = (button.button == 4 || button.button == 7) ? WHEEL_DELTA : -WHEEL_DELTA;
        post(*window, vertical ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL, MAKEWPARAM(keys, delta),
             pointParam(button.x_root, button.y_root), button.x_root, button.y_root);
        return;
    }
    UINT down = 0;
    WPARAM flag = 0;
    WPARAM xButton = 0;
    switch (button.button) {
        case 1:
            down = WM_LBUTTONDOWN;
            flag = MK_LBUTTON;
            break;
        case 2:
            down = WM_MBUTTONDOWN;
            flag = MK_MBUTTON;
            break;
        case 3:
            down = WM_RBUTTONDOWN;
            flag = MK_RBUTTON;
            break;
        case 8:
            down = WM_XBUTTONDOWN;
            flag = MK_XBUTTON1;
            xButton = 1;
            break;
        case 9:
            down = WM_XBUTTONDOWN;
            flag = MK_XBUTTON2;
            xButton = 2;
            break;
        default:
            return;
    }
    // The state is from before the event: add or remove the button that changed.
    keys = press ? (keys | flag) : (keys & ~flag);
    UINT message = press ? down : down + 1;
    if (press) {
        const DWORD now = GetTickCount();
        const bool doubleClick =
            (window->windowClass->style & CS_DBLCLKS) && window->lastClickButton == button.button &&
            now - window->lastClickTime <= GetDoubleClickTime() &&
            std::abs(button.x - window->lastClickX) <= 2 && std::abs(button.y - window->lastClickY) <= 2;
        if (doubleClick) {
            message = down + 2;
            window->lastClickButton = 0;  // a third click is a plain press again
        } else {
            window->lastClickButton = button.button;
            window->lastClickTime = now;
            window->lastClickX = button.x;
            window->lastClickY = button.y;
        }
    }
    const WPARAM wParam = xButton != 0 ? MAKEWPARAM(keys, xButton) : keys;
    post(*window, message, wParam, pointParam(button.x, button.y), button.x_root, button.y_root);
}

void onMotion(XEvent& event) {
    XMotionEvent& motion = event.xmotion;
    WindowRecord* window = user32::findWindowByX(motion.window);
    if (window == nullptr || window->destroying) return;
    window->clientX = motion.x_root - motion.x;
    window->clientY = motion.y_root - motion.y;
    user32::setCursorPosition(motion.x_root, motion.y_root);
    window->heardButtons &= motion.state;
    if (!reachesWindow(*window, motion.x, motion.y, motion.state)) return;
    post(*window, WM_MOUSEMOVE, mouseKeys(motion.state), pointParam(motion.x, motion.y), motion.x_root,
         motion.y_root);
}

void onConfigure(Display* display, XEvent& event) {
    WindowRecord* window = user32::findWindowByX(event.xconfigure.window);
    if (window == nullptr || window->destroying) return;
    if (event.xconfigure.width != window->width || event.xconfigure.height != window->height) {
        // A zero-sized client area is one pixel on X; that is not a change.
        if (!(window->width == 0 && event.xconfigure.width == 1) &&
            !(window->height == 0 && event.xconfigure.height == 1)) {
            window->width = event.xconfigure.width;
            window->height = event.xconfigure.height;
            user32::notifyMessage(window->ownerThread, window->hwnd, WM_SIZE, SIZE_RESTORED,
                                  MAKELPARAM(window->width, window->height));
        }
    }
    int x = 0, y = 0;
    ::Window child = 0;
    if (XTranslateCoordinates(display, window->xid, DefaultRootWindow(display), 0, 0, &x, &y, &child) &&
        (x != window->clientX || y != window->clientY)) {
        window->clientX = x;
        window->clientY = y;
        user32::notifyMessage(window->ownerThread, window->hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
    }
}

void onClientMessage(Display* display, XEvent& event) {
    const XAtoms& atoms = xAtoms();
    if (event.xclient.message_type != atoms.wmProtocols) return;
    const auto protocol = static_cast<Atom>(event.xclient.data.l[0]);
    if (protocol == atoms.netWmPing) {
        XEvent reply = event;
        reply.xclient.window = DefaultRootWindow(display);
        XSendEvent(display, reply.xclient.window, False, SubstructureNotifyMask | SubstructureRedirectMask,
                   &reply);
        return;
    }
    WindowRecord* window = user32::findWindowByX(event.xclient.window);
    if (protocol != atoms.wmDeleteWindow || window == nullptr || window->destroying) return;
    // The close button asks through the system menu's close command, which a class without
    // a close button ignores.
    if (!(window->windowClass->style & CS_NOCLOSE)) {
        user32::notifyMessage(window->ownerThread, window->hwnd, WM_CLOSE, 0, 0);
    }
}

void onFocus(Display* display, XEvent& event) {
    const XFocusChangeEvent& focus = event.xfocus;
    if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab) return;
    if (focus.detail == NotifyPointer || focus.detail == NotifyInferior) return;
    if (event.type == FocusIn) askChosenServer(display);
    WindowRecord* window = user32::findWindowByX(focus.window);
    if (window == nullptr || window->destroying) return;
    noteFocus(*window, event.type == FocusIn);
    if (event.type == FocusOut) keyDown.fill(false);
}

void onKeymap(Display* display, XEvent& event) {
    // Sent after the focus comes in: which keys are down now.
    user32::clearAsyncKeys();
    for (unsigned code = 8; code < 256; ++code) {
        const bool down = (event.xkeymap.key_vector[code / 8] >> (code % 8)) & 1;
        keyDown[code] = down;
        if (down) {
            const KeyInfo info = describeKeycode(display, code);
            if (info.sideVk != 0) user32::noteAsyncKey(info.sideVk, true, false);
        }
    }
}

void handle(Display* display, XEvent& event) {
    if (handleSelectionEvent(display, event)) return;
    switch (event.type) {
        case KeyPress:
        case KeyRelease:
            onKey(display, event);
            return;
        default:
            break;
    }
    if (XFilterEvent(&event, None)) return;
    switch (event.type) {
        case ButtonPress:
        case ButtonRelease:
            onButton(event);
            break;
        case MotionNotify:
            onMotion(event);
            break;
        case Expose:
            if (WindowRecord* window = user32::findWindowByX(event.xexpose.window)) {
                invalidate(*window,
                           RECT{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                event.xexpose.y + event.xexpose.height});
            }
            break;
        case ConfigureNotify:
            onConfigure(display, event);
            break;
        case MapNotify:
            if (WindowRecord* window = user32::findWindowByX(event.xmap.window)) focusMappedWindow(*window);
            break;
        case ClientMessage:
            onClientMessage(display, event);
            break;
        case FocusIn:
        case FocusOut:
            onFocus(display, event);
            break;
        case KeymapNotify:
            onKeymap(display, event);
            break;
        case PropertyNotify:
            if (isInputMethodServersChange(event)) askChosenServer(display);
            break;
        case SelectionNotify:
            if (isChosenServerAnswer(event)) connectAnsweringServer(display, event);
            break;
        case MappingNotify:
            XRefreshKeyboardMapping(&event.xmapping);
            xRefreshModifiers();
            break;
        default:
            break;
    }
}

}  // namespace

void startInputReader(Display* display) {
    readerWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (readerWakeFd < 0) return;
    try {
        // Never joined: it lives as long as the connection, which lives as long as the process.
        std::thread(readInput, ConnectionNumber(display)).detach();
        readerRunning.store(true);
    } catch (const std::system_error&) {
        close(readerWakeFd);
        readerWakeFd = -1;
    }
}

bool inputReaderRunning() {
    return readerRunning.load();
}

void wakeInputReader() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(readerWakeFd, &one, sizeof one);
}

void pumpXEvents() {
    XLock lock;
    Display* display = xDisplay();
    if (display == nullptr) return;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        handle(display, event);
    }
}

}  // namespace platform::x11
