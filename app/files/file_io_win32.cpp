#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <utility>

#include "app/files/file_io.h"
#include "app/files/file_io_faults.h"
#include "app/files/safe_replace_win32.h"
#include "app/files/save_plan.h"
#include "app/files/win32_files.h"
#include "unicode/utf.h"

namespace {
// A path with a NUL in it would silently name a different (shorter) file.
bool usablePath(const std::u16string& path) {
    return !path.empty() && path.find(u'\0') == std::u16string::npos;
}

// ".mindmap-<pid>-<count>-<clock>.tmp": the process id lets a later save see that the one
// that made it is gone. The original a replacement parks beside the target ends in ".parked"
// instead, which the sweep of stale temporaries never takes: it may be the only copy left.
std::u16string temporaryNameBeside(const std::u16string& target, const char* suffix = ".tmp") {
    static std::atomic<unsigned> counter{0};
    char name[72];
    std::snprintf(name, sizeof name, ".mindmap-%lu-%u-%llx%s",
                  static_cast<unsigned long>(::GetCurrentProcessId()), counter.fetch_add(1),
                  static_cast<unsigned long long>(::GetTickCount64()), suffix);
    return folderPrefix(target) + unicode::fromUtf8(name);
}

HANDLE createTemporaryBeside(const std::u16string& target, std::u16string& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryNameBeside(target);
        const HANDLE h = ::CreateFileW(wide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool processIsGone(unsigned long pid) {
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return ::GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool gone = ::GetExitCodeProcess(process, &code) != 0 && code != STILL_ACTIVE;
    ::CloseHandle(process);
    return gone;
}

// Removes the temporary files that killed saves left beside the target: those whose process
// is gone or that are older than a minute.
void removeStaleTemporaries(const std::u16string& prefix) {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(wide(prefix + u".mindmap-*.tmp"), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        unsigned long pid = 0;
        if (std::swscanf(found.cFileName, L".mindmap-%lu-", &pid) != 1) continue;
        const bool old = ticks(now) > ticks(found.ftLastWriteTime) + 60ull * 10000000ull;
        if (old || processIsGone(pid)) {
            ::DeleteFileW(wide(prefix + reinterpret_cast<const char16_t*>(found.cFileName)));
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

bool moveFile(const std::u16string& from, const std::u16string& to, DWORD flags) {
    if (injectedFailure(FileStep::rename)) {
        ::SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return ::MoveFileExW(wide(from), wide(to), flags | MOVEFILE_WRITE_THROUGH) != 0;
}

// ReplaceFileW keeps the replaced file's attributes, access control list and streams. The
// old file goes to a second temporary name meanwhile, from which it can be put back.
bool replaceFile(const std::u16string& target, const std::u16string& replacement, DWORD& error,
                 std::u16string& strandedOriginal) {
    const std::u16string old = temporaryNameBeside(target, ".parked");
    if (injectedFailure(FileStep::rename)) {
        error = ERROR_WRITE_FAULT;
        return false;
    }
    if (::ReplaceFileW(wide(target), wide(replacement), wide(old), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                       nullptr)) {
        ::DeleteFileW(wide(old));
        return true;
    }
    error = ::GetLastError();
    // The old file was moved aside and the new one could not take its name: move it back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
        !::MoveFileExW(wide(old), wide(target), MOVEFILE_WRITE_THROUGH)) {
        strandedOriginal = old;
    }
    return false;
}

// Errors that say the folder, the file's rights or the file system do not let the file be
// replaced by another, while it may still be written.
bool replacingIsRefusedHere(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
        case ERROR_INVALID_PARAMETER:
            return true;
        default:
            return false;
    }
}

// The final name of the target with its links followed (the name itself when nothing exists
// there yet), or an empty name with a reason.
std::u16string finalName(const std::u16string& path, std::string& reason) {
    Handle existing(::CreateFileW(wide(path), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!existing.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return path;
        reason = errorText(error);
        return {};
    }
    const DWORD length = ::GetFinalPathNameByHandleW(existing.get(), nullptr, 0, FILE_NAME_NORMALIZED);
    std::u16string name(length, u'\0');
    const DWORD written =
        length == 0 ? 0
                    : ::GetFinalPathNameByHandleW(existing.get(), reinterpret_cast<wchar_t*>(name.data()),
                                                  length, FILE_NAME_NORMALIZED);
    if (written == 0 || written >= length) {
        reason = errorText(::GetLastError());
        return {};
    }
    name.resize(written);
    return name;
}

// What the plan needs to know, from the final name opened without following a link: a link
// put there since the name was resolved is not taken for the file.
bool gatherFacts(const std::u16string& target, SaveTargetFacts& facts, std::string& reason) {
    Handle held(openWithoutFollowing(target, FILE_READ_ATTRIBUTES));
    if (!held.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return true;
        reason = errorText(error);
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(held.get(), &info)) {
        reason = errorText(::GetLastError());
        return false;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        reason = kTargetChanged;
        return false;
    }
    facts.exists = true;
    facts.regular = isRegularFile(held.get());
    facts.writable = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    // ReplaceFileW keeps the owner and the access list; only a second name is lost to it.
    facts.links = info.nNumberOfLinks;
    facts.identity = identityOf(info);
    return true;
}
}  // namespace

FileResult readFileBytes(const std::u16string& path, std::string& bytes) {
    if (!usablePath(path)) return FileResult::failed("Invalid path");
    Handle file(::CreateFileW(wide(path), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        // A folder cannot be opened as a file at all; say what it is rather than "access denied".
        const DWORD attributes = ::GetFileAttributesW(wide(path));
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return FileResult::failed("Not a regular file");
        }
        return FileResult::failed(errorText(error));
    }
    if (!isRegularFile(file.get())) return FileResult::failed("Not a regular file");
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) return FileResult::failed(errorText(::GetLastError()));
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxFileBytes)
        return FileResult::failed("File too large");
    DWORD readError = 0;
    const bool read =
        readWholeFile(static_cast<std::uint64_t>(size.QuadPart), bytes, [&](char* buffer, std::size_t count) {
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
            DWORD n = 0;
            if (!::ReadFile(file.get(), buffer, want, &n, nullptr)) {
                readError = ::GetLastError();
                return -1LL;
            }
            return static_cast<long long>(n);
        });
    if (read) return FileResult::done();
    return FileResult::failed(readError != 0 ? errorText(readError) : std::string("File too large"));
}

FileResult replaceFileContents(const std::u16string& path, std::string_view bytes) {
    if (!usablePath(path)) return FileResult::failed("Invalid path");
    std::string why;
    const std::u16string target = finalName(path, why);
    if (target.empty()) return FileResult::failed(why);
    SaveTargetFacts facts;
    if (!gatherFacts(target, facts, why)) return FileResult::failed(why);

    const SaveWay way = planSave(facts);
    reachFileStep(FileStep::decided);
    switch (way) {
        case SaveWay::refuseNotRegular:
            return FileResult::failed("Not a regular file");
        case SaveWay::refuseReadOnly:
            return FileResult::failed(errorText(ERROR_ACCESS_DENIED));
        case SaveWay::rewriteInPlace:
            if (rewriteInPlace(target, facts.identity, bytes, why)) return FileResult::done();
            return FileResult::failed(why);
        case SaveWay::createNew:
        case SaveWay::replaceByRename:
            break;
    }
    removeStaleTemporaries(folderPrefix(target));

    std::u16string temporary;
    Handle file(createTemporaryBeside(target, temporary));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        // A folder we may not write: rewrite the file itself instead.
        if (facts.exists && error == ERROR_ACCESS_DENIED) {
            if (rewriteInPlace(target, facts.identity, bytes, why)) return FileResult::done();
            return FileResult::failed(why);
        }
        return FileResult::failed(errorText(error));
    }
    const bool written = writeAll(file.get(), bytes) && flushFile(file.get());
    DWORD error = ::GetLastError();
    if (!file.close() && written) error = ::GetLastError();
    if (!written) {
        ::DeleteFileW(wide(temporary));
        return FileResult::failed(errorText(error));
    }
    reachFileStep(FileStep::rename);
    if (!facts.exists) {
        // Without MOVEFILE_REPLACE_EXISTING: a file that appeared meanwhile keeps its name.
        if (moveFile(temporary, target, 0)) return FileResult::done();
        error = ::GetLastError();
        ::DeleteFileW(wide(temporary));
        return FileResult::failed(errorText(error));
    }
    if (!stillNames(target, facts.identity)) {
        ::DeleteFileW(wide(temporary));
        return FileResult::failed(kTargetChanged);
    }
    std::u16string stranded;
    if (replaceFile(target, temporary, error, stranded)) return FileResult::done();
    ::DeleteFileW(wide(temporary));
    if (!stranded.empty()) {
        return FileResult::failed(errorText(error) + "; the old content is kept in " +
                                  unicode::toUtf8(stranded));
    }
    if (!replacingIsRefusedHere(error)) return FileResult::failed(errorText(error));
    if (rewriteInPlace(target, facts.identity, bytes, why)) return FileResult::done();
    return FileResult::failed(why);
}

bool isSameFile(const std::u16string& a, const std::u16string& b) {
    if (!usablePath(a) || !usablePath(b)) return false;
    FileIdentity first, second;
    return identityOfPath(a, first) && identityOfPath(b, second) && first == second;
}

#endif  // _WIN32
