// Kernel objects behind HANDLEs: events and threads. A handle is a number in a table, never
// a pointer, so a stale or made-up handle is refused (ERROR_INVALID_HANDLE) instead of read.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace platform::kernel32 {

struct KernelObject {
    virtual ~KernelObject() = default;
    // Called with `mutex` held: true when the object is signalled; an auto-reset event
    // consumes its signal here.
    virtual bool acquire() = 0;

    std::mutex mutex;
    std::condition_variable changed;
};

struct EventObject final : KernelObject {
    bool acquire() override {
        if (!signalled) return false;
        if (!manualReset) signalled = false;
        return true;
    }
    bool manualReset = false;
    bool signalled = false;
};

struct ThreadObject final : KernelObject {
    bool acquire() override { return finished; }
    DWORD id = 0;
    bool finished = false;
    bool suspended = false;
    DWORD exitCode = STILL_ACTIVE;
};

HANDLE addHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> findHandle(HANDLE handle);
bool removeHandle(HANDLE handle);

template <typename T>
std::shared_ptr<T> findHandleOf(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(findHandle(handle));
}

}  // namespace platform::kernel32
