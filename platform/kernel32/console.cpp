// A Linux process writes to the terminal it was started from; there is no console window to
// create, show or hide. Console control events come from signals, as Windows raises them for
// its console's Ctrl+C and close: SIGINT is CTRL_C_EVENT, SIGHUP (the terminal went away) is
// CTRL_CLOSE_EVENT, SIGTERM is CTRL_SHUTDOWN_EVENT. The other half of the stand-in raises
// CTRL_LOGOFF_EVENT when the session (the X connection) is gone.
#include <fcntl.h>
#include <unistd.h>
#include <windows.h>

#include <csignal>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/kernel32/console_events.h"

namespace {

struct Handlers {
    std::mutex lock;
    std::vector<PHANDLER_ROUTINE> routines;  // called newest first, as Windows does
    bool watching = false;
};
Handlers& handlers() {
    static Handlers* const h = new Handlers;  // outlives every thread that may call it
    return *h;
}

int signalPipe[2] = {-1, -1};

// Only what a signal handler may do: the event's number goes down a pipe to the thread that
// calls the routines.
void onSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

DWORD eventOfSignal(int number) {
    switch (number) {
        case SIGINT:
            return CTRL_C_EVENT;
        case SIGHUP:
            return CTRL_CLOSE_EVENT;
        default:
            return CTRL_SHUTDOWN_EVENT;
    }
}

// Ends the process the way the signal's own default would, so the parent sees the signal.
[[noreturn]] void endBySignal(int number) {
    std::signal(number, SIG_DFL);
    ::raise(number);
    std::_Exit(128 + number);
}

void watchSignals() {
    for (;;) {
        unsigned char byte = 0;
        const ssize_t n = ::read(signalPipe[0], &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        const int number = byte;
        if (platform::kernel32::callConsoleHandlers(eventOfSignal(number)) && number == SIGINT) continue;
        endBySignal(number);  // unhandled Ctrl+C, and every close or shutdown, end the process
    }
}

void startWatching() {
    if (::pipe2(signalPipe, O_CLOEXEC) != 0) return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGINT, SIGHUP, SIGTERM}) {
        struct sigaction previous {};
        // A signal the process was started ignoring (nohup) stays ignored.
        if (::sigaction(number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(number, &action, nullptr);
    }
    std::thread(watchSignals).detach();
}

}  // namespace

namespace platform::kernel32 {

bool callConsoleHandlers(DWORD event) {
    std::vector<PHANDLER_ROUTINE> routines;
    {
        std::lock_guard<std::mutex> guard(handlers().lock);
        routines = handlers().routines;
    }
    for (auto it = routines.rbegin(); it != routines.rend(); ++it) {
        if ((*it)(event)) return true;
    }
    return false;
}

}  // namespace platform::kernel32

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
    if (handler == nullptr) {
        std::signal(SIGINT, add ? SIG_IGN : SIG_DFL);
        return TRUE;
    }
    Handlers& h = handlers();
    std::lock_guard<std::mutex> guard(h.lock);
    if (add) {
        h.routines.push_back(handler);
        if (!h.watching) {
            h.watching = true;
            startWatching();
        }
        return TRUE;
    }
    for (auto it = h.routines.rbegin(); it != h.routines.rend(); ++it) {
        if (*it != handler) continue;
        h.routines.erase(std::next(it).base());
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
