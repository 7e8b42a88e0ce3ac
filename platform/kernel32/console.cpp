// A Linux process writes to the terminal it was started from; there is no console window to
// create, show or hide.
#include <windows.h>

#include <csignal>

HWND WINAPI GetConsoleWindow() {
    return nullptr;
}

BOOL WINAPI AllocConsole() {
    return TRUE;
}

BOOL WINAPI FreeConsole() {
    return TRUE;
}

BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add) {
    if (handler == nullptr) std::signal(SIGINT, add ? SIG_IGN : SIG_DFL);
    return TRUE;
}
