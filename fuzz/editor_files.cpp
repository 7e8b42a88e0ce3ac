#include "fuzz/editor_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace editor_fuzz {

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        std::fprintf(stderr, "editor fuzzer: cannot write %s\n", path.c_str());
        std::abort();
    }
}

// A chain of nested nodes, as deep as the text says.
std::string deepMap(int levels) {
    std::string bytes = kBom;
    for (int depth = 0; depth < levels; ++depth) {
        bytes.append(2 * static_cast<std::size_t>(depth), ' ');
        bytes += "node: " + std::to_string(300 + depth * 7) + " " + std::to_string(100 + depth * 5) +
                 " 140 45 220 220 220 0 0 0 0 \"第" + std::to_string(depth) + "层\"\n";
    }
    return bytes;
}

}  // namespace

FilePool::FilePool() {
    char pattern[] = "/tmp/mm-editor-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("editor fuzzer: mkdtemp");
        std::abort();
    }
    folder = pattern;
    const std::string base = folder + "/";

    writeFile(base + "small.mind",
              std::string(kBom) +
                  "node: 800 375 140 45 220 220 220 0 0 0 0 \"中心主题\"\n"
                  "  node: 800 475 140 45 180 220 180 0 0 0 0 \"新节点\"\n"
                  "    node: 880 575 160 45 180 180 220 255 255 255 1 \"a\\\"b\\\\c\\nd\"\n"
                  "      node: 900 675 140 45 220 220 220 0 0 0 0 \"hidden 😀\"\n"
                  "  node: 2000000000 -2000000000 140 45 0 0 0 255 255 255 0 \"far\"\n");
    writeFile(base + "deep.mind", deepMap(300));
    writeFile(base + "malformed.mind", std::string(kBom) +
                                           "node: 1 2 3 4 300 -1 256 0 0 0 5 \"r\"\n"
                                           " node:+7-2 0 0 0 0 0 0 0 0 0\"a\xC3\"\n"
                                           "   node: 0 0 0 0 0 0 0 0 0 0 0 \"unterminated\\\n"
                                           "  garbage\n"
                                           "    node: 0 0 0 0 0 0 0 0 0 0 0 \"x\"\n");
    writeFile(base + "garbage.mind", std::string("\x00\xFF\xFE not a map \n\n", 17));
    writeFile(base + "empty.mind", "");
    std::filesystem::create_directory(base + "folder.mind");

    opens = {base + "small.mind",   base + "deep.mind",   base + "malformed.mind",
             base + "garbage.mind", base + "empty.mind",  base + "folder.mind",
             base + "missing.mind", base + "saved0.mind", base + "saved1.mind"};
    saves = {base + "saved0.mind", base + "saved1.mind"};
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        made.push_back(entry.path().string());
}

FilePool::~FilePool() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void FilePool::clearSaves() const {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        if (std::find(made.begin(), made.end(), entry.path().string()) == made.end())
            std::filesystem::remove_all(entry.path(), ignored);
    }
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace editor_fuzz
