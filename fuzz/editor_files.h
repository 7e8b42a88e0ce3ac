// The files the editor fuzzer opens and saves: a private folder made once per run with sound
// maps, malformed ones, a folder and a missing name to open, and slots to save into (which can
// be opened again once saved). Every path is printable ASCII, so it can be typed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace editor_fuzz {

class FilePool {
  public:
    FilePool();   // makes the folder and its files; stops the run when it cannot
    ~FilePool();  // removes them
    FilePool(const FilePool&) = delete;
    FilePool& operator=(const FilePool&) = delete;

    const std::string& openPath(std::size_t k) const { return opens[k % opens.size()]; }
    const std::string& savePath(std::size_t k) const { return saves[k % saves.size()]; }
    const std::string& folderPath() const { return folder; }
    bool isPoolPath(const std::string& path) const;  // one that openPath or savePath gives
    // Removes what earlier inputs saved (in the slots or under names they typed) and puts back
    // the pool's files they saved over, so that every input starts from the same files.
    void clearSaves() const;

  private:
    std::string folder;
    std::vector<std::string> opens;
    std::vector<std::string> saves;
    struct Made {
        std::string path;
        std::string bytes;  // empty for the folder
    };
    std::vector<Made> made;  // what the folder holds before any input
};

// The file's bytes, or nothing when it cannot be read as a regular file.
bool readWholeFile(const std::string& path, std::string& bytes);

}  // namespace editor_fuzz
