#ifdef _WIN32

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "app/storage/map_file_replace_win32.h"
#include "app/storage/state_folder.h"
#include "app/storage/win32_files.h"
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

HANDLE openTarget(const std::u16string& target) {
    return ::CreateFileW(wide(target), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool writeTarget(Handle& file, std::string_view bytes) {
    return truncateFile(file.get()) && writeAll(file.get(), bytes) && flushFile(file.get()) && file.close();
}

// Puts the backup's content back into the target, opened afresh when the failure closed it.
bool restore(const std::u16string& target, Handle& file, HANDLE backup) {
    if (!file.valid()) file.reset(openTarget(target));
    return file.valid() && truncateFile(file.get()) && copyContents(backup, file.get()) &&
           flushFile(file.get()) && file.close();
}
}  // namespace

bool rewriteInPlace(const std::u16string& target, std::string_view bytes, std::string& reason) {
    Handle file(openTarget(target));
    if (!file.valid()) {
        reason = errorText(::GetLastError());
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

    if (writeTarget(file, bytes)) {
        backup.close();
        ::DeleteFileW(wide(backupPath));
        return true;
    }
    reason = errorText(::GetLastError());
    if (restore(target, file, backup.get())) {
        backup.close();
        ::DeleteFileW(wide(backupPath));
    } else {
        reason += "; the old content is kept in " + unicode::toUtf8(backupPath);
    }
    return false;
}

#endif  // _WIN32
