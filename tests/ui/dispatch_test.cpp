// The input dispatch, driven with input records and no window: which operation each message
// reaches under which mode, in which order.
#include "app/ui/dispatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "tests/ui/input_helpers.h"

using namespace test_input;

namespace {

using Keys = std::initializer_list<std::uint8_t>;

// A point well inside a panel button, by command id.
constexpr int kButtonX = 100;
constexpr int buttonY(int id) {
    return panelButtonRect(kPanelWidth, id).top + 10;
}

class DispatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        controlDown = false;
        controlQueries = 0;
    }

    void send(const Gfx::InputMessage& message) { dispatchInput(map, message, running, fakeControl); }
    void press(std::uint8_t code) { send(key(code)); }
    // A key that produces a character arrives as key-down then character.
    void typeKey(std::uint8_t code, char16_t ch) {
        send(key(code));
        send(character(ch));
    }
    void type(std::u16string_view text) {
        for (char16_t ch : text) send(character(ch));
    }
    void clickButton(int id) { send(mouse(WM_LBUTTONDOWN, kButtonX, buttonY(id))); }
    void ctrl(std::uint8_t code) {
        controlDown = true;
        press(code);
        controlDown = false;
    }
    Node* root() { return map.root; }

    MindMap map;
    bool running = true;
};

TEST_F(DispatchTest, KeyTableReachesItsOperations) {
    send(mouse(WM_RBUTTONDOWN, 5, 5));  // anywhere: adds under the selection
    ASSERT_EQ(root()->children.size(), 1u);
    Node* child = root()->children[0];
    EXPECT_EQ(map.selectedNode, child);
    EXPECT_EQ(child->text, u"新节点");

    press(VK_SPACE);
    ASSERT_EQ(root()->children.size(), 2u);
    Node* sibling = root()->children[1];
    EXPECT_EQ(map.selectedNode, sibling);

    const std::pair<std::uint8_t, Colour> fills[] = {{'2', 0xB4DCB4}, {'3', 0xDCB4B4}, {'1', 0xDCDCDC}};
    for (const auto& [code, colour] : fills) {
        press(code);
        EXPECT_EQ(sibling->fillColor, colour) << "key " << code;
    }
    press('5');
    EXPECT_EQ(sibling->textColor, 0xFFFFFFu);
    press('4');
    EXPECT_EQ(sibling->textColor, 0x000000u);

    press(VK_DELETE);
    EXPECT_EQ(root()->children.size(), 1u);
    EXPECT_EQ(map.selectedNode, root());

    press('F');
    EXPECT_TRUE(root()->collapsed);
    press('F');
    EXPECT_FALSE(root()->collapsed);

    press(VK_F2);
    EXPECT_TRUE(map.isEditing);
    EXPECT_EQ(map.editText, u"中心主题");
    EXPECT_TRUE(running);
}

TEST_F(DispatchTest, LettersNeedControlAndOtherCodesDoNothing) {
    send(mouse(WM_RBUTTONDOWN, 0, 0));
    press('Z');
    press('O');
    press('S');
    EXPECT_EQ(root()->children.size(), 1u);
    EXPECT_FALSE(map.showFileDialog);

    ctrl('Z');
    EXPECT_TRUE(root()->children.empty());
    ctrl('Y');
    EXPECT_EQ(root()->children.size(), 1u);
    ctrl('O');
    EXPECT_TRUE(map.showFileDialog);
    EXPECT_FALSE(map.isSaveDialog);
    press(VK_ESCAPE);
    ctrl('S');
    EXPECT_TRUE(map.showFileDialog);
    EXPECT_TRUE(map.isSaveDialog);
    press(VK_ESCAPE);

    // Keypad digits, Enter and unknown codes outside editing.
    const Colour fill = map.selectedNode->fillColor;
    for (std::uint8_t code : Keys{VK_NUMPAD1, VK_NUMPAD1 + 1, VK_RETURN, 'A', 0xFF}) {
        press(code);
    }
    EXPECT_EQ(map.selectedNode->fillColor, fill);
    EXPECT_FALSE(map.isEditing);
    EXPECT_EQ(root()->children.size(), 1u);
    EXPECT_TRUE(running);
}

