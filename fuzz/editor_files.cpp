#include "fuzz/editor_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

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

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
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
    // Captions far longer than typing makes: thousands of characters without a break, and
    // ampersands and control characters (as the file escapes them and raw).
    writeFile(
        base + "long.mind",
        std::string(kBom) + "node: 800 375 140 45 220 220 220 0 0 0 0 \"" + repeated("长", 3000) +
            "\"\n  node: 1000 475 300 45 180 220 180 0 0 0 0 \"" + std::string(6000, 'W') +
            "\"\n  node: -50 700 140 45 180 180 220 255 255 255 0 \"&&amp;&#10;<&>\\n\t\x01\x07\x1b\x7f" +
            repeated("&\\n", 500) + "\"\n");
    writeFile(base + "garbage.mind", std::string("\x00\xFF\xFE not a map \n\n", 17));
    writeFile(base + "empty.mind", "");
    std::filesystem::create_directory(base + "folder.mind");

    opens = {base + "small.mind",  base + "deep.mind",   base + "malformed.mind", base + "garbage.mind",
             base + "empty.mind",  base + "folder.mind", base + "missing.mind",   base + "saved0.mind",
             base + "saved1.mind", base + "long.mind"};
    saves = {base + "saved0.mind", base + "saved1.mind"};
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        Made file{entry.path().string(), {}};
        readWholeFile(file.path, file.bytes);
        made.push_back(std::move(file));
    }
}

FilePool::~FilePool() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

bool FilePool::isPoolPath(const std::string& path) const {
    return std::find(opens.begin(), opens.end(), path) != opens.end() ||
           std::find(saves.begin(), saves.end(), path) != saves.end();
}

void FilePool::clearSaves() const {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        const std::string path = entry.path().string();
        if (std::find_if(made.begin(), made.end(), [&](const Made& m) { return m.path == path; }) ==
            made.end())
            std::filesystem::remove_all(entry.path(), ignored);
    }
    std::string bytes;
    for (const Made& file : made) {
        if (!std::filesystem::is_directory(file.path, ignored) &&
            (!readWholeFile(file.path, bytes) || bytes != file.bytes))
            writeFile(file.path, file.bytes);
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
