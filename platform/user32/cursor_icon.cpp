// Standard cursors and icons. Handles point into a fixed table, so they stay valid for the
// life of the process and are never freed, like Windows' shared cursors and icons.
#include "platform/user32/cursor_icon.h"

#include <X11/cursorfont.h>
#include <windows.h>

#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

namespace platform::user32 {

namespace {

struct StandardCursor {
    WORD id;
    unsigned shape;
    Cursor xCursor;
};

StandardCursor cursors[] = {
    {32512, XC_left_ptr, None},  {32513, XC_xterm, None}, {32514, XC_watch, None},
    {32515, XC_crosshair, None}, {32646, XC_fleur, None}, {32649, XC_hand2, None},
};

struct StandardIcon {
    WORD id;
};

const StandardIcon icons[] = {{32512}, {32513}, {32514}, {32515}, {32516}, {32517}};

thread_local HCURSOR currentCursor = nullptr;

}  // namespace

Cursor xCursorFor(HCURSOR cursor) {
    for (auto& entry : cursors) {
        if (reinterpret_cast<HCURSOR>(&entry) != cursor) continue;
        if (entry.xCursor == None) entry.xCursor = XCreateFontCursor(x11::xDisplay(), entry.shape);
        return entry.xCursor;
    }
    return None;
}

}  // namespace platform::user32

using namespace platform::user32;
namespace x11 = platform::x11;

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR cursorName) {
    // Programs carry no cursor resources here; only the system's own cursors exist.
    if (instance == nullptr && IS_INTRESOURCE(cursorName)) {
        const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(cursorName));
        for (auto& entry : cursors) {
            if (entry.id == id) return reinterpret_cast<HCURSOR>(&entry);
        }
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    const HCURSOR previous = currentCursor;
    currentCursor = cursor;
    x11::XLock lock;
    if (!x11::xDisplayOpened()) return previous;
    Display* display = x11::xDisplay();
    const Cursor shape = xCursorFor(cursor);
    for (const WindowRecord* window : windowsOfThread(GetCurrentThreadId())) {
        if (shape != None) {
            XDefineCursor(display, window->xid, shape);
        } else {
            XUndefineCursor(display, window->xid);
        }
    }
    return previous;
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR iconName) {
    if (instance == nullptr && IS_INTRESOURCE(iconName)) {
        const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(iconName));
        for (const auto& entry : icons) {
            if (entry.id == id) return reinterpret_cast<HICON>(const_cast<StandardIcon*>(&entry));
        }
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI DestroyIcon(HICON icon) {
    // No icon is ever created (ExtractIconW finds none), and shared ones are never freed.
    for (const auto& entry : icons) {
        if (reinterpret_cast<HICON>(const_cast<StandardIcon*>(&entry)) == icon) return TRUE;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}
