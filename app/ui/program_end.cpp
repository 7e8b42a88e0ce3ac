#include "app/ui/program_end.h"

#include <windows.h>

#include <atomic>
#include <mutex>

#include "app/files/console_line.h"
#include "app/files/rewrite_window.h"
#include "app/recovery/map_snapshot.h"
#include "unicode/utf.h"

namespace {

std::atomic<RecoveryCopy*> keptCopy{nullptr};
bool kept = false;  // an end has written the copy or said why it could not

std::mutex& endLock() {
    static std::mutex* const lock = new std::mutex;  // outlives every thread
    return *lock;
}

// Windows ends the process once this returns (for Ctrl+C, because no handler took it), and the
// stand-in does the same; the answer only lets the next handler run first.
BOOL WINAPI onConsoleEvent(DWORD) {
    keepUnsavedWork();
    return FALSE;
}

}  // namespace

void keepWorkAtEveryEnd(RecoveryCopy& copy) {
    {
        std::lock_guard<std::mutex> single(endLock());
        keptCopy.store(&copy);
        kept = false;
    }
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void keepUnsavedWork() {
    // One end at a time; a later one finds the work kept (or its failure said).
    std::lock_guard<std::mutex> single(endLock());
    // A file being rewritten in place is empty until the rewrite ends: ending before that
    // would lose what it held.
    waitForRewritesInPlace();
    RecoveryCopy* copy = keptCopy.load();
    if (copy == nullptr) return;
    if (kept) return;
    // A save under way finishes first: what it writes may be the very work to keep.
    const std::uint64_t saved = waitForSaves();
    const MapSnapshot snapshot = publishedSnapshot();
    if (!snapshot.unsaved() || saved >= snapshot.change) {
        copy->dropStaleCopy();
        return;
    }
    kept = true;
    std::string reason;
    if (copy->writeNow(snapshot, &reason)) {
        writeConsoleLine(u"未保存的修改已存入 " + copy->path() +
                         u"，下次启动时可以找回（或用 mindmap --recover）");
    } else {
        writeConsoleLine(u"未保存的修改无法存入恢复副本: " +
                         (copy->path().empty() ? std::u16string(u"没有可用的状态文件夹")
                                               : copy->path() + u": " + unicode::fromUtf8(reason)));
    }
}

void stopKeepingWork() {
    std::lock_guard<std::mutex> single(endLock());
    keptCopy.store(nullptr);
}

void announceRecoveryCopies(const std::vector<LeftRecoveryFile>& left) {
    for (const LeftRecoveryFile& file : left)
        writeConsoleLine(u"发现未保存的导图: " + file.path +
                         u" 在窗口中打开、忽略或删除，或运行 mindmap --recover");
}
