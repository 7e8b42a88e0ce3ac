// The overlays of the modes and the status bar, drawn off-screen: boxes, colours, carets and
// the order in which they cover each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/render/scene.h"
#include "tests/render/frame_fixture.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBoxFill = 0xF0F0F0;
constexpr std::uint32_t kTextBoxOutline = 0x969696;
constexpr std::uint32_t kBoxOutline = 0x646464;
constexpr std::uint32_t kButtonFill = 0xC8C8C8;

TEST_F(FrameTest, EditBoxWithBlinkingCaretAtTheTextsEnd) {
    map->startEditing();
    draw();
    EXPECT_EQ(colourAt(235, 47), kWhite);
    EXPECT_EQ(colourAt(400, 10), kTextBoxOutline);
    EXPECT_EQ(colourAt(630, 30), kTextBoxOutline);
    const int caretX = 220 + 17 + Gfx::getTextWidth(map->editText.c_str());
    EXPECT_EQ(colourAt(caretX, 44), kTextBoxOutline);
    EXPECT_EQ(colourAt(caretX, 15), kTextBoxOutline);
    EXPECT_EQ(colourAt(caretX, 47), kWhite);
    EXPECT_GT(countColour(230, 55, 630, 80, 0x646464), 20);  // the hint

    // Frames 2 to 14 show it, 15 to 29 hide it, 30 shows it again.
    for (int frame = 2; frame <= 15; ++frame) draw();
    EXPECT_EQ(map->editCaretCounter, 15);
    EXPECT_EQ(colourAt(caretX, 44), kWhite);
    for (int frame = 16; frame <= 30; ++frame) draw();
    EXPECT_EQ(colourAt(caretX, 44), kTextBoxOutline);

    // The counter keeps its phase while the box is closed.
    map->cancelEditing();
    draw();
    draw();
    EXPECT_EQ(map->editCaretCounter, 30);
    EXPECT_EQ(map->pathCaretCounter, 0);
}

TEST_F(FrameTest, LongEditTextIsCutAtTheBoxWhileTheCaretGoesBeyond) {
    map->startEditing();
    map->editText = std::u16string(50, u'W');
    const int caretX = 220 + 17 + Gfx::getTextWidth(map->editText.c_str());
    ASSERT_GT(caretX, 640);
    draw();
    EXPECT_EQ(countColour(626, 11, 629, 49, 0x000000), 0);
    EXPECT_EQ(colourAt(caretX, 30), kTextBoxOutline);
}

TEST_F(FrameTest, HelpScreen) {
    map->toggleHelp();
    draw();
    EXPECT_EQ(colourAt(963, 543), kBoxFill);
    EXPECT_EQ(colourAt(620, 50), kBoxOutline);
    EXPECT_EQ(colourAt(270, 300), kBoxOutline);
    EXPECT_EQ(colourAt(970, 300), kBoxOutline);
    EXPECT_GT(countColour(290, 100, 700, 125, 0x000000), 20);  // the first help line
    EXPECT_GT(countColour(290, 551, 700, 575, 0x000000), 20);  // the last one, below the box
    EXPECT_EQ(countColour(275, 510, 965, 545, 0x000000), 0);   // the blank line
}

TEST_F(FrameTest, PathDialogBoxesAndCaret) {
    map->showSaveDialog();
    map->filePath = u"a.mind";
    draw();
    EXPECT_EQ(colourAt(425, 155), kBoxFill);
    EXPECT_EQ(colourAt(620, 150), kBoxOutline);
    EXPECT_EQ(colourAt(790, 225), kWhite);
    EXPECT_EQ(colourAt(600, 200), kTextBoxOutline);
    EXPECT_EQ(colourAt(475, 305), kButtonFill);
    EXPECT_EQ(colourAt(765, 305), kButtonFill);
    EXPECT_EQ(colourAt(520, 270), kBoxOutline);
    EXPECT_EQ(colourAt(720, 310), kBoxOutline);
    EXPECT_EQ(colourAt(620, 250), kBoxFill);  // between the path box and the buttons
    const int caretX = 220 + 227 + Gfx::getTextWidth(u"a.mind");
    EXPECT_EQ(colourAt(caretX, 224), kTextBoxOutline);
    EXPECT_GT(countColour(440, 330, 800, 350, 0x646464), 20);  // the hint
    EXPECT_EQ(map->pathCaretCounter, 1);
}

