// What a window does with a message its procedure passes on.
#include <windows.h>

#include <algorithm>

#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

using namespace platform::user32;
namespace x11 = platform::x11;

namespace {

bool hasCloseButton(HWND hwnd) {
    x11::XLock lock;
    const WindowRecord* window = findWindow(hwnd);
    return window != nullptr && !(window->windowClass->style & CS_NOCLOSE);
}

}  // namespace

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_PAINT:
            ValidateRect(hwnd, nullptr);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    if (hasCloseButton(hwnd)) SendMessageW(hwnd, WM_CLOSE, 0, 0);
                    return 0;
                case SC_MINIMIZE:
                    ShowWindow(hwnd, SW_MINIMIZE);
                    return 0;
                case SC_RESTORE:
                    ShowWindow(hwnd, SW_RESTORE);
                    return 0;
                default:
                    return 0;
            }
        case WM_SYSKEYDOWN:
            // Alt+F4 asks the window to close, as the system menu would.
            if (wParam == VK_F4 && (lParam & (1L << 29))) PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_SETTEXT:
            return SetWindowTextW(hwnd, reinterpret_cast<LPCWSTR>(lParam));
        case WM_GETTEXTLENGTH:
            return GetWindowTextLengthW(hwnd);
        case WM_GETTEXT:
            return GetWindowTextW(hwnd, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
        default:
            return 0;
    }
}
