#include "app/recovery/recovery_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <system_error>

#include "app/files/file_io.h"
#include "app/files/state_folder.h"
#include "unicode/utf.h"

#ifdef _WIN32
#include "app/files/win32_files.h"
#else
#include <unistd.h>

#include "app/files/posix_files.h"
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kCopyPrefix = u"recovery";
constexpr std::u16string_view kCopyExtension = u".mind";
constexpr std::u16string_view kLockExtension = u".lock";
constexpr std::u16string_view kBackupExtension = u".backup";
constexpr char16_t kDiscardedFolder[] = u"discarded";

std::uint64_t processId() {
#ifdef _WIN32
    return ::GetCurrentProcessId();
#else
    return static_cast<std::uint64_t>(::getpid());
#endif
}

std::int64_t secondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The seconds at this process's start, the same for its whole run.
const std::u16string& startStamp() {
    static const std::u16string stamp = unicode::fromUtf8(std::to_string(secondsNow()));
    return stamp;
}

// recovery-<start>-<pid>: unique to this process for its whole run.
const std::u16string& ownStem() {
    static const std::u16string stem =
        u"recovery-" + startStamp() + u"-" + unicode::fromUtf8(std::to_string(processId()));
    return stem;
}

bool endsWith(std::u16string_view text, std::u16string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool isCopyName(std::u16string_view name) {
    return name.substr(0, kCopyPrefix.size()) == kCopyPrefix && endsWith(name, kCopyExtension);
}

bool isBackupName(std::u16string_view name) {
    return endsWith(name, kBackupExtension);
}

// The editor's process id in recovery-<start>-<pid>.lock, or in <name>.<pid>-<n>.backup.
std::u16string lockOwner(std::u16string_view name) {
    name.remove_suffix(kLockExtension.size());
    const std::size_t dash = name.rfind(u'-');
    return dash == std::u16string_view::npos ? std::u16string() : std::u16string(name.substr(dash + 1));
}

std::u16string backupOwner(std::u16string_view name) {
    name.remove_suffix(kBackupExtension.size());
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return {};
    name.remove_prefix(dot + 1);
    return std::u16string(name.substr(0, name.find(u'-')));
}

bool lockHeld(const std::u16string& lockPath) {
#ifdef _WIN32
    return lockFileHeld(lockPath);
#else
    std::string native;
    return nativePath(lockPath, native) && lockFileHeld(native);
#endif
}

std::int64_t modifiedSeconds(const fs::path& path) {
    std::error_code error;
    const auto time = fs::last_write_time(path, error);
    if (error) return 0;
    const auto system = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

}  // namespace

std::u16string recoveryCopyPath() {
    return userStateFile(ownStem() + std::u16string(kCopyExtension));
}

std::u16string freshRecoveryCopyPath() {
    static std::atomic<unsigned> taken{0};
    std::u16string path;
    for (int tries = 0; tries < 1000; ++tries) {
        // The process id stays last, where the lock's and the backups' owner is read.
        const std::u16string name =
            u"recovery-" + startStamp() + u"." + unicode::fromUtf8(std::to_string(++taken)) + u"-" +
            unicode::fromUtf8(std::to_string(processId())) + std::u16string(kCopyExtension);
        path = userStateFile(name);
        std::error_code error;
        if (path.empty() || !fs::exists(fs::path(path), error)) break;
    }
    return path;
}

std::u16string recoveryLockPath(const std::u16string& copyPath) {
    std::u16string lock = copyPath;
    if (endsWith(lock, kCopyExtension)) lock.resize(lock.size() - kCopyExtension.size());
    return lock + std::u16string(kLockExtension);
}

bool isRecoveryCopyPath(const std::u16string& path) {
    if (path.empty()) return false;
    const std::u16string folder = userStateFolder();
    if (folder.empty()) return false;
    const fs::path file(path);
    const std::u16string name = file.filename().u16string();
    if (!isCopyName(name) && !isBackupName(name)) return false;
    std::error_code error;
    fs::path parent = file.parent_path();
    if (parent.empty()) parent = fs::current_path(error);
    const fs::path state(folder);
    if (fs::equivalent(parent, state, error)) return true;
    return fs::equivalent(parent, state / kDiscardedFolder, error);
}

std::unique_ptr<RecoveryLock> RecoveryLock::take(const std::u16string& lockPath) {
#ifdef _WIN32
    const HANDLE handle = holdLockFile(lockPath);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<RecoveryLock>(new RecoveryLock(lockPath, reinterpret_cast<std::intptr_t>(handle)));
#else
    std::string native;
    if (!nativePath(lockPath, native)) return nullptr;
    const int fd = holdLockFile(native);
    if (fd < 0) return nullptr;
    return std::unique_ptr<RecoveryLock>(new RecoveryLock(lockPath, fd));
#endif
}

RecoveryLock::~RecoveryLock() {
    std::error_code ignored;
#ifdef _WIN32
    // Nobody may delete a file held unshared, this process neither: closed first.
    ::CloseHandle(reinterpret_cast<HANDLE>(handle));
    fs::remove(fs::path(file), ignored);
#else
    // The file goes while it is still held, so nobody takes it over in between.
    fs::remove(fs::path(file), ignored);
    FileDescriptor closing(static_cast<int>(handle));
#endif
}

std::vector<LeftRecoveryFile> leftRecoveryFiles() {
    std::vector<LeftRecoveryFile> left;
    const std::u16string folder = userStateFolder();
    if (folder.empty()) return left;
    std::error_code error;
    std::vector<fs::path> copies;
    std::vector<fs::path> backups;
    std::set<std::u16string> livePids;
    for (fs::directory_iterator it(fs::path(folder), error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const std::u16string name = it->path().filename().u16string();
        if (isCopyName(name)) {
            copies.push_back(it->path());
        } else if (isBackupName(name)) {
            backups.push_back(it->path());
        } else if (name.substr(0, kCopyPrefix.size()) == kCopyPrefix && endsWith(name, kLockExtension) &&
                   lockHeld(it->path().u16string())) {
            livePids.insert(lockOwner(name));
        }
    }
    const auto add = [&left](const fs::path& path, LeftRecoveryFile::Kind kind) {
        LeftRecoveryFile file;
        file.path = path.u16string();
        file.kind = kind;
        file.modified = modifiedSeconds(path);
        std::string bytes;
        if (readFileBytes(file.path, bytes)) file.nodes = countNodeLines(bytes);
        left.push_back(std::move(file));
    };
    for (const fs::path& copy : copies) {
        if (!lockHeld(recoveryLockPath(copy.u16string()))) add(copy, LeftRecoveryFile::Kind::copy);
    }
    for (const fs::path& backup : backups) {
        if (livePids.count(backupOwner(backup.filename().u16string())) == 0)
            add(backup, LeftRecoveryFile::Kind::backup);
    }
    std::stable_sort(left.begin(), left.end(), [](const LeftRecoveryFile& a, const LeftRecoveryFile& b) {
        return a.modified > b.modified;
    });
    return left;
}

bool adoptRecoveryFile(const std::u16string& left, const std::u16string& ownCopy) {
    std::error_code error;
    fs::rename(fs::path(left), fs::path(ownCopy), error);
    if (error) return false;
    if (isCopyName(fs::path(left).filename().u16string())) {
        // Only a free lock is removed: one held means its editor took the name back meanwhile.
        const std::u16string lock = recoveryLockPath(left);
        if (!lockHeld(lock)) fs::remove(fs::path(lock), error);
    }
    return true;
}

bool discardRecoveryFile(const std::u16string& path) {
    const std::u16string folder = userStateFolder();
    if (folder.empty()) return false;
    std::error_code error;
    const fs::path from(path);
    const fs::path discarded = fs::path(folder) / kDiscardedFolder;
    fs::create_directories(discarded, error);
    const fs::path to = discarded / from.filename();
    fs::rename(from, to, error);
    if (error) return false;
    // Its age in discarded/ counts from now.
    fs::last_write_time(to, fs::file_time_type::clock::now(), error);
    if (isCopyName(from.filename().u16string())) {
        const std::u16string lock = recoveryLockPath(path);
        if (!lockHeld(lock)) fs::remove(fs::path(lock), error);
    }
    return true;
}

void sweepDiscardedRecoveryFiles() {
    const std::u16string folder = userStateFolder();
    if (folder.empty()) return;
    const std::int64_t oldest = secondsNow() - std::int64_t{kDiscardedDays} * 24 * 60 * 60;
    std::error_code error;
    std::vector<fs::path> expired;
    for (fs::directory_iterator it(fs::path(folder) / kDiscardedFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && modifiedSeconds(it->path()) < oldest) expired.push_back(it->path());
    }
    for (const fs::path& path : expired) fs::remove(path, error);
}

std::size_t countNodeLines(std::string_view bytes) {
    std::size_t count = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (start == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        const std::size_t text = line.find_first_not_of(' ');
        if (text != std::string_view::npos && line.substr(text, 5) == "node:") ++count;
        start = end + 1;
    }
    return count;
}
