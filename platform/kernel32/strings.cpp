#include <windows.h>

int WINAPI lstrlenW(LPCWSTR text) {
    if (text == nullptr) return 0;
    int length = 0;
    while (text[length] != 0) ++length;
    return length;
}

LPWSTR WINAPI lstrcpynW(LPWSTR destination, LPCWSTR source, int maxLength) {
    if (destination == nullptr || maxLength <= 0) return destination;
    int i = 0;
    if (source != nullptr) {
        for (; i < maxLength - 1 && source[i] != 0; ++i) destination[i] = source[i];
    }
    destination[i] = 0;
    return destination;
}
