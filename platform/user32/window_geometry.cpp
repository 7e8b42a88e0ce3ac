// Window rectangles. The client area is the X window; the outer rectangle adds the frame
// AdjustWindowRectEx describes, whatever frame a window manager really draws, so that a
// client area asked for through AdjustWindowRectEx comes out exactly that size.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/user32/message_queue.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

using namespace platform::user32;
namespace x11 = platform::x11;

namespace {

struct Notification {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

}  // namespace

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const FrameSize frame = frameFor(style, exStyle);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
    return AdjustWindowRectEx(rect, style, menu, 0);
}

namespace {

// The window whose rectangle a call asks for; else null, with the error Windows sets.
const WindowRecord* windowForRect(HWND hwnd, const RECT* rect) {
    const WindowRecord* window = findWindow(hwnd);
    if (window == nullptr || rect == nullptr) {
        SetLastError(window == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return window;
}

}  // namespace

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    x11::XLock lock;
    const WindowRecord* window = windowForRect(hwnd, rect);
    if (window == nullptr) return FALSE;
    const FrameSize frame = frameFor(window->style, window->exStyle);
    *rect =
        RECT{window->clientX - frame.left, window->clientY - frame.top,
             window->clientX + window->width + frame.right, window->clientY + window->height + frame.bottom};
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    x11::XLock lock;
    const WindowRecord* window = windowForRect(hwnd, rect);
    if (window == nullptr) return FALSE;
    *rect = RECT{0, 0, window->width, window->height};
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    std::vector<Notification> notifications;
    const std::optional<DWORD> owner = changeWindow(hwnd, [&](WindowRecord& window, Display* display) {
        const FrameSize frame = frameFor(window.style, window.exStyle);
        if (!(flags & SWP_NOSIZE)) {
            const int newWidth = std::max(0, width - frame.left - frame.right);
            const int newHeight = std::max(0, height - frame.top - frame.bottom);
            if (newWidth != window.width || newHeight != window.height) {
                window.width = newWidth;
                window.height = newHeight;
                if (!(window.style & WS_THICKFRAME)) {
                    // The fixed size moves with the window, so the window manager allows it.
                    XSizeHints* hints = XAllocSizeHints();
                    if (hints != nullptr) {
                        hints->flags = PMinSize | PMaxSize | PWinGravity;
                        hints->win_gravity = StaticGravity;
                        hints->min_width = hints->max_width = std::max(1, newWidth);
                        hints->min_height = hints->max_height = std::max(1, newHeight);
                        XSetWMNormalHints(display, window.xid, hints);
                        XFree(hints);
                    }
                }
                XResizeWindow(display, window.xid, static_cast<unsigned>(std::max(1, newWidth)),
                              static_cast<unsigned>(std::max(1, newHeight)));
                notifications.push_back({WM_SIZE, SIZE_RESTORED, MAKELPARAM(newWidth, newHeight)});
            }
        }
        if (!(flags & SWP_NOMOVE)) {
            const int newX = x + frame.left;
            const int newY = y + frame.top;
            if (newX != window.clientX || newY != window.clientY) {
                window.clientX = newX;
                window.clientY = newY;
                XMoveWindow(display, window.xid, newX, newY);
                notifications.push_back({WM_MOVE, 0, MAKELPARAM(newX, newY)});
            }
        }
        if (!(flags & SWP_NOZORDER)) {
            if (insertAfter == HWND_BOTTOM) {
                XLowerWindow(display, window.xid);
            } else {
                XRaiseWindow(display, window.xid);
            }
        }
    });
    if (!owner) return FALSE;
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    // Another thread's window hears of the change without this thread waiting for it.
    for (const Notification& n : notifications) {
        if (*owner == GetCurrentThreadId()) {
            callWindowProcedure(hwnd, n.message, n.wParam, n.lParam);
        } else {
            notifyMessage(*owner, hwnd, n.message, n.wParam, n.lParam);
        }
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
    x11::XLock lock;
    const WindowRecord* window = findWindow(hwnd);
    if (window == nullptr || point == nullptr) return FALSE;
    point->x -= window->clientX;
    point->y -= window->clientY;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
    x11::XLock lock;
    const WindowRecord* window = findWindow(hwnd);
    if (window == nullptr || point == nullptr) return FALSE;
    point->x += window->clientX;
    point->y += window->clientY;
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (point == nullptr) return FALSE;
    *point = cursorPosition();
    x11::XLock lock;
    Display* display = x11::xDisplay();
    if (display == nullptr) return TRUE;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask)) {
        *point = POINT{rootX, rootY};
    }
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            x11::XLock lock;
            Display* display = x11::xDisplay();
            if (display == nullptr) return 0;
            const int screen = DefaultScreen(display);
            return index == SM_CXSCREEN ? DisplayWidth(display, screen) : DisplayHeight(display, screen);
        }
        default:
            return 0;
    }
}

UINT WINAPI GetDoubleClickTime() {
    return 500;
}
