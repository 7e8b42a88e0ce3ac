// Failure injection for the file layer, so that tests can make one step of a save fail and
// check that the old content survives it. Off unless a test arms it; costs one atomic load
// per step.
#pragma once

#include <atomic>

// decided: the save has looked at the target and chosen its way, nothing written yet.
// rewriting: an in-place rewrite has emptied the target and is about to write it.
// renameFlags: failing it makes the file system refuse renameat2's flags (EINVAL).
enum class FileStep { write, sync, rename, truncate, decided, rewriting, renameFlags };

// Makes the nth (1-based) call of step from now on fail, and with repeat every later one as
// well; nth 0 disarms. Counting starts afresh at every call.
void failFileStep(FileStep step, int nth, bool repeat = false);

// Whether an armed failure has struck since the step was armed.
bool fileStepFailed();

// While *held is true, every call of step waits (tests of what must wait for a slow save);
// null stops holding.
void holdFileStep(FileStep step, const std::atomic<bool>* held);

// Called by the file layer before each step: true when this call must fail as if the system
// had reported an input/output error.
bool injectedFailure(FileStep step);

// Runs hook (when set) each time the file layer reaches a step, so that a test can change the
// files under a save at that moment. Null removes it.
using FileStepHook = void (*)(FileStep step);
void setFileStepHook(FileStepHook hook);
void reachFileStep(FileStep step);
