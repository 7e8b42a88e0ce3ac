#include "app/recovery/recovery_copy.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "app/files/file_io.h"
#include "app/files/state_folder.h"
#include "unicode/utf.h"

namespace fs = std::filesystem;

namespace {

bool sameFile(const std::u16string& a, const std::u16string& b) {
    std::error_code error;
    return a == b || fs::equivalent(fs::path(a), fs::path(b), error);
}

}  // namespace

RecoveryCopy::RecoveryCopy(std::u16string path) : keeping(!path.empty()), file(std::move(path)) {
    if (!keeping) return;
    held = RecoveryLock::take(recoveryLockPath(file));
    writer = std::thread([this] { writerLoop(); });
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

void RecoveryCopy::setRetryTime(Clock::duration wait) {
    std::lock_guard<std::mutex> guard(lock);
    retryWait = wait;
}

std::u16string RecoveryCopy::path() const {
    std::lock_guard<std::mutex> disk(diskLock);
    return file;
}

void RecoveryCopy::afterPass(MindMap& map, Clock::time_point now) {
    if (!keeping) return;
    if (map.openCount != seenOpens) {
        seenOpens = map.openCount;
        // The map was replaced: what the writer has yet to write belongs to the map before.
        {
            std::lock_guard<std::mutex> guard(lock);
            pending.reset();
            ++generation;
        }
        std::lock_guard<std::mutex> disk(diskLock);
        const bool ownCopyOpened = !map.recoveredFrom.empty() && sameFile(map.recoveredFrom, file);
        if (onDisk && !ownCopyOpened) {
            // Work the open replaced stays for a later offer; work since undone goes.
            if (hadUnsaved) {
                retireOwnCopy();
            } else {
                removeOwnCopy();
            }
        }
        if (!map.recoveredFrom.empty() && (ownCopyOpened || adoptRecoveryFile(map.recoveredFrom, file))) {
            // The copy the user took up is this editor's own now: it goes when its work is saved.
            onDisk = true;
            std::lock_guard<std::mutex> guard(lock);
            diskChange = map.changeCount;
            handedChange = map.changeCount;
        }
    }
    if (map.saveCount != seenSaves) {
        seenSaves = map.saveCount;
        if (!map.hasUnsavedChanges()) {
            {
                std::lock_guard<std::mutex> guard(lock);
                pending.reset();
                ++generation;
            }
            std::lock_guard<std::mutex> disk(diskLock);
            if (!map.savedPath.empty() && sameFile(map.savedPath, file)) {
                handOverOwnCopy();
            } else if (onDisk) {
                removeOwnCopy();
            }
            handedChange = 0;
        }
    }
    if (map.changeCount != seenChange) {
        seenChange = map.changeCount;
        changedAt = now;
    }
    hadUnsaved = map.hasUnsavedChanges();
    if (!changedAt || now - *changedAt < kQuietTime) return;
    changedAt.reset();
    if (!map.hasUnsavedChanges() || handedChange == map.changeCount) return;
    hand(takeSnapshot(map));
}

std::optional<RecoveryCopy::Clock::time_point> RecoveryCopy::nextDeadline() const {
    if (!changedAt) return std::nullopt;
    return *changedAt + kQuietTime;
}

void RecoveryCopy::hand(MapSnapshot snapshot) {
    handedChange = snapshot.change;
    {
        std::lock_guard<std::mutex> guard(lock);
        pending = std::move(snapshot);
        fresh = true;
    }
    wake.notify_all();
}

bool RecoveryCopy::writeNow(const MapSnapshot& snapshot, std::string* reason) {
    if (!keeping) {
        if (reason != nullptr) *reason = "no state folder";
        return false;
    }
    if (!snapshot.unsaved()) return false;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (pending && pending->change <= snapshot.change) pending.reset();
    }
    std::lock_guard<std::mutex> disk(diskLock);
    {
        std::lock_guard<std::mutex> guard(lock);
        if (onDisk && diskChange == snapshot.change) return true;
    }
    return writeFile(snapshot, reason);
}

