// The overlays of the modes and the status bar, drawn off-screen: boxes, colours, texts, carets
// and the order in which they cover each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/render/scene.h"
#include "tests/render/frame_fixture.h"
#include "tests/ui/text_measure.h"

namespace {

using namespace palette;

// The path dialog beside the standard panel.
const PathDialogLayout kDialog = pathDialogLayout(kPanelWidth);

// A text in the area: at least `minimum` pixels of the colour, its ink starting within 3 pixels
// of `left`.
void expectTextStartsAt(const Ink& ink, int left, int minimum, const char* what) {
    EXPECT_GE(ink.count, minimum) << what;
    EXPECT_GE(ink.bounds.left, left) << what;
    EXPECT_LE(ink.bounds.left, left + 3) << what;
}

// A text in the area: at least `minimum` pixels of the colour, its ink centred on `centreX`.
void expectTextCentredOn(const Ink& ink, int centreX, int minimum, const char* what) {
    EXPECT_GE(ink.count, minimum) << what;
    EXPECT_LE(std::abs(ink.centreX() - centreX), 3) << what;
}

int centreX(const SceneRect& r) {
    return (r.left + r.right) / 2;
}

// The rectangle without its edges, where a box's outline runs.
SceneRect inside(const SceneRect& r) {
    return {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

TEST_F(FrameTest, EditBoxWithItsTextAndABlinkingCaretAtTheTextsEnd) {
    map->startEditing();
    draw();
    EXPECT_EQ(colourAt(235, 47), kTextBoxFill);
    EXPECT_EQ(colourAt(400, 10), kTextBoxOutline);
    EXPECT_EQ(colourAt(630, 30), kTextBoxOutline);
    expectTextStartsAt(inkIn({231, 11, 629, 49}, kOverlayText), 235, 100, "the caption being edited");
    const int caretX = 220 + 17 + Gfx::getTextWidth(map->editText.c_str());
    EXPECT_EQ(colourAt(caretX, 44), kTextBoxOutline);
    EXPECT_EQ(colourAt(caretX, 15), kTextBoxOutline);
    EXPECT_EQ(colourAt(caretX, 47), kTextBoxFill);
    expectTextStartsAt(inkIn({230, 55, 630, 80}, kHintText), 230, 20, "the hint");

    // Frames 2 to 14 show it, 15 to 29 hide it, 30 shows it again.
    for (int frame = 2; frame <= 15; ++frame) draw();
    EXPECT_EQ(map->editCaretCounter, 15);
    EXPECT_EQ(colourAt(caretX, 44), kTextBoxFill);
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

TEST_F(FrameTest, HelpScreenWithItsTitleAndSixteenLines) {
    map->toggleHelp();
    draw();
    EXPECT_EQ(colourAt(963, 543), kOverlayFill);
    EXPECT_EQ(colourAt(620, 50), kOverlayOutline);
    EXPECT_EQ(colourAt(270, 300), kOverlayOutline);
    EXPECT_EQ(colourAt(970, 300), kOverlayOutline);
    expectTextCentredOn(inkIn({271, 60, 969, 90}, kOverlayText), 620, 100, "the title");
    // Line i stands 30·i below the first, from x = 290; line 14 is blank, line 15 falls below the box.
    for (int i = 0; i < 16; ++i) {
        const Ink line = inkIn({275, 100 + 30 * i, 965, 100 + 30 * i + 25}, kOverlayText);
        if (i == 14) {
            EXPECT_EQ(line.count, 0) << "the blank line";
        } else {
            expectTextStartsAt(line, 290, 20, ("help line " + std::to_string(i)).c_str());
        }
    }
}

TEST_F(FrameTest, PathDialogBoxesTextsAndCaret) {
    map->showSaveDialog();
    map->filePath = u"a.mind";
    draw();
    EXPECT_EQ(colourAt(425, 155), kOverlayFill);
    EXPECT_EQ(colourAt(620, 150), kOverlayOutline);
    EXPECT_EQ(colourAt(790, 225), kTextBoxFill);
    EXPECT_EQ(colourAt(600, 200), kTextBoxOutline);
    EXPECT_EQ(colourAt(475, 305), kDialogButtonFill);
    EXPECT_EQ(colourAt(765, 305), kDialogButtonFill);
    EXPECT_EQ(colourAt(520, 270), kOverlayOutline);
    EXPECT_EQ(colourAt(720, 310), kOverlayOutline);
    EXPECT_EQ(colourAt(620, 250), kOverlayFill);  // between the path box and the buttons
    const int caretX = 220 + 227 + Gfx::getTextWidth(u"a.mind");
    EXPECT_EQ(colourAt(caretX, 224), kTextBoxOutline);
    EXPECT_EQ(map->pathCaretCounter, 1);

    expectTextCentredOn(inkIn(kDialog.title, kOverlayText), centreX(kDialog.title), 100, "the title");
    expectTextStartsAt(inkIn(inside(kDialog.pathBox), kOverlayText), kDialog.pathText.left, 20, "the path");
    expectTextCentredOn(inkIn(inside(kDialog.ok), kOverlayText), centreX(kDialog.ok), 40, "确定");
    expectTextCentredOn(inkIn(inside(kDialog.cancel), kOverlayText), centreX(kDialog.cancel), 40, "取消");
    expectTextStartsAt(inkIn(kDialog.hint, kHintText), kDialog.hint.left, 20, "the hint");
}

TEST_F(FrameTest, DialogTitlesDifferForOpenAndSave) {
    const auto titleInk = [this] {
        std::vector<bool> ink;
        for (int y = kDialog.title.top; y <= kDialog.title.bottom; ++y) {
            for (int x = kDialog.title.left + 1; x < kDialog.title.right; ++x)
                ink.push_back(colourAt(x, y) == 0x000000);
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
    EXPECT_EQ(colourAt(790, 225), kTextBoxFill);  // path box over the help screen
    EXPECT_EQ(colourAt(963, 543), kOverlayFill);  // help over the map
    EXPECT_EQ(colourAt(235, 47), kTextBoxFill);   // the edit box, outside the help box
    EXPECT_EQ(colourAt(805, 745), kStatusFill);   // status bar over the node
    EXPECT_EQ(map->editCaretCounter, 1);
    EXPECT_EQ(map->pathCaretCounter, 1);
}

TEST_F(FrameTest, CaretsAreMeasuredAndDrawnOnlyInTheirShownFrames) {
    TextMeasure measure;
    map->startEditing();
    map->showSaveDialog();  // an empty path: its caret stands at the path text's start
    const int editCaretX = 220 + 17 + Gfx::getTextWidth(map->editText.c_str());
    const int pathCaretX = 220 + 227;
    const auto frame = [&] {
        measure.measures = 0;
        draw();
        return measure.measures;
    };
    for (int i = 1; i <= 14; ++i) frame();
    EXPECT_EQ(frame(), 0);  // frame 15: both hidden
    EXPECT_EQ(colourAt(editCaretX, 30), kTextBoxFill);
    EXPECT_EQ(colourAt(pathCaretX, 215), kTextBoxFill);

    map->cancelEditing();
    for (int i = 16; i <= 29; ++i) frame();
    EXPECT_EQ(frame(), 1);  // frame 30: the path caret is back; no edit box
    EXPECT_EQ(colourAt(pathCaretX, 215), kTextBoxOutline);
    EXPECT_EQ(colourAt(630, 30), kBackground);

    map->startEditing();
    EXPECT_EQ(frame(), 1);  // the edit counter resumes at 16: hidden
    EXPECT_EQ(map->editCaretCounter, 16);
    EXPECT_EQ(map->pathCaretCounter, 31);
    EXPECT_EQ(colourAt(630, 30), kTextBoxOutline);
    EXPECT_EQ(colourAt(editCaretX, 30), kTextBoxFill);
    EXPECT_EQ(colourAt(pathCaretX, 215), kTextBoxOutline);
}

TEST_F(FrameTest, CaretsOfTextsMeasuringNearTheLargestIntWrapOffTheCanvas) {
    // A caption read from a file may measure close to the largest int: the caret's column wraps
    // far to the left (wrapToInt32) instead of overflowing, and neither box shows a caret.
    const TextMeasure huge(2147483647 - 5);
    map->startEditing();
    map->showOpenDialog();
    draw();
    EXPECT_EQ(countColour(231, 11, 629, 49, kTextBoxOutline), 0);
    EXPECT_EQ(inkIn(inside(kDialog.pathBox), kTextBoxOutline).count, 0);
    EXPECT_EQ(huge.measures, 2);
}

TEST_F(FrameTest, StatusBarShowsTheSelectionText) {
    draw();
    const Ink withRoot = inkIn({1, 731, 1379, 749}, kStatusText);
    map->selectNodeAt(1300, 50);
    draw();
    const Ink withNone = inkIn({1, 731, 1379, 749}, kStatusText);
    expectTextStartsAt(withRoot, 10, 100, "with the root selected");
    expectTextStartsAt(withNone, 10, 100, "with nothing selected");
    EXPECT_NE(withRoot.count, withNone.count);
}

TEST_F(FrameTest, NodeAndStatusBarShowACaptionUpToItsFirstZeroUnit) {
    // A caption read from a file may hold a zero unit; the node shows only what is before it,
    // and so does the status line, which still goes on after the caption.
    ASSERT_TRUE(map->loadFromBytes(
        std::string("\xEF\xBB\xBFnode: -2147483548 5 140 45 220 220 220 0 0 0 0 \"a\0b\"\n", 56)));
    ASSERT_EQ(map->root->text, std::u16string(u"a\0b", 3));
    EXPECT_EQ(formatStatusLine(*map), u"选中: a | 位置: (2147483528, 5) | 子节点: 0 | 按 H 显示帮助");
    draw();
    const std::vector<std::uint32_t> withZero = pixels();

    // The same map with the caption cut before its zero unit, drawn on a fresh target as well.
    TearDown();
    SetUp();
    map = std::make_unique<MindMap>();
    ASSERT_TRUE(map->loadFromBytes("\xEF\xBB\xBFnode: -2147483548 5 140 45 220 220 220 0 0 0 0 \"a\"\n"));
    draw();
    EXPECT_TRUE(pixels() == withZero) << "the caption or the status line shows more than \"a\"";
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
