// The tables of window classes and windows. Everything here is read and written under XLock.
#pragma once

#include <X11/Xlib.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11/display.h"

namespace platform::user32 {

struct WindowClass {
    std::u16string name;  // as registered; looked up ignoring ASCII case
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    int windowCount = 0;
};

// The frame AdjustWindowRectEx adds around a client area of the given style.
struct FrameSize {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
FrameSize frameFor(DWORD style, DWORD exStyle);

struct WindowRecord {
    HWND hwnd = nullptr;
    ::Window xid = 0;
    DWORD ownerThread = 0;
    std::shared_ptr<WindowClass> windowClass;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    std::vector<BYTE> extra;
    std::u16string title;
    HCURSOR cursor = nullptr;
    XIC inputContext = nullptr;
    POINT inputSpot{};  // where the caret is, for the input method's candidate window
    bool hasInputSpot = false;

    // Client area: screen position and size.
    int clientX = 0;
    int clientY = 0;
    int width = 0;
    int height = 0;
    bool visible = false;
    bool destroying = false;
    bool focusOnMap = false;  // take the keyboard focus once mapped, when no window manager does

    // Painting: the bounding box of what needs repainting. A WM_PAINT handed out and left
    // unvalidated comes again only after a pause, so the owner never spins on it.
    bool updatePending = false;
    RECT updateRect{};
    DWORD paintHoldUntil = 0;
    bool paintHeld = false;

    // X's masks of the buttons held down whose press the window was given.
    unsigned heardButtons = 0;

    // The last button press, for double clicks.
    unsigned lastClickButton = 0;
    DWORD lastClickTime = 0;
    int lastClickX = 0;
    int lastClickY = 0;
};

// Lookups return null for unknown or destroyed windows.
WindowRecord* findWindow(HWND hwnd);
WindowRecord* findWindowByX(::Window xid);
// The window when the calling thread owns it; else null, with the last error set as Windows
// sets it (an unknown handle, or another thread's window).
WindowRecord* findOwnWindow(HWND hwnd);
// The window; else null, with ERROR_INVALID_WINDOW_HANDLE set.
WindowRecord* findWindowOrFail(HWND hwnd);
// A window that a call is about to change; else null, with ERROR_INVALID_WINDOW_HANDLE set,
// also while the window is being destroyed.
WindowRecord* findChangeableWindow(HWND hwnd);

// Runs `change(window, display)` under XLock on a window that a call may change. The window's
// owner thread, or nothing (with the last error set) when there is no such window.
template <class Change>
std::optional<DWORD> changeWindow(HWND hwnd, Change change) {
    x11::XLock lock;
    WindowRecord* window = findChangeableWindow(hwnd);
    if (window == nullptr) return std::nullopt;
    change(*window, x11::xDisplay());
    return window->ownerThread;
}
WindowRecord* addWindow(std::unique_ptr<WindowRecord> record);
void removeWindow(HWND hwnd);
std::vector<WindowRecord*> windowsOfThread(DWORD threadId);
std::vector<WindowRecord*> allWindows();
HWND newWindowHandle();

std::shared_ptr<WindowClass> findClass(LPCWSTR name);

// Adds a rectangle to the window's update region and wakes its owner.
void invalidate(WindowRecord& window, const RECT& rect);

}  // namespace platform::user32
