#include "platform/user32/window_registry.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "platform/user32/message_queue.h"

namespace platform::user32 {

namespace {

struct Windows {
    std::unordered_map<std::uintptr_t, std::unique_ptr<WindowRecord>> byHandle;
    std::unordered_map<::Window, WindowRecord*> byX;
    // Handles are never reused: a message for a destroyed window cannot reach a new one.
    std::uintptr_t next = 0x10004;
};

Windows& windows() {
    static auto* instance = new Windows;
    return *instance;
}

}  // namespace

FrameSize frameFor(DWORD style, DWORD exStyle) {
    FrameSize frame;
    const bool topLevelOverlapped = (style & (WS_POPUP | WS_CHILD)) == 0;
    int border = 0;
    if (style & WS_THICKFRAME) {
        border = 8;
    } else if ((style & WS_DLGFRAME) || (style & WS_CAPTION) == WS_CAPTION || topLevelOverlapped) {
        border = 3;
    } else if (style & WS_BORDER) {
        border = 1;
    }
    if (exStyle & WS_EX_CLIENTEDGE) border += 2;
    frame.left = frame.right = frame.bottom = border;
    frame.top = border;
    if ((style & WS_CAPTION) == WS_CAPTION || topLevelOverlapped) frame.top += 23;
    return frame;
}

WindowRecord* findWindow(HWND hwnd) {
    auto& w = windows();
    const auto it = w.byHandle.find(reinterpret_cast<std::uintptr_t>(hwnd));
    return it == w.byHandle.end() ? nullptr : it->second.get();
}

WindowRecord* findWindowOrFail(HWND hwnd) {
    WindowRecord* window = findWindow(hwnd);
    if (window == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

WindowRecord* findChangeableWindow(HWND hwnd) {
    WindowRecord* window = findWindow(hwnd);
    if (window != nullptr && !window->destroying) return window;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

WindowRecord* findOwnWindow(HWND hwnd) {
    WindowRecord* window = findWindowOrFail(hwnd);
    if (window != nullptr && window->ownerThread != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return window;
}

WindowRecord* findWindowByX(::Window xid) {
    auto& w = windows();
    const auto it = w.byX.find(xid);
    return it == w.byX.end() ? nullptr : it->second;
}

HWND newWindowHandle() {
    auto& w = windows();
    const std::uintptr_t value = w.next;
    w.next += 4;
    return reinterpret_cast<HWND>(value);
}

WindowRecord* addWindow(std::unique_ptr<WindowRecord> record) {
    auto& w = windows();
    WindowRecord* raw = record.get();
    if (raw->xid != 0) w.byX[raw->xid] = raw;
    w.byHandle[reinterpret_cast<std::uintptr_t>(raw->hwnd)] = std::move(record);
    return raw;
}

void removeWindow(HWND hwnd) {
    auto& w = windows();
    const auto it = w.byHandle.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == w.byHandle.end()) return;
    w.byX.erase(it->second->xid);
    w.byHandle.erase(it);
}

std::vector<WindowRecord*> windowsOfThread(DWORD threadId) {
    std::vector<WindowRecord*> result;
    for (auto& [handle, record] : windows().byHandle) {
        if (record->ownerThread == threadId) result.push_back(record.get());
    }
    std::sort(result.begin(), result.end(),
              [](const WindowRecord* a, const WindowRecord* b) { return a->hwnd < b->hwnd; });
    return result;
}

std::vector<WindowRecord*> allWindows() {
    std::vector<WindowRecord*> result;
    for (auto& [handle, record] : windows().byHandle) result.push_back(record.get());
    return result;
}

void invalidate(WindowRecord& window, const RECT& rect) {
    const RECT clipped{std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
                       std::min<LONG>(rect.right, window.width), std::min<LONG>(rect.bottom, window.height)};
    if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return;
    if (!window.updatePending) {
        window.updateRect = clipped;
    } else {
        window.updateRect.left = std::min(window.updateRect.left, clipped.left);
        window.updateRect.top = std::min(window.updateRect.top, clipped.top);
        window.updateRect.right = std::max(window.updateRect.right, clipped.right);
        window.updateRect.bottom = std::max(window.updateRect.bottom, clipped.bottom);
    }
    window.updatePending = true;
    window.paintHeld = false;
    wakeThread(window.ownerThread);
}

}  // namespace platform::user32
