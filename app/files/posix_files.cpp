#ifndef _WIN32

#include "app/files/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <vector>

#include "app/files/file_io_faults.h"
#include "unicode/utf.h"

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

void FileDescriptor::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

int FileDescriptor::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool FileDescriptor::close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

bool nativePath(const std::u16string& path, std::string& native) {
    if (path.empty() || path.find(u'\0') != std::u16string::npos) return false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 &&
            path[i + 1] <= 0xDFFF) {
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            return false;
        }
    }
    native = unicode::toUtf8(path);
    return true;
}

std::string errorText(int error) {
    // The generic category is strerror's text, taken in a thread-safe way.
    return std::generic_category().message(error);
}

std::string folderPrefix(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        if (injectedFailure(FileStep::write)) {
            errno = EIO;
            return false;
        }
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool syncFile(int fd) {
    if (injectedFailure(FileStep::sync)) {
        errno = EIO;
        return false;
    }
    return ::fsync(fd) == 0 || errno == EINVAL;
}

bool renameNoReplace(const std::string& from, const std::string& to) {
    if (injectedFailure(FileStep::rename)) {
        errno = EIO;
        return false;
    }
    const bool flagsRefused = injectedFailure(FileStep::renameFlags);
    if (!flagsRefused && ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (!flagsRefused && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    // A hard link fails on a taken name just as surely; the temporary name then goes.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK) return false;
    // A file system with neither (FAT): the name is tested right before the rename.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool syncFolder(const std::string& folder) {
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder we may write but not read cannot be opened to flush it: nothing more to do.
    if (dir.get() < 0) return errno == EACCES;
    return ::fsync(dir.get()) == 0 || errno == EINVAL;
}

bool truncateFile(int fd) {
    if (injectedFailure(FileStep::truncate)) {
        errno = EIO;
        return false;
    }
    return ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0;
}

bool copyContents(int from, int to) {
    std::vector<char> buffer(1 << 20);
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(from, buffer.data(), buffer.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!writeAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(n)))) return false;
        offset += n;
    }
}

int holdLockFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return -1;
    const int held = fd.get();
    fd.release();
    return held;
}

bool lockFileHeld(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    // Shared is enough to test: any exclusive holder refuses it.
    return ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

#endif  // _WIN32
