// The recovery copies in the state folder. Each running editor keeps its unsaved work in a copy
// of its own, recovery-<start>-<pid>.mind, and holds the lock file recovery-<start>-<pid>.lock
// beside it while it lives; a copy whose lock nobody holds belongs to an editor that ended.
// A save's backup (<name>.<pid>-<n>.backup) whose editor no longer runs was left by an
// interrupted save. Copies are removed only when their work is saved or discarded; a discarded
// one waits in discarded/ for seven days before it goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// This editor's own copy (the same name for the whole run); empty without a state folder.
std::u16string recoveryCopyPath();

// A new name of this editor's own for its copy, for when the user has made the one it had
// their file by saving onto it; empty without a state folder.
std::u16string freshRecoveryCopyPath();

// The lock file that says whether a copy's editor still runs.
std::u16string recoveryLockPath(const std::u16string& copyPath);

// Whether path names a recovery copy or a save's backup in the state folder (this editor's,
// another's, or a discarded one), however it is spelled: opening one gives unsaved work.
bool isRecoveryCopyPath(const std::u16string& path);

// A lock file held for as long as the object lives (and no longer than the process).
class RecoveryLock {
  public:
    // Null when the lock is taken by someone else or cannot be made.
    static std::unique_ptr<RecoveryLock> take(const std::u16string& lockPath);
    ~RecoveryLock();
    RecoveryLock(const RecoveryLock&) = delete;
    RecoveryLock& operator=(const RecoveryLock&) = delete;
    const std::u16string& path() const { return file; }

  private:
    RecoveryLock(std::u16string path, std::intptr_t handle) : file(std::move(path)), handle(handle) {}
    std::u16string file;
    std::intptr_t handle;
};

// What an ended editor or an interrupted save left in the state folder.
struct LeftRecoveryFile {
    enum class Kind { copy, backup };
    std::u16string path;
    Kind kind = Kind::copy;
    std::int64_t modified = 0;  // seconds since 1970 (UTC)
    std::size_t nodes = 0;      // node lines in the file
};

// Every copy whose lock is free and every backup whose editor has ended, newest first.
std::vector<LeftRecoveryFile> leftRecoveryFiles();

// Takes a left copy or backup up as this editor's own copy: renamed onto ownCopy (whose lock
// this editor holds), its free lock file removed. False when it is gone (another editor took it).
bool adoptRecoveryFile(const std::u16string& left, const std::u16string& ownCopy);

// Moves a copy or backup to discarded/, stamped with the time of discarding. False when it
// could not be moved (it stays where it was).
bool discardRecoveryFile(const std::u16string& path);

// Removes discarded files older than kDiscardedDays.
inline constexpr int kDiscardedDays = 7;
void sweepDiscardedRecoveryFiles();

// Node lines in a map file's bytes.
std::size_t countNodeLines(std::string_view bytes);
