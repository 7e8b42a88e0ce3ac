// For waits on kernel objects and something else at once (user32's MsgWaitForMultipleObjectsEx
// waits on handles and on its thread's message queue): a file descriptor, written when one
// of the watched objects becomes signalled, wakes such a waiter from poll().
#pragma once

#include <windows.h>

namespace platform::kernel32 {

// Registers fd (an eventfd) with the object behind the handle; false for a handle that is not
// waitable (ERROR_INVALID_HANDLE set).
bool watchSignal(HANDLE handle, int fd);
void unwatchSignal(HANDLE handle, int fd);

// Takes the object's signal as a satisfied wait does (an auto-reset event is reset): 1 when it
// was signalled, 0 when not, -1 for a handle that is not waitable.
int takeSignal(HANDLE handle);

// Called by the objects' owners after they signal: wakes every watcher of the object.
void notifyWatchers(const void* object);

}  // namespace platform::kernel32
