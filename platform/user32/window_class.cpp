// Window classes: registered by name (ASCII case ignored, as Windows compares them) or
// referred to by the atom RegisterClassExW returned.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

namespace platform::user32 {

namespace {

struct Classes {
    std::vector<std::shared_ptr<WindowClass>> list;
    ATOM nextAtom = 0xC000;  // where Windows' string atoms start
};

Classes& classes() {
    static auto* instance = new Classes;
    return *instance;
}

char16_t foldCase(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool sameName(const std::u16string& a, LPCWSTR b) {
    std::size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == 0 || foldCase(a[i]) != foldCase(b[i])) return false;
    }
    return b[i] == 0;
}

}  // namespace

std::shared_ptr<WindowClass> findClass(LPCWSTR name) {
    if (name == nullptr) return nullptr;
    for (const auto& windowClass : classes().list) {
        if (IS_INTRESOURCE(name) ? windowClass->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                                 : sameName(windowClass->name, name)) {
            return windowClass;
        }
    }
    return nullptr;
}

}  // namespace platform::user32

using namespace platform::user32;
namespace x11 = platform::x11;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* description) {
    if (description == nullptr || description->cbSize != sizeof(WNDCLASSEXW) ||
        description->lpszClassName == nullptr || IS_INTRESOURCE(description->lpszClassName) ||
        description->lpszClassName[0] == 0 || description->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    x11::XLock lock;
    if (findClass(description->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto windowClass = std::make_shared<WindowClass>();
    windowClass->name = description->lpszClassName;
    windowClass->atom = classes().nextAtom++;
    windowClass->style = description->style;
    windowClass->proc = description->lpfnWndProc;
    windowClass->classExtra = std::max(0, description->cbClsExtra);
    windowClass->windowExtra = std::max(0, description->cbWndExtra);
    windowClass->instance = description->hInstance;
    windowClass->icon = description->hIcon;
    windowClass->smallIcon = description->hIconSm;
    windowClass->cursor = description->hCursor;
    windowClass->background = description->hbrBackground;
    classes().list.push_back(windowClass);
    return windowClass->atom;
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* description) {
    if (description == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXW extended{};
    extended.cbSize = sizeof extended;
    extended.style = description->style;
    extended.lpfnWndProc = description->lpfnWndProc;
    extended.cbClsExtra = description->cbClsExtra;
    extended.cbWndExtra = description->cbWndExtra;
    extended.hInstance = description->hInstance;
    extended.hIcon = description->hIcon;
    extended.hCursor = description->hCursor;
    extended.hbrBackground = description->hbrBackground;
    extended.lpszMenuName = description->lpszMenuName;
    extended.lpszClassName = description->lpszClassName;
    return RegisterClassExW(&extended);
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE) {
    x11::XLock lock;
    const auto windowClass = findClass(className);
    if (!windowClass) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (windowClass->windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    auto& list = classes().list;
    list.erase(std::remove(list.begin(), list.end(), windowClass), list.end());
    return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR className, WNDCLASSEXW* description) {
    x11::XLock lock;
    const auto windowClass = findClass(className);
    if (!windowClass || description == nullptr) {
        SetLastError(windowClass ? ERROR_INVALID_PARAMETER : ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *description = WNDCLASSEXW{};
    description->cbSize = sizeof(WNDCLASSEXW);
    description->style = windowClass->style;
    description->lpfnWndProc = windowClass->proc;
    description->cbClsExtra = windowClass->classExtra;
    description->cbWndExtra = windowClass->windowExtra;
    description->hInstance = windowClass->instance;
    description->hIcon = windowClass->icon;
    description->hCursor = windowClass->cursor;
    description->hbrBackground = windowClass->background;
    description->lpszClassName = windowClass->name.c_str();
    description->hIconSm = windowClass->smallIcon;
    return TRUE;
}
