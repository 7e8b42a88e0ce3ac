#include "app/storage/recovery_copy.h"

#include <utility>

#include "app/storage/map_file_io.h"
#include "app/storage/state_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>

#include "unicode/utf.h"
#endif

namespace {

constexpr char16_t kRecoveryName[] = u"recovery.mind";

void removeFile(const std::u16string& path) {
#ifdef _WIN32
    ::DeleteFileW(reinterpret_cast<const wchar_t*>(path.c_str()));
#else
    std::remove(unicode::toUtf8(path).c_str());
#endif
}

}  // namespace

std::u16string recoveryCopyPath() {
    return userStateFile(kRecoveryName);
}

bool isRecoveryCopyPath(const std::u16string& path) {
    const std::u16string copy = recoveryCopyPath();
    // By identity: "./", "a/../" or a linked folder spell the same file another way.
    return !copy.empty() && (path == copy || isSameFile(path, copy));
}

RecoveryCopy::RecoveryCopy(std::u16string path) : file(std::move(path)) {
    if (!file.empty()) writer = std::thread([this] { writerLoop(); });
}

RecoveryCopy::~RecoveryCopy() {
    if (!writer.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    wake.notify_all();
    writer.join();
}

void RecoveryCopy::afterPass(const MindMap& map, Clock::time_point now) {
    if (file.empty() || adopted) return;
    if (map.savedOntoRecoveryCopy) {
        // The user saved onto the copy: it is the user's file now, kept, and never written
        // over with unsaved work again in this run.
        std::lock_guard<std::mutex> guard(lock);
        adopted = true;
        pending.reset();
        return;
    }
    if (map.openedRecoveryCopy) holdsCopy = true;  // the user took the copy up: it is this run's now
    if (map.fileMatches != seenMatches) {
        seenMatches = map.fileMatches;
        if (!map.hasUnsavedChanges() && holdsCopy) {
            // A save or open left nothing unsaved: the copy has nothing more to offer.
            waitIdle();
            removeFile(file);
            holdsCopy = false;
            writtenChange = 0;
        }
    }
    if (map.changeCount != seenChange) {
        seenChange = map.changeCount;
        changedAt = now;
    }
    if (!changedAt || now - *changedAt < kQuietTime) return;
    changedAt.reset();
    if (!map.hasUnsavedChanges() || (holdsCopy && writtenChange == map.changeCount)) return;
    hand(map.saveToBytes(), map.changeCount);
}

std::optional<RecoveryCopy::Clock::time_point> RecoveryCopy::nextDeadline() const {
    if (!changedAt) return std::nullopt;
    return *changedAt + kQuietTime;
}

bool RecoveryCopy::writeNow(const MindMap& map) {
    if (file.empty() || !map.hasUnsavedChanges()) return false;
    waitIdle();
    {
        std::lock_guard<std::mutex> guard(lock);
        if (adopted || map.savedOntoRecoveryCopy) return false;
    }
    if (holdsCopy && writtenChange == map.changeCount) return true;
    if (!replaceFileContents(file, map.saveToBytes())) return false;
    holdsCopy = true;
    writtenChange = map.changeCount;
    return true;
}

void RecoveryCopy::hand(std::string bytes, std::uint64_t change) {
    {
        std::lock_guard<std::mutex> guard(lock);
        pending = std::move(bytes);
    }
    wake.notify_all();
    holdsCopy = true;
    writtenChange = change;
}

void RecoveryCopy::waitIdle() {
    std::unique_lock<std::mutex> guard(lock);
    wake.wait(guard, [this] { return !pending && !writing; });
}

void RecoveryCopy::writerLoop() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        wake.wait(guard, [this] { return pending.has_value() || stopping; });
        if (!pending) return;  // stopping with nothing left to write
        if (adopted) {
            pending.reset();
            continue;
        }
        std::string bytes = std::move(*pending);
        pending.reset();
        writing = true;
        guard.unlock();
        // A failed write leaves the previous copy (the replacement is atomic); the next change
        // or the end of the program tries again.
        replaceFileContents(file, bytes);
        guard.lock();
        writing = false;
        wake.notify_all();
    }
}
