#ifndef _WIN32

#include "app/files/safe_replace_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "app/files/file_io_faults.h"
#include "app/files/file_metadata_posix.h"
#include "app/files/posix_files.h"

namespace {
constexpr char kTemporaryPrefix[] = ".mindmap-";
constexpr char kTemporarySuffix[] = ".tmp";

// ".mindmap-<pid>-<count>-<clock>.tmp": the process id lets a later save see that the one
// that made it is gone.
std::string temporaryNameBeside(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    char name[80];
    std::snprintf(name, sizeof name, "%s%ld-%u-%llx%s", kTemporaryPrefix, static_cast<long>(::getpid()),
                  counter.fetch_add(1), static_cast<unsigned long long>(now), kTemporarySuffix);
    return folderPrefix(target) + name;
}

// The process id in a temporary file's name, or 0 when the name is not one of ours.
long temporaryOwner(const std::string& name) {
    const std::size_t prefix = sizeof kTemporaryPrefix - 1;
    const std::size_t suffix = sizeof kTemporarySuffix - 1;
    if (name.size() <= prefix + suffix || name.compare(0, prefix, kTemporaryPrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kTemporarySuffix) != 0) {
        return 0;
    }
    long pid = 0;
    std::size_t at = prefix;
    for (; at < name.size() && name[at] >= '0' && name[at] <= '9' && pid < 100000000; ++at) {
        pid = pid * 10 + (name[at] - '0');
    }
    return at < name.size() && name[at] == '-' ? pid : 0;
}

bool processIsGone(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

bool renameFile(const std::string& from, const std::string& to) {
    if (injectedFailure(FileStep::rename)) {
        errno = EIO;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// The name must still be the file the save was planned for: one put in its place meanwhile
// (another program's save, a link) is not ours to replace.
bool stillNames(const std::string& target, const struct stat& existing) {
    struct stat now;
    return ::lstat(target.c_str(), &now) == 0 && (now.st_mode & S_IFMT) == (existing.st_mode & S_IFMT) &&
           identityOf(now) == identityOf(existing);
}

RenameOutcome give(RenameOutcome outcome, std::string& reason, int error) {
    if (outcome == RenameOutcome::failed) reason = errorText(error);
    return outcome;
}
}  // namespace

FileIdentity identityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

void removeStaleTemporaries(const std::string& folderPrefix) {
    const std::string folder = folderPrefix.empty() ? std::string(".") : folderPrefix;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::time_t minuteAgo = std::time(nullptr) - 60;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const long pid = temporaryOwner(name);
        if (pid <= 0) continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        if (processIsGone(pid) || st.st_mtime < minuteAgo) ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

RenameOutcome replaceByRename(const std::string& target, const struct stat* existing, std::string_view bytes,
                              std::string& reason) {
    removeStaleTemporaries(folderPrefix(target));
    // A folder we may not write rules this way out; a file that exists is then rewritten.
    const RenameOutcome refused = existing != nullptr ? RenameOutcome::notPossible : RenameOutcome::failed;

    // Owner-only until the target's own mode is applied; a new file gets the usual mode.
    std::string temporary;
    FileDescriptor file;
    for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
        temporary = temporaryNameBeside(target);
        file.reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          existing != nullptr ? 0600 : 0666));
        if (file.get() < 0 && errno != EEXIST) {
            return give(errno == EACCES || errno == EPERM ? refused : RenameOutcome::failed, reason, errno);
        }
    }
    if (file.get() < 0) return give(RenameOutcome::failed, reason, EEXIST);

    if (existing != nullptr && !copyFileMetadata(target, *existing, file.get())) {
        ::unlink(temporary.c_str());
        return RenameOutcome::notPossible;
    }
    if (!writeAll(file.get(), bytes) || !syncFile(file.get()) || !file.close()) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return give(RenameOutcome::failed, reason, error);
    }
    reachFileStep(FileStep::rename);
    if (existing != nullptr && !stillNames(target, *existing)) {
        ::unlink(temporary.c_str());
        reason = kTargetChanged;
        return RenameOutcome::failed;
    }
    const bool renamed =
        existing != nullptr ? renameFile(temporary, target) : renameNoReplace(temporary, target);
    if (!renamed) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return give(error == EACCES || error == EPERM ? refused : RenameOutcome::failed, reason, error);
    }
    // The new name is only durable once the folder itself is flushed. The file already holds
    // the new map by then, so a failure here cannot be undone and is not one of the save.
    [[maybe_unused]] const bool flushed = syncFolder(folderOf(target));
    return RenameOutcome::done;
}

#endif  // _WIN32
