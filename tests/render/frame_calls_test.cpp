// The exact graphics calls of one frame, in order: every colour, rectangle, flag and text that
// the frame hands to the device. The device keeps its state between calls, so the order of the
// calls decides the pixels as much as their arguments do.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/render/scene.h"
#include "tests/render/call_recorder.h"
#include "tests/render/frame_fixture.h"

namespace {

using test_render::CallRecorder;

class FrameCallsTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        recorder.install();
    }
    void TearDown() override {
        recorder.uninstall();
        FrameTest::TearDown();
    }

    // The calls of one frame.
    std::vector<std::string> frame() {
        recorder.calls.clear();
        draw();
        return recorder.calls;
    }

    // The calls after the last grid line: the node tree, the overlays and the status bar.
    static std::vector<std::string> afterGrid(const std::vector<std::string>& calls) {
        const auto last = std::find(calls.begin(), calls.end(), "drawLine 220 740 1380 740");
        EXPECT_NE(last, calls.end());
        return last == calls.end() ? calls : std::vector<std::string>(last + 1, calls.end());
    }

    static int widthOf(const char16_t* text) { return Gfx::getTextWidth(text); }

    CallRecorder recorder;
};

struct PanelButton {
    const char* label;
    const char* fill;
    const char* text;
};

// The panel's ten buttons as they are drawn, not hovered.
const PanelButton kButtons[] = {
    {"添加子节点", "0x64B464", "0xFFFFFF"}, {"添加同级节点", "0xDC9664", "0xFFFFFF"},
    {"删除节点", "0x6464DC", "0xFFFFFF"},   {"编辑文本", "0x64B4B4", "0xFFFFFF"},
    {"折叠/展开", "0xC89696", "0xFFFFFF"},  {"撤销", "0xC8C8C8", "0x000000"},
    {"重做", "0xC8C8C8", "0x000000"},       {"保存", "0xC89664", "0xFFFFFF"},
    {"打开", "0xC89664", "0xFFFFFF"},       {"帮助", "0xC86496", "0xFFFFFF"},
};

std::string n(int v) {
    return std::to_string(v);
}

TEST_F(FrameCallsTest, FreshMapFrameCallByCall) {
    std::vector<std::string> expected = {
        "clearDevice",
        "setBackgroundColor 0xFFFFFF",
        "clearDevice",
        "setFillColor 0xF5F0F0",
        "fillRectangle 0 0 220 750",
        "setLineColor 0xD2C8C8",
        "drawLine 220 0 220 750",
        "setTextColor 0x505050",
        "setBackgroundMode 1",
        "drawTextInRect 0 20 220 50 5 [功能面板]",
    };
    for (int i = 0; i < 10; ++i) {
        const std::string top = n(80 + 45 * i);
        const std::string bottom = n(115 + 45 * i);
        expected.push_back(std::string("setFillColor ") + kButtons[i].fill);
        expected.push_back("fillRoundRect 10 " + top + " 210 " + bottom + " 5 5");
        expected.push_back("setLineColor 0x505050");
        expected.push_back("drawRoundRect 10 " + top + " 210 " + bottom + " 5 5");
        expected.push_back("setBackgroundMode 1");
        expected.push_back(std::string("setTextColor ") + kButtons[i].text);
        expected.push_back("drawTextInRect 15 " + top + " 205 " + bottom + " 21 [" + kButtons[i].label + "]");
    }
    expected.push_back("setLineColor 0xF0F0F0");
    for (int x = 220; x <= 1360; x += 20) expected.push_back("drawLine " + n(x) + " 0 " + n(x) + " 750");
    for (int y = 0; y <= 740; y += 20) expected.push_back("drawLine 220 " + n(y) + " 1380 " + n(y));
    const std::vector<std::string> tail = {
        "setFillColor 0xB48246",
        "fillRoundRect 800 375 940 420 5 5",
        "setLineColor 0x505050",
        "drawRoundRect 800 375 940 420 5 5",
        "setBackgroundMode 1",
        "setTextColor 0x000000",
        "drawTextInRect 805 375 935 420 21 [中心主题]",
        "setFillColor 0xF0F0F0",
        "fillRectangle 0 730 1380 750",
        "setTextColor 0x505050",
        "drawTextInRect 10 730 1370 750 4 [选中: 中心主题 | 位置: (580, 375) | 子节点: 0 | 按 H 显示帮助]",
    };
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(frame(), expected);
}

TEST_F(FrameCallsTest, HoveredButtonsAreFilledTenPercentDarker) {
    map->updateButtonHover(10, 80);
    std::vector<std::string> calls = frame();
    EXPECT_EQ(calls[10], "setFillColor 0x5AA25A");
    EXPECT_EQ(calls[17], "setFillColor 0xDC9664");
    map->updateButtonHover(210, 350);  // "重做"
    calls = frame();
    EXPECT_EQ(calls[10], "setFillColor 0x64B464");
    EXPECT_EQ(calls[10 + 7 * 6], "setFillColor 0xB4B4B4");
    map->updateButtonHover(100, 485);  // "帮助": 150, 100, 200 become 135, 90, 180
    calls = frame();
    EXPECT_EQ(calls[10 + 7 * 9], "setFillColor 0xB45A87");
}

