// The open and save commands through the path dialog: its rectangles, its buffer, and what a
// confirmed open or save does to the map and the file.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/model/mind_map.h"
#include "app/ui/dispatch.h"
#include "tests/ui/input_helpers.h"

using namespace test_input;
namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FileDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        dir = fs::temp_directory_path() /
              ("mm_dialog_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               std::to_string(serial++));
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    void send(const Gfx::InputMessage& message) { dispatchInput(map, message, running, fakeControl); }
    void click(int x, int y) { send(mouse(WM_LBUTTONDOWN, x, y)); }
    void type(const std::string& ascii) {
        for (char c : ascii) send(character(static_cast<char16_t>(c)));
    }
    void openDialog(bool save) {
        if (save) {
            map.showSaveDialog();
        } else {
            map.showOpenDialog();
        }
    }

    MindMap map;
    bool running = true;
    fs::path dir;
};

TEST_F(FileDialogTest, OnlyTheThreeRectanglesAnswerAPress) {
    struct Press {
        int x, y;
        bool hit, closes;
    };
    const Press presses[] = {
        {470, 270, true, true},   {570, 310, true, true},   {520, 290, true, true},  // OK
        {670, 270, true, true},   {770, 310, true, true},                            // Cancel
        {440, 200, true, false},  {800, 230, true, false},                           // path box
        {469, 290, false, false}, {571, 290, false, false}, {620, 290, false, false},
        {439, 215, false, false}, {670, 311, false, false}, {100, 90, false, false},
    };
    for (const Press& p : presses) {
        for (bool save : {false, true}) {
            openDialog(save);  // the path stays empty: OK reads and writes nothing
            EXPECT_EQ(map.handleFileDialogClick(p.x, p.y), p.hit) << p.x << "," << p.y;
            EXPECT_EQ(map.showFileDialog, !p.closes) << p.x << "," << p.y;
        }
    }
    map.showFileDialog = false;
    EXPECT_FALSE(map.handleFileDialogClick(470, 270));
    EXPECT_TRUE(map.root->children.empty());
    EXPECT_EQ(map.selectedNode, map.root);
}

TEST_F(FileDialogTest, RectanglesMoveWithThePanelEdge) {
    map.panelWidth = 300;
    map.showOpenDialog();
    EXPECT_FALSE(map.handleFileDialogClick(470, 270));
    EXPECT_TRUE(map.showFileDialog);
    EXPECT_TRUE(map.handleFileDialogClick(550, 270));
    EXPECT_FALSE(map.showFileDialog);
}

TEST_F(FileDialogTest, PathIsEmptiedWhenTheDialogOpensNotWhenItCloses) {
    map.showOpenDialog();
    type("abc");
    send(key(VK_ESCAPE));
    EXPECT_FALSE(map.showFileDialog);
    EXPECT_EQ(map.filePath, u"abc");
    map.showSaveDialog();
    EXPECT_TRUE(map.filePath.empty());
    EXPECT_TRUE(map.isSaveDialog);
    type("x");
    click(670, 290);
    EXPECT_EQ(map.filePath, u"x");
    map.showOpenDialog();
    EXPECT_TRUE(map.filePath.empty());
    EXPECT_FALSE(map.isSaveDialog);
}

TEST_F(FileDialogTest, SaveWritesTheMapAndOpenReadsItBack) {
    const fs::path file = dir / "mymap.mind";
    send(mouse(WM_RBUTTONDOWN, 0, 0));  // "新节点" at (800, 475)
    send(key('2'));
    map.selectedNode->text = u"a\"b\\c";

    map.showSaveDialog();
    type(file.string());
    click(520, 290);
    EXPECT_FALSE(map.showFileDialog);
    const std::string expected =
        "\xEF\xBB\xBFnode: 800 375 140 45 220 220 220 0 0 0 0 \"中心主题\"\n"
        "  node: 800 475 140 45 180 220 180 0 0 0 0 \"a\\\"b\\\\c\"\n";
    EXPECT_EQ(readBytes(file), expected);
    EXPECT_EQ(map.selectedNode, map.root->children[0]);  // a save changes nothing

    send(key(46));  // delete the child
    ASSERT_TRUE(map.root->children.empty());
    const auto undoDepth = map.undoStack.size();
    map.showOpenDialog();
    type(file.string());
    click(470, 270);
    EXPECT_FALSE(map.showFileDialog);
    ASSERT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(map.root->children[0]->text, u"a\"b\\c");
    EXPECT_EQ(map.root->children[0]->fillColor, 0xB4DCB4u);
    EXPECT_EQ(map.selectedNode, map.root);
    EXPECT_EQ(map.undoStack.size(), undoDepth);
}

TEST_F(FileDialogTest, FailedOpenOrSaveChangesNothing) {
    send(mouse(WM_RBUTTONDOWN, 0, 0));
    Node* child = map.selectedNode;
    const auto undoDepth = map.undoStack.size();

    map.showOpenDialog();
    type((dir / "missing.mind").string());
    click(470, 270);
    EXPECT_FALSE(map.showFileDialog);
    EXPECT_EQ(map.selectedNode, child);
    EXPECT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(map.undoStack.size(), undoDepth);

    // A path in a directory that does not exist cannot be written.
    map.showSaveDialog();
    type((dir / "no" / "such" / "dir.mind").string());
    click(470, 270);
    EXPECT_FALSE(map.showFileDialog);
    EXPECT_FALSE(fs::exists(dir / "no"));
    EXPECT_EQ(map.selectedNode, child);
}

TEST_F(FileDialogTest, OpenOfAFileWithoutNodesLeavesAFreshRoot) {
    const fs::path file = dir / "empty.mind";
    std::ofstream(file, std::ios::binary) << "not a map\n";
    send(mouse(WM_RBUTTONDOWN, 0, 0));

    map.showOpenDialog();
    type(file.string());
    click(470, 270);
    ASSERT_NE(map.root, nullptr);
    EXPECT_TRUE(map.root->children.empty());
    EXPECT_EQ(map.root->text, u"中心主题");
    EXPECT_EQ(map.root->x, 800);
    EXPECT_EQ(map.root->y, 375);
    EXPECT_EQ(map.selectedNode, map.root);
}

TEST_F(FileDialogTest, ShortcutsNeedNoHelpButThePanelButtonsDoNot) {
    map.toggleHelp();
    controlDown = true;
    send(key('S'));
    send(key('O'));
    controlDown = false;
    EXPECT_FALSE(map.showFileDialog);
    click(100, 410);  // "保存"
    EXPECT_TRUE(map.showFileDialog);
    EXPECT_TRUE(map.isSaveDialog);
    send(key(VK_ESCAPE));
    click(100, 455);  // "打开"
    EXPECT_TRUE(map.showFileDialog);
    EXPECT_FALSE(map.isSaveDialog);
}

}  // namespace
