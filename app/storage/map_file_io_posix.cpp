#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "app/storage/map_file_format.h"
#include "app/storage/map_file_io.h"
#include "unicode/utf.h"

namespace {
// A path with a NUL in it would silently name a different (shorter) file, and one with an
// unpaired surrogate has no UTF-8 form: both are refused rather than opened under another name.
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

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the result: a failed close can mean lost data.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// Follows symbolic links to the file they finally name (which need not exist yet).
bool followLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string target(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return false;
        target.resize(static_cast<std::size_t>(n));
        if (target.front() == '/') {
            path = target;
        } else {
            const std::size_t slash = path.rfind('/');
            path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
        }
    }
    return false;  // a loop of links
}

std::string temporaryNameBeside(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    char name[64];
    std::snprintf(name, sizeof name, ".mindmap-%ld-%u-%llx.tmp", static_cast<long>(::getpid()),
                  counter.fetch_add(1), static_cast<unsigned long long>(now));
    return dir + name;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
}  // namespace

bool readFileBytes(const std::u16string& path, std::string& bytes) {
    std::string native;
    if (!nativePath(path, native)) return false;
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type test follows.
    FileDescriptor file(::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) return false;
    struct stat st;
    if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (static_cast<std::uint64_t>(st.st_size) > kMaxMapFileBytes) return false;

    return readWholeFile(static_cast<std::uint64_t>(st.st_size), bytes, [&](char* buffer, std::size_t count) {
        for (;;) {
            const ssize_t n = ::read(file.get(), buffer, count);
            if (n >= 0 || errno != EINTR) return static_cast<long long>(n);
        }
    });
}

bool replaceFileContents(const std::u16string& path, std::string_view bytes) {
    std::string target;
    if (!nativePath(path, target) || !followLinks(target)) return false;
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && !S_ISREG(st.st_mode)) return false;  // never replace a directory or a device
    // Renaming over a file needs no write permission on it: honour a read-only file.
    if (exists && ::access(target.c_str(), W_OK) != 0) return false;

    // Owner-only until the target's own mode is applied; a new file gets the usual mode.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryNameBeside(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    FileDescriptor file(fd);

    if (exists) {
        // Best effort: a file that cannot be given its owner or mode stays owner-only.
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
            [[maybe_unused]] const int ownerIgnored = ::fchown(fd, st.st_uid, st.st_gid);
        }
        [[maybe_unused]] const int modeIgnored = ::fchmod(fd, st.st_mode & 07777);
    }
    const bool written = writeAll(fd, bytes) && (::fsync(fd) == 0 || errno == EINVAL);
    const bool closed = file.close();
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

#endif  // _WIN32