TEST_F(FrameCallsTest, TreeOverlaysAndStatusBarCallByCall) {
    Node* root = map->root;
    map->addChildNode();  // (800, 475)
    Node* first = map->selectedNode;
    map->selectedNode = root;
    map->addChildNode();  // (880, 475)
    Node* second = map->selectedNode;
    map->addChildNode();  // (880, 575), hidden below
    map->selectedNode = second;
    map->toggleCollapse();
    second->text = u"b";
    second->fillColor = 0xB4DCB4;
    second->textColor = 0xFFFFFF;
    map->selectedNode = first;
    map->startEditing();
    map->editText = u"ab";
    map->toggleHelp();
    map->showOpenDialog();
    map->filePath = u"m.mind";
    const int editCaret = 237 + widthOf(u"ab");
    const int pathCaret = 447 + widthOf(u"m.mind");

    std::vector<std::string> expected = {
        // The root with its "-" marker.
        "setFillColor 0xDCDCDC",
        "fillRoundRect 800 375 940 420 5 5",
        "setLineColor 0x505050",
        "drawRoundRect 800 375 940 420 5 5",
        "setBackgroundMode 1",
        "setTextColor 0x000000",
        "drawTextInRect 805 375 935 420 21 [中心主题]",
        "setFillColor 0x969696",
        "fillRoundRect 915 385 930 405 3 3",
        "setTextColor 0xFFFFFF",
        "drawTextInRect 915 385 930 405 5 [-]",
        // The first child, selected, with its connector from the root's bottom centre.
        "setLineColor 0x646464",
        "setLineStyle 0 2 0 0",
        "drawLine 870 420 870 475",
        "setFillColor 0xB48246",
        "fillRoundRect 800 475 940 520 5 5",
        "setLineColor 0x505050",
        "drawRoundRect 800 475 940 520 5 5",
        "setBackgroundMode 1",
        "setTextColor 0x000000",
        "drawTextInRect 805 475 935 520 21 [新节点]",
        // The second child, collapsed: "+" and nothing below it.
        "setLineColor 0x646464",
        "setLineStyle 0 2 0 0",
        "drawLine 870 420 950 475",
        "setFillColor 0xB4DCB4",
        "fillRoundRect 880 475 1020 520 5 5",
        "setLineColor 0x505050",
        "drawRoundRect 880 475 1020 520 5 5",
        "setBackgroundMode 1",
        "setTextColor 0xFFFFFF",
        "drawTextInRect 885 475 1015 520 21 [b]",
        "setFillColor 0x969696",
        "fillRoundRect 995 485 1010 505 3 3",
        "setTextColor 0xFFFFFF",
        "drawTextInRect 995 485 1010 505 5 [+]",
        // The edit box.
        "setFillColor 0xFFFFFF",
        "fillRectangle 230 10 630 50",
        "setLineColor 0x969696",
        "drawRectangle 230 10 630 50",
        "setTextColor 0x000000",
        "drawTextInRect 235 10 625 50 4 [ab]",
        "getTextWidth [ab]",
        "drawLine " + n(editCaret) + " 15 " + n(editCaret) + " 45",
        "setTextColor 0x646464",
        "drawTextInRect 230 55 630 80 4 [按Enter确认编辑，ESC取消]",
        // The help screen.
        "setFillColor 0xF0F0F0",
        "solidRectangle 270 50 970 550",
        "setLineColor 0x646464",
        "drawRectangle 270 50 970 550",
        "setTextColor 0x000000",
        "drawTextInRect 270 60 970 90 5 [思维导图制作器 - 使用说明]",
    };
    const char* const help[] = {
        "基本操作:",
        "1. 左键点击: 选择节点",
        "2. 左键拖动: 移动节点",
        "3. 右键点击: 添加子节点",
        "4. 空格键: 添加同级节点",
        "5. Delete键: 删除当前节点",
        "6. F2键: 编辑节点文本",
        "7. F键: 折叠/展开子节点",
        "8. Ctrl+Z: 撤销操作",
        "9. Ctrl+Y: 重做操作",
        "10. 1-3键: 更改节点颜色",
        "11. 4-5键: 更改文字颜色",
        "12. Ctrl+S: 保存思维导图",
        "13. Ctrl+O: 打开思维导图",
        "",
        "按 H 键关闭帮助界面",
    };
    for (int i = 0; i < 16; ++i) {
        expected.push_back("drawTextInRect 290 " + n(100 + 30 * i) + " 950 " + n(530 + 30 * i) + " 0 [" +
                           help[i] + "]");
    }
    const std::vector<std::string> dialogAndStatus = {
        "setFillColor 0xF0F0F0",
        "solidRectangle 420 150 820 350",
        "setLineColor 0x646464",
        "drawRectangle 420 150 820 350",
        "setTextColor 0x000000",
        "drawTextInRect 420 160 820 190 5 [打开思维导图]",
        "setFillColor 0xFFFFFF",
        "fillRectangle 440 200 800 230",
        "setLineColor 0x969696",
        "drawRectangle 440 200 800 230",
        "setTextColor 0x000000",
        "drawTextInRect 445 200 795 230 4 [m.mind]",
        "getTextWidth [m.mind]",
        "drawLine " + n(pathCaret) + " 205 " + n(pathCaret) + " 225",
        "setFillColor 0xC8C8C8",
        "fillRectangle 470 270 570 310",
        "fillRectangle 670 270 770 310",
        "setLineColor 0x646464",
        "drawRectangle 470 270 570 310",
        "drawRectangle 670 270 770 310",
        "setTextColor 0x000000",
        "drawTextInRect 470 270 570 310 5 [确定]",
        "drawTextInRect 670 270 770 310 5 [取消]",
        "setTextColor 0x646464",
        "drawTextInRect 440 330 800 350 4 [输入文件路径（如: mymap.mind）]",
        "setFillColor 0xF0F0F0",
        "fillRectangle 0 730 1380 750",
        "setTextColor 0x505050",
        "drawTextInRect 10 730 1370 750 4 [选中: 新节点 | 位置: (580, 475) | 子节点: 0 | 按 H 显示帮助]",
    };
    expected.insert(expected.end(), dialogAndStatus.begin(), dialogAndStatus.end());
    EXPECT_EQ(afterGrid(frame()), expected);

    // The save dialog differs only in its title.
    map->isSaveDialog = true;
    const std::vector<std::string> save = afterGrid(frame());
    EXPECT_NE(std::find(save.begin(), save.end(), "drawTextInRect 420 160 820 190 5 [保存思维导图]"),
              save.end());
}