void RecoveryCopy::dropStaleCopy() {
    if (!keeping) return;
    {
        std::lock_guard<std::mutex> guard(lock);
        pending.reset();
        ++generation;
    }
    std::lock_guard<std::mutex> disk(diskLock);
    if (onDisk) removeOwnCopy();
}

bool RecoveryCopy::writeFile(const MapSnapshot& snapshot, std::string* reason) {
    // The state folder may have gone since the start (a cleaner, the user): made again, with
    // the lock that tells other editors this copy's editor runs.
    if (userStateFolder().empty()) {
        if (reason != nullptr) *reason = "the state folder cannot be made";
        return false;
    }
    std::error_code error;
    if (held == nullptr || !fs::exists(fs::path(held->path()), error)) {
        held.reset();
        held = RecoveryLock::take(recoveryLockPath(file));
    }
    FileResult written = replaceFileContents(file, snapshotBytes(snapshot));
    if (!written) {
        if (reason != nullptr) *reason = std::move(written.reason);
        return false;
    }
    onDisk = true;
    std::lock_guard<std::mutex> guard(lock);
    diskChange = snapshot.change;
    return true;
}

void RecoveryCopy::removeOwnCopy() {
    std::error_code error;
    fs::remove(fs::path(file), error);
    onDisk = false;
    std::lock_guard<std::mutex> guard(lock);
    diskChange = 0;
}

void RecoveryCopy::retireOwnCopy() {
    // A name of its own that no lock file goes with: found as left work by the next start.
    std::u16string stem = file.substr(0, file.size() - (file.size() >= 5 ? 5 : 0));
    for (int n = 1; n < 1000; ++n) {
        const fs::path retired(stem + u"-" + unicode::fromUtf8(std::to_string(n)) + u".mind");
        std::error_code error;
        if (fs::exists(retired, error)) continue;
        fs::rename(fs::path(file), retired, error);
        break;
    }
    onDisk = false;
    std::lock_guard<std::mutex> guard(lock);
    diskChange = 0;
}

void RecoveryCopy::handOverOwnCopy() {
    // The user saved onto this editor's copy, by whatever spelling of its path: the file is
    // theirs now and stays. Later work goes to a copy of a new name, under a lock of its own.
    const std::u16string fresh = freshRecoveryCopyPath();
    if (!fresh.empty()) {
        file = fresh;
        held.reset();
        held = RecoveryLock::take(recoveryLockPath(file));
    }
    onDisk = false;
    std::lock_guard<std::mutex> guard(lock);
    diskChange = 0;
}

void RecoveryCopy::waitIdle() {
    std::unique_lock<std::mutex> guard(lock);
    wake.wait(guard, [this] { return !writing && (!pending || (failed && !fresh)); });
}

std::uint64_t RecoveryCopy::changeOnDisk() const {
    std::lock_guard<std::mutex> guard(lock);
    return diskChange;
}

bool RecoveryCopy::retrying() const {
    std::lock_guard<std::mutex> guard(lock);
    return failed && pending.has_value();
}

void RecoveryCopy::writerLoop() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        if (failed && pending && !fresh) {
            wake.wait_for(guard, retryWait, [this] { return stopping || fresh; });
        } else {
            wake.wait(guard, [this] { return stopping || pending.has_value(); });
        }
        if (stopping) return;
        if (!pending) {
            failed = false;
            continue;
        }
        fresh = false;
        const MapSnapshot job = *pending;
        const std::uint64_t jobGeneration = generation;
        writing = true;
        guard.unlock();
        bool written = false;
        {
            std::lock_guard<std::mutex> disk(diskLock);
            bool current = false;
            {
                std::lock_guard<std::mutex> state(lock);
                current = jobGeneration == generation && !(onDisk && diskChange == job.change);
            }
            // A failed write leaves the previous copy (the replacement is atomic).
            written = !current || writeFile(job, nullptr);
        }
        guard.lock();
        writing = false;
        failed = !written;
        if (written && pending && pending->change == job.change) pending.reset();
        wake.notify_all();
    }
}
