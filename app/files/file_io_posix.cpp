#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

#include "app/files/file_io.h"
#include "app/files/file_io_faults.h"
#include "app/files/posix_files.h"
#include "app/files/safe_replace_posix.h"
#include "app/files/save_plan.h"

namespace {
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

// What the plan needs to know about the final name, from the file itself opened without
// following a link: a link put there since the links were followed is not taken for the file.
// The caller holds the file open until the save ends, so that its inode cannot be freed and
// given to another file that would then pass for it.
bool gatherFacts(const std::string& target, SaveTargetFacts& facts, struct stat& st, FileDescriptor& held,
                 std::string& reason) {
    held.reset(::open(target.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (held.get() < 0) {
        if (errno == ENOENT) return true;
        reason = errorText(errno);
        return false;
    }
    if (::fstat(held.get(), &st) != 0) {
        reason = errorText(errno);
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        reason = kTargetChanged;
        return false;
    }
    facts.exists = true;
    facts.regular = S_ISREG(st.st_mode);
    facts.writable = ::access(target.c_str(), W_OK) == 0;
    if (!facts.writable) reason = errorText(errno);
    facts.ownedByUser = st.st_uid == ::geteuid();
    facts.links = static_cast<std::uint64_t>(st.st_nlink);
    facts.folderWritable = ::access(folderOf(target).c_str(), W_OK | X_OK) == 0;
    facts.identity = identityOf(st);
    return true;
}
}  // namespace

FileResult readFileBytes(const std::u16string& path, std::string& bytes) {
    std::string native;
    if (!nativePath(path, native)) return FileResult::failed("Invalid path");
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type test follows.
    FileDescriptor file(::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st;
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0) return FileResult::failed(errorText(errno));
    if (!S_ISREG(st.st_mode)) return FileResult::failed("Not a regular file");
    if (static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes) return FileResult::failed("File too large");

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
    if (read) return FileResult::done();
    return FileResult::failed(readError != 0 ? errorText(readError) : std::string("File too large"));
}

FileResult replaceFileContents(const std::u16string& path, std::string_view bytes) {
    std::string target;
    if (!nativePath(path, target)) return FileResult::failed("Invalid path");
    if (!followLinks(target)) return FileResult::failed(errorText(errno));
    SaveTargetFacts facts;
    struct stat st {};
    FileDescriptor held;
    std::string why;
    if (!gatherFacts(target, facts, st, held, why)) return FileResult::failed(why);

    const SaveWay way = planSave(facts);
    reachFileStep(FileStep::decided);
    switch (way) {
        case SaveWay::refuseNotRegular:
            return FileResult::failed("Not a regular file");
        case SaveWay::refuseReadOnly:
            return FileResult::failed(why);
        case SaveWay::createNew:
        case SaveWay::replaceByRename:
            switch (replaceByRename(target, facts.exists ? &st : nullptr, bytes, why)) {
                case RenameOutcome::done:
                    return FileResult::done();
                case RenameOutcome::failed:
                    return FileResult::failed(why);
                case RenameOutcome::notPossible:
                    break;
            }
            break;
        case SaveWay::rewriteInPlace:
            break;
    }
    if (rewriteInPlace(target, facts.identity, bytes, why)) return FileResult::done();
    return FileResult::failed(why);
}

bool isSameFile(const std::u16string& a, const std::u16string& b) {
    std::string first, second;
    struct stat sa, sb;
    return nativePath(a, first) && nativePath(b, second) && ::stat(first.c_str(), &sa) == 0 &&
           ::stat(second.c_str(), &sb) == 0 && identityOf(sa) == identityOf(sb);
}

#endif  // _WIN32