TEST_F(DispatchTest, HelpScreenBlocksKeyCommandsButNotThePanel) {
    send(mouse(WM_RBUTTONDOWN, 0, 0));
    Node* child = map.selectedNode;
    press('H');
    ASSERT_TRUE(map.showHelp);

    for (std::uint8_t code : Keys{VK_SPACE, VK_DELETE, '2', '5', 'F', VK_F2}) {
        press(code);
    }
    for (std::uint8_t code : {'Z', 'Y', 'S', 'O'}) ctrl(code);
    send(mouse(WM_RBUTTONDOWN, 900, 600));
    send(mouse(WM_LBUTTONDOWN, 1000, 100));  // canvas press: ignored, selection kept
    EXPECT_EQ(root()->children.size(), 1u);
    EXPECT_EQ(map.selectedNode, child);
    EXPECT_EQ(child->fillColor, 0xDCDCDCu);
    EXPECT_FALSE(map.isEditing);
    EXPECT_FALSE(map.showFileDialog);

    clickButton(5);  // undo
    EXPECT_TRUE(root()->children.empty());
    clickButton(6);  // redo
    EXPECT_EQ(root()->children.size(), 1u);
    clickButton(7);  // save
    EXPECT_TRUE(map.showFileDialog);
    EXPECT_TRUE(map.isSaveDialog);
    EXPECT_TRUE(map.showHelp);

    // With the dialog open, H is blocked and help stays until the dialog closes.
    press('H');
    EXPECT_TRUE(map.showHelp);
    press(VK_ESCAPE);
    EXPECT_FALSE(map.showFileDialog);
    press('H');
    EXPECT_FALSE(map.showHelp);
    EXPECT_TRUE(running);
}

TEST_F(DispatchTest, EscapeInEachMode) {
    press(VK_F2);
    press(VK_ESCAPE);
    EXPECT_FALSE(map.isEditing);
    EXPECT_TRUE(running);

    clickButton(8);
    press(VK_ESCAPE);
    EXPECT_FALSE(map.showFileDialog);
    EXPECT_TRUE(running);

    // Editing and the dialog both on: Escape serves the edit first.
    press(VK_F2);
    clickButton(7);
    press(VK_ESCAPE);
    EXPECT_FALSE(map.isEditing);
    EXPECT_TRUE(map.showFileDialog);
    press(VK_ESCAPE);
    EXPECT_FALSE(map.showFileDialog);
    EXPECT_TRUE(running);

    press('H');
    press(VK_ESCAPE);
    EXPECT_FALSE(running);
}

TEST_F(DispatchTest, MessagesBehindAnEndingEscapeAreStillDispatched) {
    press(VK_ESCAPE);
    ASSERT_FALSE(running);
    send(mouse(WM_RBUTTONDOWN, 0, 0));
    press(VK_SPACE);
    EXPECT_EQ(root()->children.size(), 2u);
    EXPECT_FALSE(running);
}

TEST_F(DispatchTest, CommandLettersAreTypedWhileEditingOrInTheDialog) {
    press(VK_F2);
    map.editText.clear();
    typeKey('H', u'h');
    typeKey('F', u'f');
    typeKey('1', u'1');
    typeKey(VK_SPACE, u' ');
    typeKey(VK_DELETE, 0x7F);  // the key does not delete; its unit is above 31 and kept
    EXPECT_EQ(map.editText, u"hf1 \x7f");
    EXPECT_FALSE(map.showHelp);
    EXPECT_TRUE(root()->children.empty());
    EXPECT_EQ(root()->fillColor, 0xDCDCDCu);
    press(VK_ESCAPE);

    clickButton(8);
    typeKey('H', u'h');
    typeKey('F', u'f');
    typeKey('2', u'2');
    typeKey(VK_SPACE, u' ');
    type(u"中文");
    EXPECT_EQ(map.filePath, u"hf2 ");
    EXPECT_FALSE(map.showHelp);
    EXPECT_FALSE(root()->collapsed);
    EXPECT_EQ(root()->fillColor, 0xDCDCDCu);
}

