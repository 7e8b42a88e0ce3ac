// A private temporary directory for tests that save and open real files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include "app/files/file_result.h"
#include "app/model/mind_map.h"

namespace fs = std::filesystem;

// Whether a file call succeeded, its reason kept for the checks that follow.
inline bool kept(FileResult result, std::string& reason) {
    reason = std::move(result.reason);
    return result.ok;
}

class MapFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        dir =
            fs::temp_directory_path() / ("mindmap-io-" + std::to_string(random()) + std::to_string(random()));
        ASSERT_TRUE(fs::create_directory(dir));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }
    std::u16string path(const std::u16string& name) const { return (dir / fs::path(name)).u16string(); }
    static std::string contents(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void write(const fs::path& p, const std::string& bytes) {
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
    // Children under the root with long captions, so the file is several kilobytes.
    static void growMap(MindMap& map, int nodes) {
        for (int i = 0; i < nodes; ++i) {
            map.selectedNode = map.root;
            map.addChildNode();
            map.selectedNode->text = u"a longer caption to make the file bigger";
        }
    }

    fs::path dir;
};