TEST_F(FrameCallsTest, CaretsAreMeasuredAndDrawnOnlyInTheirShownFrames) {
    map->startEditing();
    map->showSaveDialog();
    const auto measures = [](const std::vector<std::string>& calls) {
        return std::count_if(calls.begin(), calls.end(),
                             [](const std::string& c) { return c.rfind("getTextWidth", 0) == 0; });
    };
    for (int i = 1; i <= 14; ++i) frame();
    EXPECT_EQ(measures(frame()), 0);  // frame 15: both hidden
    map->cancelEditing();
    for (int i = 16; i <= 29; ++i) frame();
    EXPECT_EQ(measures(frame()), 1);  // frame 30: the path caret is back; no edit box
    map->startEditing();
    EXPECT_EQ(measures(frame()), 1);  // the edit counter resumes at 16: hidden
    EXPECT_EQ(map->editCaretCounter, 16);
    EXPECT_EQ(map->pathCaretCounter, 31);
}

TEST_F(FrameCallsTest, ConnectorsAndBoxesWrapAtTheEdgesOfTheIntegerRange) {
    Node* root = map->root;
    map->addChildNode();
    Node* child = map->selectedNode;
    root->x = 2147483647 - 100;
    root->width = 301;  // the right edge passes the largest integer
    child->x = -2147483647 - 1;
    child->y = 10;
    map->selectedNode = nullptr;
    const std::vector<std::string> calls = afterGrid(frame());
    EXPECT_EQ(calls[1], "fillRoundRect 2147483547 375 -2147483448 420 5 5");
    EXPECT_EQ(calls[13], "drawLine -2147483599 420 -2147483578 10");
}

TEST_F(FrameCallsTest, StatusLineShowsTheCaptionUpToAZeroUnitAndWrapsTheDistance) {
    // A caption read from a file may hold a zero unit; the node shows only what is before it,
    // and so does the status line, which still goes on after the caption.
    ASSERT_TRUE(map->loadFromBytes(
        std::string("\xEF\xBB\xBFnode: -2147483548 5 140 45 220 220 220 0 0 0 0 \"a\0b\"\n", 56)));
    ASSERT_EQ(map->root->text, std::u16string(u"a\0b", 3));
    const std::vector<std::string> calls = frame();
    EXPECT_EQ(
        calls.back(),
        "drawTextInRect 10 730 1370 750 4 [选中: a | 位置: (2147483528, 5) | 子节点: 0 | 按 H 显示帮助]");
    EXPECT_EQ(formatStatusLine(*map), u"选中: a | 位置: (2147483528, 5) | 子节点: 0 | 按 H 显示帮助");
}

// Measures every text close to the largest int, as a caption read from a file may.
class HugeMeasure : public CallRecorder {
  public:
    int getTextWidth(const char16_t* text) override {
        CallRecorder::getTextWidth(text);
        return 2147483647 - 5;
    }
};

TEST_F(FrameTest, CaretsOfTextsMeasuringNearTheLargestIntWrap) {
    HugeMeasure recorder;
    recorder.install();
    map->startEditing();
    map->showOpenDialog();
    draw();
    recorder.uninstall();
    const auto has = [&](const std::string& call) {
        return std::find(recorder.calls.begin(), recorder.calls.end(), call) != recorder.calls.end();
    };
    EXPECT_TRUE(has("drawLine -2147483417 15 -2147483417 45"));
    EXPECT_TRUE(has("drawLine -2147483207 205 -2147483207 225"));
}

}  // namespace
