#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "app/files/file_io_faults.h"
#include "app/files/posix_files.h"
#include "app/files/rewrite_window.h"
#include "app/files/safe_replace_posix.h"
#include "app/files/state_folder.h"
#include "unicode/utf.h"

namespace {
// "<name>.<pid>-<count>.backup" in the state folder: the target's own name tells a user who
// finds a kept backup what it belongs to.
int createBackup(const std::string& target, std::string& backup) {
    static std::atomic<unsigned> counter{0};
    const std::u16string folder = userStateFolder();
    if (folder.empty()) {
        errno = ENOENT;
        return -1;
    }
    std::string base = target.substr(target.rfind('/') + 1);
    if (base.size() > 100) base.resize(100);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".%ld-%u.backup", static_cast<long>(::getpid()),
                      counter.fetch_add(1));
        backup = unicode::toUtf8(folder) + "/" + base + suffix;
        const int fd = ::open(backup.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeTarget(int file, std::string_view bytes) {
    if (!truncateFile(file)) return false;
    reachFileStep(FileStep::rewriting);
    return writeAll(file, bytes) && syncFile(file);
}

// Puts the backup's content back through the handle the rewrite used: the name may meanwhile
// name another file.
bool restore(int file, int backup) {
    return truncateFile(file) && copyContents(backup, file) && syncFile(file);
}

// Removes the backup by its name only while the name is still the backup.
void removeBackup(const std::string& path, int backup) {
    struct stat named, held;
    if (::lstat(path.c_str(), &named) == 0 && ::fstat(backup, &held) == 0 &&
        identityOf(named) == identityOf(held)) {
        ::unlink(path.c_str());
    }
}
}  // namespace

bool rewriteInPlace(const std::string& target, const FileIdentity& expected, std::string_view bytes,
                    std::string& reason) {
    // Non-blocking, so that a FIFO put in the file's place does not wait for a reader; not
    // through a link put in its place either.
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
    struct stat st;
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0) {
        reason = errno == ELOOP ? std::string(kTargetChanged) : errorText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = "Not a regular file";
        return false;
    }
    if (identityOf(st) != expected) {
        reason = kTargetChanged;
        return false;
    }

    std::string backupPath;
    FileDescriptor backup(createBackup(target, backupPath));
    if (backup.get() < 0) {
        reason = "No backup possible: " + errorText(errno);
        return false;
    }
    if (!copyContents(file.get(), backup.get()) || !syncFile(backup.get())) {
        reason = "No backup possible: " + errorText(errno);
        removeBackup(backupPath, backup.get());
        return false;
    }

    RewriteWindow window;
    if (writeTarget(file.get(), bytes)) {
        // Flushed: the content is on the disk whatever closing says.
        file.close();
        removeBackup(backupPath, backup.get());
        return true;
    }
    reason = errorText(errno);
    if (restore(file.get(), backup.get())) {
        removeBackup(backupPath, backup.get());
    } else {
        reason += "; the old content is kept in " + backupPath;
    }
    return false;
}

#endif  // _WIN32
