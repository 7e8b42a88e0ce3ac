// The caret: one per thread, as Windows keeps one per message queue. It is never drawn (the
// program draws its own); its place tells the input method where to open its candidate
// window, as a Windows IME follows the caret.
#include <windows.h>

#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"
#include "platform/x11/input_method.h"

using namespace platform::user32;
namespace x11 = platform::x11;

namespace {

struct Caret {
    HWND window = nullptr;
    int height = 0;
    POINT position{};
};

thread_local Caret caret;

}  // namespace

BOOL WINAPI CreateCaret(HWND hwnd, HBITMAP, int, int height) {
    x11::XLock lock;
    if (findOwnWindow(hwnd) == nullptr) return FALSE;
    // A new caret replaces the thread's old one; it starts at the client area's origin.
    caret = Caret{hwnd, height, POINT{0, 0}};
    return TRUE;
}

BOOL WINAPI SetCaretPos(int x, int y) {
    if (caret.window == nullptr) return FALSE;
    caret.position = POINT{x, y};
    x11::XLock lock;
    if (WindowRecord* window = findWindow(caret.window)) {
        // The input method's spot is the baseline: the caret's bottom.
        x11::setInputSpot(*window, POINT{x, y + caret.height});
    }
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT point) {
    if (point == nullptr) return FALSE;
    *point = caret.position;
    return TRUE;
}

BOOL WINAPI DestroyCaret() {
    if (caret.window == nullptr) return FALSE;
    caret = Caret{};
    return TRUE;
}
