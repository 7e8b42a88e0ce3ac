// The small POSIX file helpers the read, replace and in-place paths share. Linux only.
#pragma once

#include <string>
#include <string_view>

// Owns a file descriptor; closes it when it goes.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd);
    // Gives the descriptor up without closing it.
    int release();
    // Closes now and reports the result: a failed close can mean lost data.
    bool close();

  private:
    int fd_;
};

// The UTF-8 name of a path the user typed; false when it has none (empty, a NUL inside, an
// unpaired surrogate), so that no other file is opened under a shortened or altered name.
bool nativePath(const std::u16string& path, std::string& native);

// The system's own text for an error number ("Permission denied").
std::string errorText(int error);

// The folder part of a path with its slash ("" for a bare name), and the folder itself ("."
// for a bare name).
std::string folderPrefix(const std::string& path);
std::string folderOf(const std::string& path);

// Every byte written at the file's position, or false with errno set. Retries interrupted and
// short writes.
bool writeAll(int fd, std::string_view bytes);

// fsync; a file system that cannot flush (EINVAL) counts as flushed.
bool syncFile(int fd);

// Gives the file `from` the name `to` only while no file has that name (EEXIST otherwise),
// also where the file system refuses renameat2's flags.
bool renameNoReplace(const std::string& from, const std::string& to);

// Flushes a folder so that a name just made or renamed in it survives a power cut.
bool syncFolder(const std::string& folder);

// Empties the file and puts its position at the start.
bool truncateFile(int fd);

// Copies everything from the start of `from` onto `to` at its position, streaming.
bool copyContents(int from, int to);

// Opens (making it when missing) and locks the file for this process alone (flock, so another
// open of it, in this process too, finds it taken); the descriptor, or -1 when it is taken or
// cannot be opened. The lock goes with the descriptor, and with the process.
int holdLockFile(const std::string& path);

// Whether some open of the file holds its lock now; a missing file is not held.
bool lockFileHeld(const std::string& path);
