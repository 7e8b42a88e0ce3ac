// The graphics layer's process-wide state: reference count, devices, working target and the
// device lock. Initialised on the first reference (an IMAGE or an open window) and torn down
// when only the window object's own reference is left.
#pragma once

#include <windows.h>

namespace Gfx {

class DrawOnImg;
class DrawOnWnd;
class GraphWnd;
struct IMAGE;

// Trivially destructible on purpose: a process that ends from the window thread (the user's
// close button) must not run a teardown on the way out.
struct LibraryState {
    int openCount;
    DrawOnImg* imageDevice;
    DrawOnWnd* windowDevice;
    DrawOnImg* currentDevice;
    GraphWnd* graphWindow;
    IMAGE* currentTarget;
    HDC currentDC;
    HDC windowDC;
    CRITICAL_SECTION deviceLock;
    // References taken by openGraphWindow and not yet given back by closeGraphWindow (a failed
    // open keeps its reference too).
    int windowReferences;
};

extern LibraryState library;

void addLibraryReference();
void releaseLibraryReference();

// Holds the re-entrant device lock for a scope.
class DeviceLock {
  public:
    DeviceLock() { EnterCriticalSection(&library.deviceLock); }
    ~DeviceLock() { LeaveCriticalSection(&library.deviceLock); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
};

// For tests and diagnostics.
inline int libraryOpenCount() {
    return library.openCount;
}

}  // namespace Gfx
