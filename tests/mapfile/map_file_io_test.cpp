// Saving and opening real files on any platform: round trip, refused paths, failed opens.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/files/file_io.h"
#include "app/mapformat/map_file_format.h"
#include "app/model/mind_map.h"
#include "tests/mapfile/map_files_fixture.h"
#include "tests/model/tree_check.h"

TEST_F(MapFiles, SaveThenOpenRestoresTheMapAndSelectsTheRoot) {
    MindMap map;
    growMap(map, 5);
    map.root->children[2]->collapsed = true;
    ASSERT_TRUE(map.saveToFile(path(u"map.mind")));
    EXPECT_EQ(contents(dir / "map.mind"), map.saveToBytes());
    MindMap other;
    ASSERT_TRUE(other.loadFromFile(path(u"map.mind")));
    EXPECT_EQ(dumpTree(other.root), dumpTree(map.root));
    EXPECT_EQ(other.selectedNode, other.root);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(MapFiles, NamesAreUsedAsTypedIncludingChineseAndNoExtension) {
    MindMap map;
    ASSERT_TRUE(map.saveToFile(path(u"思维导图")));
    EXPECT_TRUE(fs::exists(dir / fs::path(std::u16string(u"思维导图"))));
    EXPECT_TRUE(map.loadFromFile(path(u"思维导图")));
}

TEST_F(MapFiles, OverwriteReplacesTheWholeFile) {
    write(dir / "map.mind", std::string(100000, 'x'));
    MindMap map;
    ASSERT_TRUE(map.saveToFile(path(u"map.mind")));
    EXPECT_EQ(contents(dir / "map.mind"), map.saveToBytes());
    EXPECT_EQ(entries(), 1u);
}

TEST_F(MapFiles, SaveRefusesDirectoriesAndBadPaths) {
    MindMap map;
    fs::create_directory(dir / "sub");
    EXPECT_FALSE(map.saveToFile(path(u"sub")));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_FALSE(map.saveToFile(u""));
    EXPECT_FALSE(map.saveToFile(path(u"missing-dir/map.mind")));
    // A NUL would cut the name short and write to "cut".
    EXPECT_FALSE(map.saveToFile(path(u"cut") + std::u16string(1, u'\0') + u"rest"));
    EXPECT_FALSE(fs::exists(dir / "cut"));
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
    for (const std::u16string& p : {path(u"missing.mind"), path(u"sub"), std::u16string(u""),
                                    path(u"sub") + std::u16string(1, u'\0') + u"x"}) {
        EXPECT_FALSE(map.loadFromFile(p));
        EXPECT_EQ(dumpTree(map.root), before);
        EXPECT_EQ(map.selectedNode, selected);
        EXPECT_EQ(map.undoStack.size(), 2u);
        EXPECT_EQ(map.redoStack.size(), 1u);
    }
}

TEST_F(MapFiles, OpenRefusesFilesOverTheSizeLimit) {
    write(dir / "huge.mind", "\xEF\xBB\xBFnode: 0 0 1 1 0 0 0 0 0 0 0 \"huge\"\n");
    fs::resize_file(dir / "huge.mind", kMaxFileBytes + 1);  // sparse where the system allows
    MindMap map;
    EXPECT_FALSE(map.loadFromFile(path(u"huge.mind")));
    EXPECT_EQ(map.root->text, u"中心主题");
    fs::resize_file(dir / "huge.mind", 4096);
    EXPECT_TRUE(map.loadFromFile(path(u"huge.mind")));
    EXPECT_EQ(map.root->text, u"huge");
}

#ifdef _WIN32
TEST_F(MapFiles, ReadOnlyFileIsNotReplaced) {
    write(dir / "map.mind", "read only");
    fs::permissions(dir / "map.mind",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    MindMap map;
    EXPECT_FALSE(map.saveToFile(path(u"map.mind")));
    EXPECT_EQ(contents(dir / "map.mind"), "read only");
    fs::permissions(dir / "map.mind", fs::perms::owner_write, fs::perm_options::add);
}
#endif

TEST_F(MapFiles, FailuresComeWithTheSystemsReasonInOneLine) {
    std::string bytes, reason;
    const auto oneLine = [](const std::string& text) {
        return !text.empty() && text.find('\n') == std::string::npos && text.back() != '.' &&
               text.back() != ' ';
    };
    EXPECT_FALSE(kept(readFileBytes(path(u"missing.mind"), bytes), reason));
    EXPECT_TRUE(oneLine(reason)) << reason;
    reason.clear();
    EXPECT_FALSE(kept(replaceFileContents(path(u"missing-dir/map.mind"), "x"), reason));
    EXPECT_TRUE(oneLine(reason)) << reason;
    EXPECT_FALSE(kept(replaceFileContents(path(u"a") + std::u16string(1, u'\0'), "x"), reason));
    EXPECT_EQ(reason, "Invalid path");
    fs::create_directory(dir / "sub");
    EXPECT_FALSE(kept(readFileBytes(path(u"sub"), bytes), reason));
    EXPECT_EQ(reason, "Not a regular file");
    EXPECT_FALSE(kept(replaceFileContents(path(u"sub"), "x"), reason));
    EXPECT_EQ(reason, "Not a regular file");
}
