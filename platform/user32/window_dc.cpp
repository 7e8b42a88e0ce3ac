// Drawing contexts of windows come from the drawing half; the first one also gives it the
// presenter that puts BitBlt's pixels on the X window.
#include <windows.h>

#include <mutex>

#include "platform/gdi32/window_surface.h"
#include "platform/x11/presenter.h"

namespace {

void registerPresenter() {
    static std::once_flag once;
    std::call_once(once, [] { platform::gdi32::setWindowPresenter(&platform::x11::presentPixels); });
}

}  // namespace

HDC WINAPI GetDC(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    registerPresenter();
    return platform::gdi32::createWindowDC(hwnd);
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
    if (dc == nullptr || platform::gdi32::windowFromDC(dc) != hwnd) return 0;
    platform::gdi32::destroyWindowDC(dc);
    return 1;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    if (paint == nullptr || !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    GetUpdateRect(hwnd, &paint->rcPaint, FALSE);
    ValidateRect(hwnd, nullptr);
    paint->hdc = GetDC(hwnd);
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (paint == nullptr) return FALSE;
    ReleaseDC(hwnd, paint->hdc);
    return TRUE;
}