TEST_F(DispatchTest, CharactersOutsideBothBuffersAreDropped) {
    type(u"abc");
    EXPECT_TRUE(map.editText.empty());
    EXPECT_TRUE(map.filePath.empty());
    press('H');
    type(u"x");
    EXPECT_TRUE(map.editText.empty());
}

TEST_F(DispatchTest, BackspaceErasesOnlyAsAKey) {
    press(VK_F2);
    send(character(8));
    EXPECT_EQ(map.editText, u"中心主题");
    press(VK_BACK);
    EXPECT_EQ(map.editText, u"中心主");
    press(VK_ESCAPE);

    clickButton(7);
    type(u"ab");
    send(character(8));
    EXPECT_EQ(map.filePath, u"ab");
    press(VK_BACK);
    press(VK_BACK);
    press(VK_BACK);  // empty: nothing
    EXPECT_TRUE(map.filePath.empty());
    EXPECT_TRUE(map.showFileDialog);

    // Outside both buffers Backspace is no command.
    press(VK_ESCAPE);
    press(VK_BACK);
    EXPECT_EQ(root()->text, u"中心主题");
    EXPECT_TRUE(running);
}

TEST_F(DispatchTest, EnterCommitsTheEditAndLeavesTheDialogOpen) {
    press(VK_F2);
    clickButton(8);
    ASSERT_TRUE(map.isEditing);
    ASSERT_TRUE(map.showFileDialog);
    type(u"!");
    EXPECT_EQ(map.editText, u"中心主题!");
    EXPECT_TRUE(map.filePath.empty());

    map.editText = u"";  // commit an empty caption: no measuring needed beyond the empty text
    press(VK_RETURN);
    EXPECT_FALSE(map.isEditing);
    EXPECT_TRUE(map.showFileDialog);
    EXPECT_EQ(root()->text, u"");
    type(u"m.mind");
    EXPECT_EQ(map.filePath, u"m.mind");
}

TEST_F(DispatchTest, PanelActsWhileEditingAndCanvasPressIsIgnored) {
    press(VK_F2);
    send(mouse(WM_LBUTTONDOWN, 1000, 100));
    EXPECT_EQ(map.selectedNode, root());
    EXPECT_TRUE(map.isEditing);

    clickButton(0);  // add child, edit still open
    ASSERT_EQ(root()->children.size(), 1u);
    EXPECT_EQ(map.selectedNode, root()->children[0]);
    EXPECT_TRUE(map.isEditing);
    EXPECT_EQ(map.editText, u"中心主题");

    clickButton(3);  // edit again: the buffer restarts from the new selection's caption
    EXPECT_EQ(map.editText, u"新节点");
    clickButton(9);
    EXPECT_TRUE(map.showHelp);
    EXPECT_TRUE(map.isEditing);
}

TEST_F(DispatchTest, PanelEdgeAndGapsBetweenButtons) {
    // Buttons span x 10..210; the gap rows between two buttons hit nothing.
    send(mouse(WM_LBUTTONDOWN, 210, 115));  // bottom-right corner of button 0
    EXPECT_EQ(root()->children.size(), 1u);
    send(mouse(WM_LBUTTONDOWN, 211, 90));
    send(mouse(WM_LBUTTONDOWN, 9, 90));
    send(mouse(WM_LBUTTONDOWN, 100, 120));
    send(mouse(WM_LBUTTONDOWN, 100, 600));
    EXPECT_EQ(root()->children.size(), 1u);
    EXPECT_FALSE(map.showHelp);
}

TEST_F(DispatchTest, PanelEdgeSplitsPanelAndCanvas) {
    // The root dragged partly under the panel can be grabbed only at x >= 220.
    root()->x = 150;
    send(mouse(WM_LBUTTONDOWN, 1000, 100));
    ASSERT_EQ(map.selectedNode, nullptr);
    send(mouse(WM_LBUTTONDOWN, 219, 400));
    EXPECT_EQ(map.selectedNode, nullptr);
    EXPECT_FALSE(map.isDragging);
    send(mouse(WM_LBUTTONDOWN, 220, 400));
    EXPECT_EQ(map.selectedNode, root());
    EXPECT_TRUE(map.isDragging);
}

