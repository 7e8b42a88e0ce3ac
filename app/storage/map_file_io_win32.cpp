#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "app/storage/map_file_format.h"
#include "app/storage/map_file_io.h"

namespace {
// The Windows API takes its UTF-16 names as wchar_t, which is 16 bits there.
const wchar_t* wide(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

// A path with a NUL in it would silently name a different (shorter) file.
bool usablePath(const std::u16string& path) {
    return !path.empty() && path.find(u'\0') == std::u16string::npos;
}

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool close() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) != 0;
    }

  private:
    HANDLE h_;
};

// An ordinary file on a disk: not a directory, a console, a pipe or another device.
bool isRegularFile(HANDLE h) {
    if (::GetFileType(h) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info;
    return ::GetFileInformationByHandle(h, &info) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::u16string temporaryNameBeside(const std::u16string& target) {
    static std::atomic<unsigned> counter{0};
    const std::size_t sep = target.find_last_of(u"\\/");
    std::u16string dir;
    if (sep != std::u16string::npos) {
        dir = target.substr(0, sep + 1);
    } else if (target.size() >= 2 && target[1] == u':') {
        dir = target.substr(0, 2);  // "C:name" lives in drive C's current directory
    }
    char name[64];
    std::snprintf(name, sizeof name, ".mindmap-%lu-%u-%llx.tmp",
                  static_cast<unsigned long>(::GetCurrentProcessId()), counter.fetch_add(1),
                  static_cast<unsigned long long>(::GetTickCount64()));
    for (const char* p = name; *p != '\0'; ++p) dir.push_back(static_cast<char16_t>(*p));
    return dir;
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
}  // namespace

bool readFileBytes(const std::u16string& path, std::string& bytes) {
    if (!usablePath(path)) return false;
    Handle file(::CreateFileW(wide(path), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !isRegularFile(file.get())) return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > kMaxMapFileBytes) {
        return false;
    }
    return readWholeFile(static_cast<std::uint64_t>(size.QuadPart), bytes,
                         [&](char* buffer, std::size_t count) {
                             const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
                             DWORD n = 0;
                             if (!::ReadFile(file.get(), buffer, want, &n, nullptr)) return -1LL;
                             return static_cast<long long>(n);
                         });
}

bool replaceFileContents(const std::u16string& path, std::string_view bytes) {
    if (!usablePath(path)) return false;
    std::u16string target = path;
    bool exists = false;
    {
        // Opening follows symbolic links; the final name is the file to replace, so a link
        // stays a link.
        Handle existing(::CreateFileW(wide(path), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (existing.valid()) {
            // Never replace a directory or a device, nor a file marked read-only.
            BY_HANDLE_FILE_INFORMATION info;
            if (!isRegularFile(existing.get()) || !::GetFileInformationByHandle(existing.get(), &info) ||
                (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
                return false;
            }
            const DWORD length =
                ::GetFinalPathNameByHandleW(existing.get(), nullptr, 0, FILE_NAME_NORMALIZED);
            if (length == 0) return false;
            std::u16string finalPath(length, u'\0');
            const DWORD written = ::GetFinalPathNameByHandleW(
                existing.get(), reinterpret_cast<wchar_t*>(finalPath.data()), length, FILE_NAME_NORMALIZED);
            if (written == 0 || written >= length) return false;
            finalPath.resize(written);
            target = finalPath;
            exists = true;
        } else if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
            return false;
        }
    }

    std::u16string temporary;
    Handle file(createTemporaryBeside(target, temporary));
    if (!file.valid()) return false;

    bool ok = true;
    while (ok && !bytes.empty()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD n = 0;
        ok = ::WriteFile(file.get(), bytes.data(), want, &n, nullptr) != 0 && n > 0;
        if (ok) bytes.remove_prefix(n);
    }
    ok = ok && ::FlushFileBuffers(file.get()) != 0;
    ok = file.close() && ok;
    if (ok) {
        // ReplaceFileW keeps the replaced file's attributes and access control list.
        ok = exists ? ::ReplaceFileW(wide(target), wide(temporary), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                     nullptr, nullptr) != 0
                    : ::MoveFileExW(wide(temporary), wide(target), MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ok) ::DeleteFileW(wide(temporary));
    return ok;
}

#endif  // _WIN32
