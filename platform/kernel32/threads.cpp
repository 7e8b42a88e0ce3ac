// Threads: CreateThread runs the routine on a detached std::thread; its handle is signalled
// when the routine returns, and closing the handle does not stop the thread.
#include <unistd.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/kernel32/objects.h"
#include "platform/kernel32/signal_watch.h"

using platform::kernel32::ThreadObject;

namespace {

std::atomic<DWORD> nextThreadId{1};
thread_local DWORD currentThreadId = 0;

}  // namespace

DWORD WINAPI GetCurrentThreadId() {
    if (currentThreadId == 0) currentThreadId = nextThreadId.fetch_add(1);
    return currentThreadId;
}

DWORD WINAPI GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                           DWORD creationFlags, LPDWORD threadId) {
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<ThreadObject>();
    thread->id = nextThreadId.fetch_add(1);
    thread->suspended = (creationFlags & CREATE_SUSPENDED) != 0;
    try {
        std::thread([thread, start, parameter] {
            currentThreadId = thread->id;
            {
                std::unique_lock lock(thread->mutex);
                thread->changed.wait(lock, [&] { return !thread->suspended; });
            }
            const DWORD code = start(parameter);
            {
                std::lock_guard lock(thread->mutex);
                thread->exitCode = code;
                thread->finished = true;
            }
            thread->changed.notify_all();
            platform::kernel32::notifyWatchers(thread.get());
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId != nullptr) *threadId = thread->id;
    return platform::kernel32::addHandle(thread);
}

DWORD WINAPI ResumeThread(HANDLE handle) {
    const auto thread = platform::kernel32::findHandleOf<ThreadObject>(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return static_cast<DWORD>(-1);
    }
    DWORD previous = 0;
    {
        std::lock_guard lock(thread->mutex);
        previous = thread->suspended ? 1 : 0;
        thread->suspended = false;
    }
    thread->changed.notify_all();
    return previous;
}

BOOL WINAPI GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
    const auto thread = platform::kernel32::findHandleOf<ThreadObject>(handle);
    if (!thread || exitCode == nullptr) {
        SetLastError(thread ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard lock(thread->mutex);
    *exitCode = thread->exitCode;
    return TRUE;
}
