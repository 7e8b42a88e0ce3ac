#ifdef _WIN32

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "app/files/file_io_faults.h"
#include "app/files/rewrite_window.h"
#include "app/files/safe_replace_win32.h"
#include "app/files/state_folder.h"
#include "app/files/win32_files.h"
#include "unicode/utf.h"

namespace {
// "<name>.<pid>-<count>.backup" in the state folder: the target's own name tells a user who
// finds a kept backup what it belongs to.
HANDLE createBackup(const std::u16string& target, std::u16string& backup) {
    static std::atomic<unsigned> counter{0};
    const std::u16string folder = userStateFolder();
    if (folder.empty()) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string base = target.substr(folderPrefix(target).size());
    if (base.size() > 100) base.resize(100);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".%lu-%u.backup",
                      static_cast<unsigned long>(::GetCurrentProcessId()), counter.fetch_add(1));
        backup = folder + u"\\" + base + unicode::fromUtf8(suffix);
        const HANDLE h = ::CreateFileW(wide(backup), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeTarget(HANDLE file, std::string_view bytes) {
    if (!truncateFile(file)) return false;
    reachFileStep(FileStep::rewriting);
    return writeAll(file, bytes) && flushFile(file);
}

// Puts the backup's content back through the handle the rewrite used: the name may meanwhile
// name another file.
bool restore(HANDLE file, HANDLE backup) {
    return truncateFile(file) && copyContents(backup, file) && flushFile(file);
}
}  // namespace

bool rewriteInPlace(const std::u16string& target, const FileIdentity& expected, std::string_view bytes,
                    std::string& reason) {
    Handle file(openWithoutFollowing(target, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ));
    if (!file.valid()) {
        reason = errorText(::GetLastError());
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        reason = errorText(::GetLastError());
        return false;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || identityOf(info) != expected) {
        reason = kTargetChanged;
        return false;
    }
    if (!isRegularFile(file.get())) {
        reason = "Not a regular file";
        return false;
    }

    std::u16string backupPath;
    Handle backup(createBackup(target, backupPath));
    if (!backup.valid() || !copyContents(file.get(), backup.get()) || !flushFile(backup.get())) {
        reason = "No backup possible: " + errorText(::GetLastError());
        if (backup.valid()) {
            backup.close();
            ::DeleteFileW(wide(backupPath));
        }
        return false;
    }

    RewriteWindow window;
    if (writeTarget(file.get(), bytes)) {
        // Flushed: the content is on the disk whatever closing says.
        file.close();
        backup.close();
        ::DeleteFileW(wide(backupPath));
        return true;
    }
    reason = errorText(::GetLastError());
    if (restore(file.get(), backup.get())) {
        backup.close();
        ::DeleteFileW(wide(backupPath));
    } else {
        reason += "; the old content is kept in " + unicode::toUtf8(backupPath);
    }
    return false;
}

#endif  // _WIN32
