// The small Win32 file helpers the read, replace and in-place paths share. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/files/save_plan.h"

// Owns a file handle; closes it when it goes.
class Handle {
  public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle();
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    void reset(HANDLE h);
    // Closes now and reports the result.
    bool close();

  private:
    HANDLE h_;
};

// The Windows API takes its UTF-16 names as wchar_t, which is 16 bits there.
inline const wchar_t* wide(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

// The system's own text for an error code in UTF-8, without its closing full stop and line end.
std::string errorText(DWORD error);

// An ordinary file on a disk: not a directory, a console, a pipe or another device.
bool isRegularFile(HANDLE h);

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The volume serial number and file index: one file under any of its names.
FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& info);
// The identity of the file a path names, its links followed.
bool identityOfPath(const std::u16string& path, FileIdentity& identity);

// Opens the name itself, a link or junction included, never what it points to.
HANDLE openWithoutFollowing(const std::u16string& path, DWORD access, DWORD share = kShareAll);

// Whether the name, not followed, is still the regular file with this identity.
bool stillNames(const std::u16string& path, const FileIdentity& identity);

// The folder part of a path with its separator ("" for a bare name, "C:" for "C:name").
std::u16string folderPrefix(const std::u16string& path);

// Every byte written at the file's position; each step can be made to fail by the tests' seam.
bool writeAll(HANDLE file, std::string_view bytes);
bool flushFile(HANDLE file);
// Empties the file and puts its position at the start.
bool truncateFile(HANDLE file);
// Copies everything from the start of `from` onto `to` at its position.
bool copyContents(HANDLE from, HANDLE to);

// Opens (making it when missing) the file shared with nobody, which is how a lock is held here:
// every other open fails with a sharing violation until the handle closes, as it does when
// the process ends. INVALID_HANDLE_VALUE when it is taken or cannot be opened.
HANDLE holdLockFile(const std::u16string& path);

// Whether some process holds the file so; a missing file is not held.
bool lockFileHeld(const std::u16string& path);