TEST_F(FrameTest, DialogTitlesDifferForOpenAndSave) {
    const auto titleInk = [this] {
        std::vector<bool> ink;
        for (int y = 160; y <= 190; ++y) {
            for (int x = 421; x <= 819; ++x) ink.push_back(colourAt(x, y) == 0x000000);
        }
        return ink;
    };
    map->showSaveDialog();
    draw();
    const std::vector<bool> save = titleInk();
    map->showOpenDialog();
    draw();
    const std::vector<bool> open = titleInk();
    EXPECT_GT(std::count(save.begin(), save.end(), true), 30);
    EXPECT_GT(std::count(open.begin(), open.end(), true), 30);
    EXPECT_NE(save, open);
}

TEST_F(FrameTest, OverlaysStackInOrderUnderTheStatusBar) {
    map->startEditing();
    map->toggleHelp();
    map->showOpenDialog();
    map->root->y = 700;  // reaches under the status bar
    draw();
    EXPECT_EQ(colourAt(790, 225), kWhite);    // path box over the help screen
    EXPECT_EQ(colourAt(963, 543), kBoxFill);  // help over the map
    EXPECT_EQ(colourAt(235, 47), kWhite);     // the edit box, outside the help box
    EXPECT_EQ(colourAt(805, 745), kBoxFill);  // status bar over the node
    EXPECT_EQ(map->editCaretCounter, 1);
    EXPECT_EQ(map->pathCaretCounter, 1);
}

TEST_F(FrameTest, StatusBarShowsTheSelectionText) {
    draw();
    const int withRoot = countColour(10, 731, 1370, 749, 0x505050);
    map->selectNodeAt(1300, 50);
    draw();
    const int withNone = countColour(10, 731, 1370, 749, 0x505050);
    EXPECT_GT(withRoot, 100);
    EXPECT_GT(withNone, 100);
    EXPECT_NE(withRoot, withNone);
}

TEST(StatusLineTest, DescribesTheSelectionOrNone) {
    MindMap map;
    EXPECT_EQ(formatStatusLine(map), u"选中: 中心主题 | 位置: (580, 375) | 子节点: 0 | 按 H 显示帮助");
    map.selectedNode = nullptr;
    EXPECT_EQ(formatStatusLine(map), u"选中: 无 | 位置: (0, 0) | 子节点: 0 | 按 H 显示帮助");

    map.selectedNode = map.root;
    map.root->x = 220;
    EXPECT_EQ(formatStatusLine(map), u"选中: 中心主题 | 位置: (0, 375) | 子节点: 0 | 按 H 显示帮助");
    map.root->x = -15;
    map.root->y = -2147483647 - 1;
    EXPECT_EQ(formatStatusLine(map),
              u"选中: 中心主题 | 位置: (-235, -2147483648) | 子节点: 0 | 按 H 显示帮助");

    for (int i = 0; i < 3; ++i) {
        map.selectedNode = map.root;
        map.addChildNode();
    }
    map.selectedNode = map.root;
    map.root->collapsed = true;
    map.root->x = 2147483647;  // the distance from the panel's edge does not overflow
    EXPECT_EQ(formatStatusLine(map),
              u"选中: 中心主题 | 位置: (2147483427, -2147483648) | 子节点: 3 | 按 H 显示帮助");
}

TEST(StatusLineTest, LongLinesAreCutAt255UnitsKeepingSurrogatePairsWhole) {
    MindMap map;
    const std::u16string prefix = u"选中: ";
    // Exactly filling 255 units: shown unchanged.
    const std::u16string tail = u" | 位置: (580, 375) | 子节点: 0 | 按 H 显示帮助";
    map.root->text = std::u16string(255 - prefix.size() - tail.size(), u'x');
    EXPECT_EQ(formatStatusLine(map), prefix + map.root->text + tail);

    map.root->text = std::u16string(300, u'y');
    const std::u16string cut = formatStatusLine(map);
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_EQ(cut, prefix + std::u16string(255 - prefix.size(), u'y'));

    // A pair that would straddle the cut is dropped whole.
    map.root->text = std::u16string(255 - prefix.size() - 1, u'z') + u"\U0001F600" + u"rest";
    const std::u16string pairCut = formatStatusLine(map);
    EXPECT_EQ(pairCut.size(), 254u);
    EXPECT_EQ(pairCut.back(), u'z');
    map.root->text = std::u16string(255 - prefix.size() - 2, u'z') + u"\U0001F600" + u"rest";
    EXPECT_EQ(formatStatusLine(map).size(), 255u);
    EXPECT_EQ(formatStatusLine(map).back(), u'\xDE00');
}

}  // namespace