TEST_F(DispatchTest, DragKeepsThePressOffsetUntilRelease) {
    send(mouse(WM_LBUTTONDOWN, 830, 385));
    send(mouse(WM_MOUSEMOVE, 500, 300, Gfx::kMouseLeft));
    EXPECT_EQ(root()->x, 470);
    EXPECT_EQ(root()->y, 290);
    send(mouse(WM_MOUSEMOVE, 600, 300));  // button not held: no move
    EXPECT_EQ(root()->x, 470);
    send(mouse(WM_LBUTTONUP, 600, 300));
    send(mouse(WM_MOUSEMOVE, 700, 100, Gfx::kMouseLeft));
    EXPECT_EQ(root()->x, 470);
    EXPECT_EQ(root()->y, 290);

    // Held button after a press on empty canvas or the panel moves nothing.
    send(mouse(WM_LBUTTONDOWN, 1300, 50));
    send(mouse(WM_MOUSEMOVE, 700, 100, Gfx::kMouseLeft));
    send(mouse(WM_LBUTTONDOWN, 100, 600));
    send(mouse(WM_MOUSEMOVE, 700, 100, Gfx::kMouseLeft));
    EXPECT_EQ(root()->x, 470);
}

TEST_F(DispatchTest, AReleaseOutsideTheWindowEndsTheDragAtTheNextMove) {
    // The release outside is never heard; the pointer comes back with the button up.
    send(mouse(WM_LBUTTONDOWN, 830, 385));
    send(mouse(WM_MOUSEMOVE, 500, 300, Gfx::kMouseLeft));
    send(mouse(WM_MOUSEMOVE, 520, 310));
    EXPECT_FALSE(map.isDragging);
    // A press on the panel's empty part, then a move with the button held, moves no node.
    send(mouse(WM_LBUTTONDOWN, 100, 700));
    send(mouse(WM_MOUSEMOVE, 900, 600, Gfx::kMouseLeft));
    EXPECT_EQ(root()->x, 470);
    EXPECT_EQ(root()->y, 290);
}

TEST_F(DispatchTest, ModesStopADragUnderWay) {
    send(mouse(WM_LBUTTONDOWN, 810, 380));
    press('H');
    send(mouse(WM_MOUSEMOVE, 300, 300, Gfx::kMouseLeft));
    EXPECT_EQ(root()->x, 800);
    press('H');
    press(VK_F2);
    send(mouse(WM_MOUSEMOVE, 300, 300, Gfx::kMouseLeft));
    EXPECT_EQ(root()->x, 800);
    press(VK_ESCAPE);
    clickButton(8);
    send(mouse(WM_MOUSEMOVE, 300, 300, Gfx::kMouseLeft));
    EXPECT_EQ(root()->x, 800);
    press(VK_ESCAPE);
    send(mouse(WM_MOUSEMOVE, 310, 305, Gfx::kMouseLeft));  // the drag itself was never ended
    EXPECT_EQ(root()->x, 300);
    EXPECT_EQ(root()->y, 300);
}

TEST_F(DispatchTest, HoverFollowsMouseMovesInEveryMode) {
    clickButton(8);
    send(mouse(WM_MOUSEMOVE, kButtonX, buttonY(0)));
    EXPECT_TRUE(map.buttons[0].isHovered);
    send(mouse(WM_MOUSEMOVE, kButtonX, buttonY(1)));
    EXPECT_FALSE(map.buttons[0].isHovered);
    EXPECT_TRUE(map.buttons[1].isHovered);
    press(VK_SPACE);
    send(mouse(WM_LBUTTONDOWN, 5, 5));
    EXPECT_TRUE(map.buttons[1].isHovered);  // only moves change the highlight
    send(mouse(WM_MOUSEMOVE, 600, 600));
    for (const Button& button : map.buttons) EXPECT_FALSE(button.isHovered);
}

