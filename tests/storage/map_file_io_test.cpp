// Saving and opening real files: safe replacement, links, permissions, refused paths.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/model/mind_map.h"
#include "app/storage/map_file_format.h"
#include "app/storage/map_file_utf8.h"
#include "tests/model/tree_check.h"

namespace fs = std::filesystem;

namespace {
class MapFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "mindmap-io-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }
    std::u16string path(const std::string& name) const { return fromUtf8((dir / name).string()); }
    static std::string contents(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void write(const fs::path& p, const std::string& bytes) {
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
    }

    fs::path dir;
};

// A map whose file is larger than a few kilobytes.
void growMap(MindMap& map, int nodes) {
    for (int i = 0; i < nodes; ++i) {
        map.selectedNode = map.root;
        map.addChildNode();
        map.selectedNode->text = u"a longer caption to make the file bigger";
    }
}
}  // namespace

TEST_F(MapFiles, SaveThenOpenRestoresTheMapAndSelectsTheRoot) {
    MindMap map;
    growMap(map, 5);
    map.root->children[2]->collapsed = true;
    ASSERT_TRUE(map.saveToFile(path("map.mind")));
    EXPECT_EQ(contents(dir / "map.mind"), map.saveToBytes());
    MindMap other;
    ASSERT_TRUE(other.loadFromFile(path("map.mind")));
    EXPECT_EQ(dumpTree(other.root), dumpTree(map.root));
    EXPECT_EQ(other.selectedNode, other.root);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(MapFiles, NamesAreUsedAsTypedIncludingChineseAndNoExtension) {
    MindMap map;
    ASSERT_TRUE(map.saveToFile(path("思维导图")));
    EXPECT_TRUE(fs::exists(dir / "思维导图"));
    EXPECT_TRUE(map.loadFromFile(path("思维导图")));
}

TEST_F(MapFiles, OverwriteKeepsPermissionBits) {
    write(dir / "map.mind", "old");
    ::chmod((dir / "map.mind").c_str(), 0640);
    MindMap map;
    ASSERT_TRUE(map.saveToFile(path("map.mind")));
    struct stat st;
    ASSERT_EQ(::stat((dir / "map.mind").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(contents(dir / "map.mind"), map.saveToBytes());
}

TEST_F(MapFiles, SymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    fs::create_directory(dir / "real");
    write(dir / "real" / "map.mind", "old");
    fs::create_symlink("real/map.mind", dir / "link.mind");
    fs::create_symlink("link.mind", dir / "link2.mind");  // a chain of two links
    MindMap map;
    ASSERT_TRUE(map.saveToFile(path("link2.mind")));
    EXPECT_TRUE(fs::is_symlink(dir / "link.mind"));
    EXPECT_TRUE(fs::is_symlink(dir / "link2.mind"));
    EXPECT_EQ(contents(dir / "real" / "map.mind"), map.saveToBytes());
    // A dangling link gets its target created.
    fs::create_symlink("real/new.mind", dir / "dangling.mind");
    ASSERT_TRUE(map.saveToFile(path("dangling.mind")));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.mind"));
    EXPECT_EQ(contents(dir / "real" / "new.mind"), map.saveToBytes());
}

TEST_F(MapFiles, LoopOfLinksIsRefused) {
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    MindMap map;
    EXPECT_FALSE(map.saveToFile(path("a")));
}

TEST_F(MapFiles, SaveRefusesDirectoriesDevicesAndBadPaths) {
    MindMap map;
    fs::create_directory(dir / "sub");
    EXPECT_FALSE(map.saveToFile(path("sub")));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_FALSE(map.saveToFile(u"/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_FALSE(map.saveToFile(u""));
    EXPECT_FALSE(map.saveToFile(path("missing-dir/map.mind")));
    // A NUL would cut the name short and write to "cut".
    EXPECT_FALSE(map.saveToFile(path("cut") + std::u16string(1, u'\0') + u"rest"));
    EXPECT_FALSE(fs::exists(dir / "cut"));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(MapFiles, FailedWriteLeavesTheTargetUntouchedAndNoTemporaryFile) {
    write(dir / "map.mind", "precious");
    MindMap map;
    growMap(map, 200);
    // Files may not grow past 1 KB: the write of the temporary file fails part-way.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = map.saveToFile(path("map.mind"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(contents(dir / "map.mind"), "precious");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(MapFiles, OpenFailuresChangeNothing) {
    MindMap map;
    growMap(map, 3);
    map.selectedNode = map.root->children[1];
    map.undo();
    const std::string before = dumpTree(map.root);
    Node* selected = map.selectedNode;
    fs::create_directory(dir / "sub");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const std::u16string& p :
         {path("missing.mind"), path("sub"), path("fifo"), std::u16string(u"/dev/zero"), std::u16string(u""),
          path("sub") + std::u16string(1, u'\0')}) {
        EXPECT_FALSE(map.loadFromFile(p));
        EXPECT_EQ(dumpTree(map.root), before);
        EXPECT_EQ(map.selectedNode, selected);
        EXPECT_EQ(map.undoStack.size(), 2u);
        EXPECT_EQ(map.redoStack.size(), 1u);
    }
}

TEST_F(MapFiles, OpenRefusesFilesOverTheSizeLimit) {
    {
        std::ofstream out(dir / "huge.mind", std::ios::binary);
        out << "\xEF\xBB\xBFnode: 0 0 1 1 0 0 0 0 0 0 0 \"huge\"\n";
    }
    fs::resize_file(dir / "huge.mind", kMaxMapFileBytes + 1);  // sparse: costs no disk
    MindMap map;
    EXPECT_FALSE(map.loadFromFile(path("huge.mind")));
    EXPECT_EQ(map.root->text, u"中心主题");
    fs::resize_file(dir / "huge.mind", 4096);
    EXPECT_TRUE(map.loadFromFile(path("huge.mind")));
    EXPECT_EQ(map.root->text, u"huge");
}
