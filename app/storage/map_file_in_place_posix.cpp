#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "app/storage/map_file_replace_posix.h"
#include "app/storage/posix_files.h"
#include "app/storage/state_folder.h"
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

bool writeTarget(FileDescriptor& file, std::string_view bytes) {
    return truncateFile(file.get()) && writeAll(file.get(), bytes) && syncFile(file.get()) && file.close();
}

// Puts the backup's content back into the target, opened afresh when the failure closed it.
bool restore(const std::string& target, FileDescriptor& file, int backup) {
    if (file.get() < 0) file.reset(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    return file.get() >= 0 && truncateFile(file.get()) && copyContents(backup, file.get()) &&
           syncFile(file.get()) && file.close();
}
}  // namespace

bool rewriteInPlace(const std::string& target, std::string_view bytes, std::string& reason) {
    // Non-blocking, so that a FIFO put in the file's place does not wait for a reader.
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st;
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0) {
        reason = errorText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = "Not a regular file";
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
        ::unlink(backupPath.c_str());
        return false;
    }

    if (writeTarget(file, bytes)) {
        ::unlink(backupPath.c_str());
        return true;
    }
    reason = errorText(errno);
    if (restore(target, file, backup.get())) {
        ::unlink(backupPath.c_str());
    } else {
        reason += "; the old content is kept in " + backupPath;
    }
    return false;
}

#endif  // _WIN32
