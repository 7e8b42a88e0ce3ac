#include "app/ui/program_end.h"

#include <windows.h>

#include <atomic>
#include <chrono>

#include "app/storage/console_line.h"
#include "app/storage/rewrite_window.h"

namespace {

std::atomic<MindMap*> keptMap{nullptr};
std::atomic<RecoveryCopy*> keptCopy{nullptr};

// Windows ends the process once this returns (for Ctrl+C, because no handler took it), and the
// stand-in does the same; the answer only lets the next handler run first.
BOOL WINAPI onConsoleEvent(DWORD) {
    keepUnsavedWork();
    return FALSE;
}

}  // namespace

std::recursive_timed_mutex& mapLock() {
    static std::recursive_timed_mutex* const lock = new std::recursive_timed_mutex;  // outlives every thread
    return *lock;
}

void keepWorkAtEveryEnd(MindMap& map, RecoveryCopy& copy) {
    keptMap.store(&map);
    keptCopy.store(&copy);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void keepUnsavedWork() {
    // A file being rewritten in place is empty until the rewrite ends: ending before that
    // would lose what it held.
    waitForRewritesInPlace();
    // A pass ends within a frame's time. One that does not end is stuck (waiting on a display
    // that is gone): the map is not being changed then, and keeping it beats losing it.
    std::unique_lock<std::recursive_timed_mutex> held(mapLock(), std::defer_lock);
    [[maybe_unused]] const bool locked = held.try_lock_for(std::chrono::seconds(2));
    MindMap* map = keptMap.load();
    RecoveryCopy* copy = keptCopy.load();
    if (map == nullptr || copy == nullptr) return;
    static std::recursive_mutex once;  // one writer at a time; later callers find it written
    std::lock_guard<std::recursive_mutex> single(once);
    static bool said = false;
    if (said || !map->hasUnsavedChanges()) return;
    said = true;
    if (copy->writeNow(*map)) {
        writeConsoleLine(u"未保存的修改已存入 " + copy->path() + u"，用 mindmap --recover 找回");
    } else {
        writeConsoleLine(u"未保存的修改无法存入恢复副本: " +
                         (copy->path().empty() ? std::u16string(u"没有可用的状态文件夹") : copy->path()));
    }
}

void stopKeepingWork() {
    std::lock_guard<std::recursive_timed_mutex> held(mapLock());
    keptMap.store(nullptr);
    keptCopy.store(nullptr);
}

void announceRecoveryCopy(const std::u16string& path) {
    writeConsoleLine(u"发现未保存的导图: " + path + u" 用 Ctrl+O 打开，或运行 mindmap --recover");
}
