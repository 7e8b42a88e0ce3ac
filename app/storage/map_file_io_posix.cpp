#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "app/storage/map_file_format.h"
#include "app/storage/map_file_io.h"
#include "app/storage/map_file_replace_posix.h"
#include "app/storage/posix_files.h"

namespace {
bool fail(std::string* reason, std::string text) {
    if (reason != nullptr) *reason = std::move(text);
    return false;
}

// Follows symbolic links to the file they finally name (which need not exist yet).
bool followLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string target(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return false;
        if (n == 0 || static_cast<std::size_t>(n) >= target.size()) {
            errno = EINVAL;  // a link that changed while it was read
            return false;
        }
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : folderPrefix(path) + target;
    }
    errno = ELOOP;
    return false;
}

// Renaming keeps everything about the target only when the folder lets us make and rename
// files, the file is ours and no other name shares it.
bool renameKeepsEverything(const std::string& target, const struct stat& st) {
    return st.st_uid == ::geteuid() && st.st_nlink == 1 &&
           ::access(folderOf(target).c_str(), W_OK | X_OK) == 0;
}
}  // namespace

bool readFileBytes(const std::u16string& path, std::string& bytes, std::string* reason) {
    std::string native;
    if (!nativePath(path, native)) return fail(reason, "Invalid path");
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type test follows.
    FileDescriptor file(::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st;
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0) return fail(reason, errorText(errno));
    if (!S_ISREG(st.st_mode)) return fail(reason, "Not a regular file");
    if (static_cast<std::uint64_t>(st.st_size) > kMaxMapFileBytes) return fail(reason, "File too large");

    int readError = 0;
    const bool read =
        readWholeFile(static_cast<std::uint64_t>(st.st_size), bytes, [&](char* buffer, std::size_t count) {
            for (;;) {
                const ssize_t n = ::read(file.get(), buffer, count);
                if (n >= 0 || errno != EINTR) {
                    if (n < 0) readError = errno;
                    return static_cast<long long>(n);
                }
            }
        });
    if (read) return true;
    return fail(reason, readError != 0 ? errorText(readError) : std::string("File too large"));
}

bool replaceFileContents(const std::u16string& path, std::string_view bytes, std::string* reason) {
    std::string target;
    if (!nativePath(path, target)) return fail(reason, "Invalid path");
    if (!followLinks(target)) return fail(reason, errorText(errno));
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return fail(reason, errorText(errno));
    if (exists && !S_ISREG(st.st_mode)) return fail(reason, "Not a regular file");
    // Renaming over a file needs no write permission on it: honour a read-only file.
    if (exists && ::access(target.c_str(), W_OK) != 0) return fail(reason, errorText(errno));

    std::string why;
    if (!exists || renameKeepsEverything(target, st)) {
        switch (replaceByRename(target, exists ? &st : nullptr, bytes, why)) {
            case RenameOutcome::done:
                return true;
            case RenameOutcome::failed:
                return fail(reason, why);
            case RenameOutcome::notPossible:
                break;
        }
    }
    if (rewriteInPlace(target, bytes, why)) return true;
    return fail(reason, why);
}

#endif  // _WIN32
