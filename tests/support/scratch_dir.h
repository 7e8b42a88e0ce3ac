// A folder of its own for each test or run, and a file's bytes.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace mmtest {

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A new folder in the system's temporary one, named after the process and a counter; removed
// with everything in it at the end unless kept.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& prefix) {
        static std::atomic<int> serial{0};
        path_ = std::filesystem::temp_directory_path() /
                (prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!kept_) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Leaves the folder for a look after a failure.
    void keep() { kept_ = true; }

  private:
    std::filesystem::path path_;
    bool kept_ = false;
};

}  // namespace mmtest
