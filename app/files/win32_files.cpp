#ifdef _WIN32

#include "app/files/win32_files.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/files/file_io_faults.h"
#include "unicode/utf.h"

Handle::~Handle() {
    if (valid()) ::CloseHandle(h_);
}

void Handle::reset(HANDLE h) {
    if (valid()) ::CloseHandle(h_);
    h_ = h;
}

bool Handle::close() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(h) != 0;
}

std::string errorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message;
    if (length > 0 && text != nullptr) message.assign(reinterpret_cast<const char16_t*>(text), length);
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() &&
           (message.back() == u'\r' || message.back() == u'\n' || message.back() == u' ' ||
            message.back() == u'.' || message.back() == u'\u3002')) {
        message.pop_back();
    }
    if (message.empty()) return "Error " + std::to_string(error);
    return unicode::toUtf8(message);
}

bool isRegularFile(HANDLE h) {
    if (::GetFileType(h) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info;
    return ::GetFileInformationByHandle(h, &info) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                                           static_cast<std::uint64_t>(info.nFileIndexLow)};
}

bool identityOfPath(const std::u16string& path, FileIdentity& identity) {
    Handle file(::CreateFileW(wide(path), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info)) return false;
    identity = identityOf(info);
    return true;
}

HANDLE openWithoutFollowing(const std::u16string& path, DWORD access, DWORD share) {
    return ::CreateFileW(wide(path), access, share, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool stillNames(const std::u16string& path, const FileIdentity& identity) {
    Handle file(openWithoutFollowing(path, FILE_READ_ATTRIBUTES));
    BY_HANDLE_FILE_INFORMATION info;
    return file.valid() && ::GetFileInformationByHandle(file.get(), &info) &&
           (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
           identityOf(info) == identity;
}

std::u16string folderPrefix(const std::u16string& path) {
    const std::size_t sep = path.find_last_of(u"\\/");
    if (sep != std::u16string::npos) return path.substr(0, sep + 1);
    if (path.size() >= 2 && path[1] == u':') return path.substr(0, 2);  // "C:name": drive C's current folder
    return {};
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        if (injectedFailure(FileStep::write)) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD n = 0;
        if (!::WriteFile(file, bytes.data(), want, &n, nullptr)) return false;
        if (n == 0) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes.remove_prefix(n);
    }
    return true;
}

bool flushFile(HANDLE file) {
    if (injectedFailure(FileStep::sync)) {
        ::SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return ::FlushFileBuffers(file) != 0;
}

bool truncateFile(HANDLE file) {
    if (injectedFailure(FileStep::truncate)) {
        ::SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    LARGE_INTEGER start{};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != 0 && ::SetEndOfFile(file) != 0;
}

bool copyContents(HANDLE from, HANDLE to) {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(from, start, nullptr, FILE_BEGIN)) return false;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) return false;
        if (n == 0) return true;
        if (!writeAll(to, std::string_view(buffer.data(), n))) return false;
    }
}

HANDLE holdLockFile(const std::u16string& path) {
    return ::CreateFileW(wide(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool lockFileHeld(const std::u16string& path) {
    Handle file(
        ::CreateFileW(wide(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file.valid() && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

#endif  // _WIN32
