// Events, waits, handles and critical sections.
#include <windows.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/kernel32/objects.h"
#include "platform/kernel32/signal_watch.h"

using platform::kernel32::EventObject;
using platform::kernel32::KernelObject;

namespace {

// Named events are shared within the process, as Windows shares them within a session.
struct NamedEvents {
    std::mutex mutex;
    std::map<std::u16string, std::weak_ptr<EventObject>> byName;
};

NamedEvents& namedEvents() {
    static auto* instance = new NamedEvents;
    return *instance;
}

}  // namespace

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
    std::shared_ptr<EventObject> event;
    bool existed = false;
    if (name != nullptr && name[0] != 0) {
        auto& named = namedEvents();
        std::lock_guard lock(named.mutex);
        auto& slot = named.byName[std::u16string(name)];
        event = slot.lock();
        existed = event != nullptr;
        if (!existed) {
            event = std::make_shared<EventObject>();
            slot = event;
        }
    } else {
        event = std::make_shared<EventObject>();
    }
    if (!existed) {
        event->manualReset = manualReset != FALSE;
        event->signalled = initialState != FALSE;
    }
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return platform::kernel32::addHandle(event);
}

namespace {

// The event behind a handle; null, with ERROR_INVALID_HANDLE set, for any other handle.
std::shared_ptr<EventObject> eventOf(HANDLE handle) {
    auto event = platform::kernel32::findHandleOf<EventObject>(handle);
    if (!event) SetLastError(ERROR_INVALID_HANDLE);
    return event;
}

}  // namespace

BOOL WINAPI SetEvent(HANDLE handle) {
    const auto event = eventOf(handle);
    if (!event) return FALSE;
    {
        std::lock_guard lock(event->mutex);
        event->signalled = true;
    }
    // A manual-reset event releases every waiter, an auto-reset one a single waiter.
    if (event->manualReset) {
        event->changed.notify_all();
    } else {
        event->changed.notify_one();
    }
    platform::kernel32::notifyWatchers(event.get());
    return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE handle) {
    const auto event = eventOf(handle);
    if (!event) return FALSE;
    std::lock_guard lock(event->mutex);
    event->signalled = false;
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    const std::shared_ptr<KernelObject> object = platform::kernel32::findHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock lock(object->mutex);
    if (milliseconds == INFINITE) {
        object->changed.wait(lock, [&] { return object->acquire(); });
        return WAIT_OBJECT_0;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    return object->changed.wait_until(lock, deadline, [&] { return object->acquire(); }) ? WAIT_OBJECT_0
                                                                                         : WAIT_TIMEOUT;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    if (!platform::kernel32::removeHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// The record holds a pointer to its lock, so it stays a plain struct like Windows' own.
void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    *section = CRITICAL_SECTION{};
    section->LockSemaphore = new std::recursive_mutex;
}

BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD spinCount) {
    InitializeCriticalSection(section);
    section->SpinCount = spinCount;
    return TRUE;
}

namespace {
std::recursive_mutex& lockOf(LPCRITICAL_SECTION section) {
    return *static_cast<std::recursive_mutex*>(section->LockSemaphore);
}
}  // namespace

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
    lockOf(section).lock();
    ++section->RecursionCount;
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    if (!lockOf(section).try_lock()) return FALSE;
    ++section->RecursionCount;
    return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
    --section->RecursionCount;
    lockOf(section).unlock();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    delete static_cast<std::recursive_mutex*>(section->LockSemaphore);
    section->LockSemaphore = nullptr;
}

void WINAPI Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
