// Keyboard focus (activation) and mouse capture.
#include "platform/user32/focus_capture.h"

#include <windows.h>

#include "platform/user32/message_queue.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

namespace platform::user32 {

namespace {

// Both under x11::XLock.
HWND focusWindow = nullptr;
HWND captureWindow = nullptr;

bool windowManagerRunning(Display* display) {
    // ICCCM window managers own the WM_Sn selection of their screen.
    const Atom selection = XInternAtom(display, "WM_S0", False);
    return XGetSelectionOwner(display, selection) != None;
}

}  // namespace

void forgetFocus(HWND hwnd) {
    x11::XLock lock;
    if (focusWindow == hwnd) focusWindow = nullptr;
}

void requestFocusOnMap(WindowRecord& window) {
    window.focusOnMap = true;
}

void focusMappedWindow(WindowRecord& window) {
    if (!window.focusOnMap) return;
    window.focusOnMap = false;
    // Without a window manager nobody gives a new window the focus; Windows activates a
    // window that is shown, so do the same.
    Display* display = x11::xDisplay();
    if (!windowManagerRunning(display)) XSetInputFocus(display, window.xid, RevertToParent, CurrentTime);
}

void noteFocus(WindowRecord& window, bool focused) {
    if (focused == (focusWindow == window.hwnd)) return;
    if (focused) {
        focusWindow = window.hwnd;
        if (window.inputContext != nullptr) XSetICFocus(window.inputContext);
        notifyMessage(window.ownerThread, window.hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
        notifyMessage(window.ownerThread, window.hwnd, WM_SETFOCUS, 0, 0);
    } else {
        focusWindow = nullptr;
        if (window.inputContext != nullptr) XUnsetICFocus(window.inputContext);
        notifyMessage(window.ownerThread, window.hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
        notifyMessage(window.ownerThread, window.hwnd, WM_KILLFOCUS, 0, 0);
    }
}

bool hasCapture(const WindowRecord& window) {
    return captureWindow != nullptr && captureWindow == window.hwnd;
}

}  // namespace platform::user32

using namespace platform::user32;
namespace x11 = platform::x11;

HWND WINAPI GetFocus() {
    x11::XLock lock;
    const WindowRecord* window = findWindow(focusWindow);
    return window != nullptr && window->ownerThread == GetCurrentThreadId() ? focusWindow : nullptr;
}

HWND WINAPI GetForegroundWindow() {
    x11::XLock lock;
    return focusWindow;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    x11::XLock lock;
    const WindowRecord* window = findWindowOrFail(hwnd);
    if (window == nullptr) return FALSE;
    Display* display = x11::xDisplay();
    XRaiseWindow(display, window->xid);
    if (windowManagerRunning(display)) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window->xid;
        event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1;  // a request from an application
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureNotifyMask | SubstructureRedirectMask, &event);
    } else {
        XSetInputFocus(display, window->xid, RevertToParent, CurrentTime);
    }
    return TRUE;
}

HWND WINAPI SetCapture(HWND hwnd) {
    HWND previous = nullptr;
    DWORD previousOwner = 0;
    {
        x11::XLock lock;
        const WindowRecord* window = findWindowOrFail(hwnd);
        if (window == nullptr) return nullptr;
        previous = captureWindow;
        if (const WindowRecord* old = findWindow(previous)) previousOwner = old->ownerThread;
        captureWindow = hwnd;
        // Pointer events go to the capturing window wherever the pointer is.
        XGrabPointer(x11::xDisplay(), window->xid, False,
                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync,
                     None, None, CurrentTime);
    }
    if (previous != nullptr && previous != hwnd && previousOwner != 0) {
        notifyMessage(previousOwner, previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    }
    return previous;
}

BOOL WINAPI ReleaseCapture() {
    HWND previous = nullptr;
    DWORD previousOwner = 0;
    {
        x11::XLock lock;
        previous = captureWindow;
        if (previous == nullptr) return TRUE;
        captureWindow = nullptr;
        if (const WindowRecord* old = findWindow(previous)) previousOwner = old->ownerThread;
        XUngrabPointer(x11::xDisplay(), CurrentTime);
        // The grab takes a round trip; its release must too, so that once ReleaseCapture
        // returns no other client's pointer input still reaches this window, as on Windows.
        XSync(x11::xDisplay(), False);
    }
    if (previousOwner != 0) notifyMessage(previousOwner, previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture() {
    x11::XLock lock;
    return captureWindow;
}
