// Update regions and WM_PAINT. A window's update region is kept as its bounding box.
#include "platform/user32/paint.h"

#include <windows.h>

#include "platform/user32/message_queue.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

namespace platform::user32 {

namespace {

// How long a WM_PAINT left unvalidated waits before it is handed out again.
constexpr DWORD kPaintRepeatPause = 16;

bool due(const WindowRecord& window, DWORD now) {
    return window.updatePending && (!window.paintHeld || static_cast<LONG>(now - window.paintHoldUntil) >= 0);
}

}  // namespace

bool takePaintMessage(DWORD threadId, HWND filter, bool remove, MSG* msg) {
    x11::XLock lock;
    const DWORD now = GetTickCount();
    for (WindowRecord* window : windowsOfThread(threadId)) {
        if (filter != nullptr && filter != window->hwnd) continue;
        // Hidden windows are not painted, as on Windows; their region waits for the show.
        if (window->destroying || !window->visible || !due(*window, now)) continue;
        *msg = MSG{};
        msg->hwnd = window->hwnd;
        msg->message = WM_PAINT;
        msg->time = now;
        msg->pt = cursorPosition();
        if (remove) {
            window->paintHeld = true;
            window->paintHoldUntil = now + kPaintRepeatPause;
        }
        return true;
    }
    return false;
}

DWORD paintDueIn(DWORD threadId) {
    x11::XLock lock;
    const DWORD now = GetTickCount();
    DWORD wait = INFINITE;
    for (const WindowRecord* window : windowsOfThread(threadId)) {
        if (!window->updatePending || window->destroying || !window->visible) continue;
        if (!window->paintHeld) return 0;
        const auto left = static_cast<LONG>(window->paintHoldUntil - now);
        const DWORD ms = left > 0 ? static_cast<DWORD>(left) : 0;
        if (ms < wait) wait = ms;
    }
    return wait;
}

}  // namespace platform::user32

using namespace platform::user32;
namespace x11 = platform::x11;

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL) {
    x11::XLock lock;
    if (hwnd == nullptr) {
        for (WindowRecord* window : allWindows())
            invalidate(*window, RECT{0, 0, window->width, window->height});
        return TRUE;
    }
    WindowRecord* window = findWindowOrFail(hwnd);
    if (window == nullptr) return FALSE;
    invalidate(*window, rect != nullptr ? *rect : RECT{0, 0, window->width, window->height});
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
    x11::XLock lock;
    WindowRecord* window = findWindowOrFail(hwnd);
    if (window == nullptr) return FALSE;
    if (!window->updatePending) return TRUE;
    const RECT& update = window->updateRect;
    // A rectangle that covers the whole box validates it; one that covers a full-width or
    // full-height band at an edge trims the box; anything else leaves it to be repainted.
    if (rect == nullptr || (rect->left <= update.left && rect->top <= update.top &&
                            rect->right >= update.right && rect->bottom >= update.bottom)) {
        window->updatePending = false;
        window->paintHeld = false;
        return TRUE;
    }
    const bool fullWidth = rect->left <= update.left && rect->right >= update.right;
    const bool fullHeight = rect->top <= update.top && rect->bottom >= update.bottom;
    RECT trimmed = update;
    if (fullWidth && rect->top <= update.top && rect->bottom > update.top) trimmed.top = rect->bottom;
    if (fullWidth && rect->bottom >= update.bottom && rect->top < update.bottom) trimmed.bottom = rect->top;
    if (fullHeight && rect->left <= update.left && rect->right > update.left) trimmed.left = rect->right;
    if (fullHeight && rect->right >= update.right && rect->left < update.right) trimmed.right = rect->left;
    window->updateRect = trimmed;
    if (trimmed.left >= trimmed.right || trimmed.top >= trimmed.bottom) {
        window->updatePending = false;
        window->paintHeld = false;
    }
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
    x11::XLock lock;
    const WindowRecord* window = findWindowOrFail(hwnd);
    if (window == nullptr) return FALSE;
    if (rect != nullptr) *rect = window->updatePending ? window->updateRect : RECT{};
    return window->updatePending ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    bool pending = false;
    {
        x11::XLock lock;
        const WindowRecord* window = findWindowOrFail(hwnd);
        if (window == nullptr) return FALSE;
        pending = window->updatePending;
    }
    if (pending) SendMessageW(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}
