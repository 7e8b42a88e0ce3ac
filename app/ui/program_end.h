// Every way the program can end keeps the map's unsaved work in the recovery copy: the end of
// the loop (Escape), the window's close button, and the console's control events (Ctrl+C, the
// console or terminal closing, shutdown, and on Linux the loss of the X connection), which come
// on threads of their own. Those threads take the map only between two passes of the loop:
// the loop holds mapLock() while a pass works on the map.
#pragma once

#include <mutex>

#include "app/model/mind_map.h"
#include "app/storage/recovery_copy.h"

std::recursive_timed_mutex& mapLock();

// Registers the map and its recovery copy for the ends that come from other threads. Both must
// outlive the program's run (main keeps them to the end).
void keepWorkAtEveryEnd(MindMap& map, RecoveryCopy& copy);

// At an end of the program: writes the recovery copy if the map has unsaved changes and says
// on the console where it is. Safe from any thread, any number of times.
void keepUnsavedWork();

// Before the map or the copy goes: ends that come later keep nothing.
void stopKeepingWork();

// What the console says at start when a recovery copy is waiting.
void announceRecoveryCopy(const std::u16string& path);