TEST_F(DispatchTest, RightClickNeedsASelectionAndNoMode) {
    send(mouse(WM_LBUTTONDOWN, 1300, 50));
    ASSERT_EQ(map.selectedNode, nullptr);
    send(mouse(WM_RBUTTONDOWN, 810, 380));  // over the root, but nothing is selected
    EXPECT_TRUE(root()->children.empty());

    send(mouse(WM_LBUTTONDOWN, 810, 380));
    press(VK_F2);
    send(mouse(WM_RBUTTONDOWN, 810, 380));
    press(VK_ESCAPE);
    clickButton(7);
    send(mouse(WM_RBUTTONDOWN, 810, 380));
    EXPECT_TRUE(root()->children.empty());
}

TEST_F(DispatchTest, HeldKeysRepeatTheirCommand) {
    send(mouse(WM_RBUTTONDOWN, 0, 0));
    Gfx::InputMessage repeat = key(VK_SPACE);
    repeat.key.keyFlags = 2;  // already down
    for (int i = 0; i < 3; ++i) send(repeat);
    EXPECT_EQ(root()->children.size(), 4u);

    send(mouse(WM_RBUTTONDOWN, 0, 0));
    send(mouse(WM_RBUTTONDOWN, 0, 0));
    Gfx::InputMessage del = key(VK_DELETE);
    del.key.keyFlags = 2;
    for (int i = 0; i < 10; ++i) send(del);
    EXPECT_EQ(map.selectedNode, root());
    EXPECT_EQ(root()->children.size(), 3u);  // one delete per press, up the tree to the root
}

TEST_F(DispatchTest, PathDialogTakesEveryLeftPress) {
    clickButton(7);
    clickButton(0);  // on the panel, but the dialog has the button
    send(mouse(WM_LBUTTONDOWN, 810, 380));
    EXPECT_TRUE(root()->children.empty());
    EXPECT_TRUE(map.showFileDialog);
    for (std::uint8_t code : Keys{VK_SPACE, VK_F2, 'F'}) press(code);
    ctrl('Z');
    EXPECT_TRUE(root()->children.empty());
    EXPECT_FALSE(map.isEditing);

    send(mouse(WM_LBUTTONDOWN, 670, 270));  // Cancel
    EXPECT_FALSE(map.showFileDialog);
}

TEST_F(DispatchTest, ControlIsAskedOnlyForTheLettersThatNeedIt) {
    press(VK_SPACE);
    press('1');
    send(mouse(WM_RBUTTONDOWN, 0, 0));
    EXPECT_EQ(controlQueries, 0);
    ctrl('Z');
    EXPECT_EQ(controlQueries, 1);
}

TEST(PanelCommandTest, UnknownIdsDoNothing) {
    MindMap map;
    runPanelCommand(map, -1);
    runPanelCommand(map, 10);
    EXPECT_TRUE(map.root->children.empty());
    EXPECT_FALSE(map.isEditing || map.showHelp || map.showFileDialog);
}

}  // namespace

namespace {

TEST_F(DispatchTest, AFailedSaveSaysSoUntilTheNextCommand) {
    ctrl('S');
    type(u"/nonexistent-folder/a.mind");
    const PathDialogLayout dialog = pathDialogLayout(kPanelWidth);
    testing::internal::CaptureStderr();
    send(mouse(WM_LBUTTONDOWN, dialog.ok.left + 5, dialog.ok.top + 5));
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_FALSE(map.fileFailure.empty());
    EXPECT_EQ(map.fileFailure.rfind(u"保存失败: /nonexistent-folder/a.mind: ", 0), 0u);
    // Pointer moves, releases and characters are no commands.
    send(mouse(WM_MOUSEMOVE, 600, 600));
    send(mouse(WM_LBUTTONUP, 600, 600));
    send(character(u'x'));
    EXPECT_FALSE(map.fileFailure.empty());
    press('Q');  // a key that does nothing still ends the message
    EXPECT_TRUE(map.fileFailure.empty());

    ctrl('O');
    type(u"/nonexistent-folder/b.mind");
    testing::internal::CaptureStderr();
    send(mouse(WM_LBUTTONDOWN, dialog.ok.left + 5, dialog.ok.top + 5));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(map.fileFailure.rfind(u"打开失败: ", 0), 0u);
    send(mouse(WM_RBUTTONDOWN, 5, 5));
    EXPECT_TRUE(map.fileFailure.empty());
}

}  // namespace
