// Creating, showing and destroying windows; their titles and data.
#include "platform/user32/window.h"

#include <X11/Xatom.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/user32/cursor_icon.h"
#include "platform/user32/focus_capture.h"
#include "platform/user32/message_queue.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"
#include "platform/x11/input_method.h"
#include "unicode/utf.h"

namespace platform::user32 {

namespace {

constexpr long kEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | ExposureMask | StructureNotifyMask | FocusChangeMask |
                            KeymapStateMask;

// Motif hints: what the window manager may offer on the frame.
constexpr long kMwmHintsFunctions = 1;
constexpr long kMwmHintsDecorations = 2;
constexpr long kMwmFuncResize = 2;
constexpr long kMwmFuncMove = 4;
constexpr long kMwmFuncMinimize = 8;
constexpr long kMwmFuncMaximize = 16;
constexpr long kMwmFuncClose = 32;

void setTitle(Display* display, ::Window xid, const std::u16string& title) {
    const std::string utf8 = unicode::toUtf8(title);
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const int length = static_cast<int>(utf8.size());
    const x11::XAtoms& atoms = x11::xAtoms();
    XChangeProperty(display, xid, atoms.netWmName, atoms.utf8String, 8, PropModeReplace, bytes, length);
    XChangeProperty(display, xid, atoms.netWmIconName, atoms.utf8String, 8, PropModeReplace, bytes, length);
    // The ICCCM name for older window managers: plain when it is ASCII, else UTF-8 typed.
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; });
    const Atom type = ascii ? XA_STRING : atoms.utf8String;
    XChangeProperty(display, xid, XA_WM_NAME, type, 8, PropModeReplace, bytes, length);
    XChangeProperty(display, xid, XA_WM_ICON_NAME, type, 8, PropModeReplace, bytes, length);
}

void setSizeHints(Display* display, const WindowRecord& window, bool position) {
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) return;
    hints->flags = PWinGravity;
    // StaticGravity: the client area lands exactly where it is asked to, frame or not.
    hints->win_gravity = StaticGravity;
    if (position) {
        hints->flags |= USPosition;
        hints->x = window.clientX;
        hints->y = window.clientY;
    }
    if (!(window.style & WS_THICKFRAME)) {
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = std::max(1, window.width);
        hints->min_height = hints->max_height = std::max(1, window.height);
    }
    XSetWMNormalHints(display, window.xid, hints);
    XFree(hints);
}

void setFrameHints(Display* display, const WindowRecord& window) {
    long hints[5] = {kMwmHintsFunctions, kMwmFuncMove, 0, 0, 0};
    if (window.style & WS_MINIMIZEBOX) hints[1] |= kMwmFuncMinimize;
    if ((window.style & WS_MAXIMIZEBOX) && (window.style & WS_THICKFRAME)) hints[1] |= kMwmFuncMaximize;
    if (window.style & WS_THICKFRAME) hints[1] |= kMwmFuncResize;
    if (!(window.windowClass->style & CS_NOCLOSE)) hints[1] |= kMwmFuncClose;
    if ((window.style & WS_POPUP) && (window.style & WS_CAPTION) != WS_CAPTION) {
        hints[0] |= kMwmHintsDecorations;  // no decorations at all
    }
    XChangeProperty(display, window.xid, x11::xAtoms().motifWmHints, x11::xAtoms().motifWmHints, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(hints), 5);
}

unsigned long backgroundPixel(Display* display, HBRUSH brush) {
    // A class background may be a system colour index + 1; light ones become white.
    const auto index = reinterpret_cast<ULONG_PTR>(brush);
    if (index == COLOR_WINDOW + 1 || index == COLOR_BTNFACE + 1)
        return WhitePixel(display, DefaultScreen(display));
    return BlackPixel(display, DefaultScreen(display));
}

void releaseXWindow(Display* display, WindowRecord& window) {
    if (window.inputContext != nullptr) XDestroyIC(window.inputContext);
    window.inputContext = nullptr;
    if (display != nullptr && window.xid != 0) XDestroyWindow(display, window.xid);
    if (window.windowClass) --window.windowClass->windowCount;
}

// Runs the window procedure now when this thread owns the window, else queues it.
void deliver(DWORD owner, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (owner == GetCurrentThreadId()) {
        callWindowProcedure(hwnd, message, wParam, lParam);
    } else {
        notifyMessage(owner, hwnd, message, wParam, lParam);
    }
}

// The LONG_PTR at a byte offset of the window's extra bytes; null, with the error Windows sets,
// when it does not lie inside them.
template <class Record>  // WindowRecord, const or not
auto* extraSlot(Record& window, int index) {
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > window.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return static_cast<decltype(window.extra.data())>(nullptr);
    }
    return window.extra.data() + index;
}

// Frees the X window and forgets the record, without messages.
void discardWindow(HWND hwnd) {
    x11::XLock lock;
    if (WindowRecord* window = findWindow(hwnd)) {
        releaseXWindow(x11::xDisplay(), *window);
        removeWindow(hwnd);
    }
}

}  // namespace

