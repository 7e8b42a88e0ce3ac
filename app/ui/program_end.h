// Every way the program can end keeps the map's unsaved work in the recovery copy: the end of
// the loop (Escape), the window's close button, and the console's control events (Ctrl+C, the
// console or terminal closing, shutdown, and on Linux the loss of the X connection), which come
// on threads of their own. None of them reads the live map: they write the snapshot the loop
// published after its last pass (app/recovery/map_snapshot.h), after any save under way ends.
#pragma once

#include <string>
#include <vector>

#include "app/recovery/recovery_copy.h"

// Registers the recovery copy for the ends that come from other threads. It must outlive the
// program's run (main keeps it to the end).
void keepWorkAtEveryEnd(RecoveryCopy& copy);

// At an end of the program: writes the recovery copy if the published map has unsaved changes
// and says on the console, truthfully, whether the work was kept and where. Safe from any
// thread, any number of times; later calls find it done.
void keepUnsavedWork();

// Before the copy goes: ends that come later keep nothing.
void stopKeepingWork();

// What the console says at start when recovery copies are waiting.
void announceRecoveryCopies(const std::vector<LeftRecoveryFile>& left);
