#include "app/files/file_io_faults.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
// Every member is atomic: the recovery copy is written on another thread.
std::atomic<int> armedStep{-1};
std::atomic<int> callsLeft{0};
std::atomic<bool> repeating{false};
std::atomic<bool> struck{false};
std::atomic<int> heldStep{-1};
std::atomic<const std::atomic<bool>*> holding{nullptr};
}  // namespace

void holdFileStep(FileStep step, const std::atomic<bool>* held) {
    holding.store(held);
    heldStep.store(held == nullptr ? -1 : static_cast<int>(step));
}

void failFileStep(FileStep step, int nth, bool repeat) {
    armedStep.store(-1);
    callsLeft.store(nth);
    repeating.store(repeat);
    struck.store(false);
    if (nth > 0) armedStep.store(static_cast<int>(step));
}

bool fileStepFailed() {
    return struck.load();
}

bool injectedFailure(FileStep step) {
    if (heldStep.load(std::memory_order_relaxed) == static_cast<int>(step)) {
        const std::atomic<bool>* held = holding.load();
        while (held != nullptr && held->load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (armedStep.load(std::memory_order_relaxed) != static_cast<int>(step)) return false;
    const int left = callsLeft.fetch_sub(1) - 1;
    if (left > 0) return false;
    if (!repeating.load()) armedStep.store(-1);
    struck.store(true);
    return true;
}

namespace {
std::atomic<FileStepHook> stepHook{nullptr};
}  // namespace

void setFileStepHook(FileStepHook hook) {
    stepHook.store(hook);
}

void reachFileStep(FileStep step) {
    if (const FileStepHook hook = stepHook.load(std::memory_order_relaxed)) hook(step);
}