void destroyWindowsOfThread(DWORD threadId) {
    x11::XLock lock;
    for (WindowRecord* window : windowsOfThread(threadId)) {
        releaseXWindow(x11::xDisplayOpened() ? x11::xDisplay() : nullptr, *window);
        removeWindow(window->hwnd);
    }
}

bool threadOwnsWindows(DWORD threadId) {
    x11::XLock lock;
    return !windowsOfThread(threadId).empty();
}

}  // namespace platform::user32

using namespace platform::user32;
namespace x11 = platform::x11;

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    const auto queue = currentQueue();
    HWND hwnd = nullptr;
    {
        x11::XLock lock;
        const auto windowClass = findClass(className);
        if (!windowClass) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        Display* display = x11::xDisplay();
        if (display == nullptr) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return nullptr;
        }
        // Top-level windows get a caption whether asked or not, as on Windows.
        if ((style & (WS_POPUP | WS_CHILD)) == 0) style |= WS_CAPTION | WS_CLIPSIBLINGS;
        const FrameSize frame = frameFor(style, exStyle);
        const bool defaultPosition = x == CW_USEDEFAULT;
        if (defaultPosition) x = y = 0;
        if (width == CW_USEDEFAULT) {
            width = 640;
            height = 480;
        }
        auto window = std::make_unique<WindowRecord>();
        window->hwnd = newWindowHandle();
        window->ownerThread = queue->threadId;
        window->windowClass = windowClass;
        window->proc = windowClass->proc;
        window->style = style & ~WS_VISIBLE;
        window->exStyle = exStyle;
        window->instance = instance;
        window->id = reinterpret_cast<LONG_PTR>(menu);
        window->extra.assign(static_cast<std::size_t>(windowClass->windowExtra), 0);
        window->title = windowName != nullptr ? std::u16string(windowName) : std::u16string();
        window->cursor = windowClass->cursor;
        window->clientX = x + frame.left;
        window->clientY = y + frame.top;
        window->width = std::max(0, width - frame.left - frame.right);
        window->height = std::max(0, height - frame.top - frame.bottom);

        XSetWindowAttributes attributes{};
        attributes.background_pixel = backgroundPixel(display, windowClass->background);
        attributes.event_mask = kEventMask;
        attributes.bit_gravity = NorthWestGravity;
        window->xid =
            XCreateWindow(display, RootWindow(display, DefaultScreen(display)), window->clientX,
                          window->clientY, static_cast<unsigned>(std::max(1, window->width)),
                          static_cast<unsigned>(std::max(1, window->height)), 0, CopyFromParent, InputOutput,
                          nullptr, CWBackPixel | CWEventMask | CWBitGravity, &attributes);
        if (window->xid == 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        setSizeHints(display, *window, !defaultPosition);
        setFrameHints(display, *window);
        setTitle(display, window->xid, window->title);
        XWMHints* wmHints = XAllocWMHints();
        if (wmHints != nullptr) {
            wmHints->flags = InputHint | StateHint;
            wmHints->input = True;
            wmHints->initial_state = NormalState;
            XSetWMHints(display, window->xid, wmHints);
            XFree(wmHints);
        }
        std::string resource = unicode::toUtf8(windowClass->name);
        XClassHint classHint{resource.data(), resource.data()};
        XSetClassHint(display, window->xid, &classHint);
        Atom protocols[2] = {x11::xAtoms().wmDeleteWindow, x11::xAtoms().netWmPing};
        XSetWMProtocols(display, window->xid, protocols, 2);
        const long pid = static_cast<long>(getpid());
        XChangeProperty(display, window->xid, x11::xAtoms().netWmPid, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        if (const Cursor cursor = xCursorFor(window->cursor)) XDefineCursor(display, window->xid, cursor);
        x11::attachInputContext(display, *window);
        ++windowClass->windowCount;
        hwnd = addWindow(std::move(window))->hwnd;
    }

    CREATESTRUCTW create{param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                         windowName, className, exStyle};
    const auto createParam = reinterpret_cast<LPARAM>(&create);
    if (callWindowProcedure(hwnd, WM_NCCREATE, 0, createParam) == 0) {
        callWindowProcedure(hwnd, WM_NCDESTROY, 0, 0);
        discardWindow(hwnd);
        return nullptr;
    }
    if (callWindowProcedure(hwnd, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    int clientWidth = 0, clientHeight = 0, clientX = 0, clientY = 0;
    {
        x11::XLock lock;
        const WindowRecord* window = findWindow(hwnd);
        if (window == nullptr) return nullptr;  // the procedure destroyed it
        clientWidth = window->width;
        clientHeight = window->height;
        clientX = window->clientX;
        clientY = window->clientY;
    }
    callWindowProcedure(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(clientWidth, clientHeight));
    callWindowProcedure(hwnd, WM_MOVE, 0, MAKELPARAM(clientX, clientY));
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    {
        x11::XLock lock;
        // Only the thread that created a window may destroy it.
        WindowRecord* window = findOwnWindow(hwnd);
        if (window == nullptr) return FALSE;
        if (window->destroying) return TRUE;
        window->destroying = true;
        XUnmapWindow(x11::xDisplay(), window->xid);
        window->visible = false;
    }
    if (GetCapture() == hwnd) ReleaseCapture();
    forgetFocus(hwnd);
    callWindowProcedure(hwnd, WM_DESTROY, 0, 0);
    callWindowProcedure(hwnd, WM_NCDESTROY, 0, 0);
    discardWindow(hwnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    x11::XLock lock;
    const WindowRecord* window = findWindow(hwnd);
    return window != nullptr && !window->destroying ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    x11::XLock lock;
    const WindowRecord* window = findWindow(hwnd);
    return window != nullptr && window->visible ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
    bool wasVisible = false;
    bool nowVisible = false;
    const std::optional<DWORD> owner = changeWindow(hwnd, [&](WindowRecord& window, Display* display) {
        wasVisible = window.visible;
        switch (command) {
            case SW_HIDE:
                XUnmapWindow(display, window.xid);
                window.visible = false;
                break;
            case SW_MINIMIZE:
            case SW_SHOWMINIMIZED:
            case SW_SHOWMINNOACTIVE:
                if (!window.visible) XMapWindow(display, window.xid);
                XIconifyWindow(display, window.xid, DefaultScreen(display));
                window.visible = true;
                break;
            case SW_SHOWNOACTIVATE:
            case SW_SHOWNA:
                XMapWindow(display, window.xid);
                window.visible = true;
                break;
            default:
                XMapRaised(display, window.xid);
                window.visible = true;
                requestFocusOnMap(window);
                break;
        }
        nowVisible = window.visible;
    });
    if (!owner) return FALSE;
    if (wasVisible != nowVisible) deliver(*owner, hwnd, WM_SHOWWINDOW, nowVisible ? TRUE : FALSE, 0);
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text) {
    x11::XLock lock;
    WindowRecord* window = findWindowOrFail(hwnd);
    if (window == nullptr) return FALSE;
    window->title = text != nullptr ? std::u16string(text) : std::u16string();
    setTitle(x11::xDisplay(), window->xid, window->title);
    return TRUE;
}

int WINAPI GetWindowTextW(HWND hwnd, LPWSTR buffer, int maxCount) {
    x11::XLock lock;
    const WindowRecord* window = findWindow(hwnd);
    if (window == nullptr || buffer == nullptr || maxCount <= 0) {
        SetLastError(window == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t count = std::min(window->title.size(), static_cast<std::size_t>(maxCount - 1));
    window->title.copy(buffer, count);
    buffer[count] = 0;
    return static_cast<int>(count);
}

int WINAPI GetWindowTextLengthW(HWND hwnd) {
    x11::XLock lock;
    const WindowRecord* window = findWindow(hwnd);
    return window != nullptr ? static_cast<int>(window->title.size()) : 0;
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index) {
    x11::XLock lock;
    const WindowRecord* window = findWindowOrFail(hwnd);
    if (window == nullptr) return 0;
    switch (index) {
        case GWLP_USERDATA:
            return window->userData;
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(window->proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(window->instance);
        case GWLP_ID:
            return window->id;
        case GWL_STYLE:
            return static_cast<LONG_PTR>(window->style | (window->visible ? WS_VISIBLE : 0));
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(window->exStyle);
        default:
            break;
    }
    const auto* slot = extraSlot(*window, index);
    if (slot == nullptr) return 0;
    LONG_PTR value = 0;
    std::memcpy(&value, slot, sizeof value);
    return value;
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    x11::XLock lock;
    WindowRecord* window = findWindowOrFail(hwnd);
    if (window == nullptr) return 0;
    switch (index) {
        case GWLP_USERDATA:
            return std::exchange(window->userData, value);
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(std::exchange(window->proc, reinterpret_cast<WNDPROC>(value)));
        case GWLP_ID:
            return std::exchange(window->id, value);
        case GWL_STYLE:
            return static_cast<LONG_PTR>(
                std::exchange(window->style, static_cast<DWORD>(value) & ~WS_VISIBLE));
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(std::exchange(window->exStyle, static_cast<DWORD>(value)));
        default:
            break;
    }
    auto* slot = extraSlot(*window, index);
    if (slot == nullptr) return 0;
    LONG_PTR previous = 0;
    std::memcpy(&previous, slot, sizeof previous);
    std::memcpy(slot, &value, sizeof value);
    return previous;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
    x11::XLock lock;
    const WindowRecord* window = findWindowOrFail(hwnd);
    if (window == nullptr) return 0;
    if (processId != nullptr) *processId = static_cast<DWORD>(getpid());
    return window->ownerThread;
}
