// Tick counts: milliseconds of the monotonic clock, which on Linux counts from boot.
#include <windows.h>

#include <chrono>

ULONGLONG WINAPI GetTickCount64() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

DWORD WINAPI GetTickCount() {
    return static_cast<DWORD>(GetTickCount64());
}
