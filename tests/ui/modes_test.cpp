// Caption editing, the help toggle and the two text buffers.
#include <gtest/gtest.h>

#include <string>

#include "app/model/mind_map.h"
#include "graphics/graphics.h"
#include "tests/ui/text_target.h"

namespace {

const auto* const textTarget = ::testing::AddGlobalTestEnvironment(new EditorTextTarget);

int measured(const std::u16string& text) {
    return Gfx::getTextWidth(text.c_str());
}

class ModesTest : public ::testing::Test {
  protected:
    void type(const std::u16string& text) {
        for (char16_t ch : text) map.handleCharInput(ch);
    }
    MindMap map;
};

TEST_F(ModesTest, RetypedShortCaptionGetsTheMinimumWidth) {
    map.addChildNode();
    Node* child = map.selectedNode;
    map.startEditing();
    ASSERT_EQ(map.editText, u"新节点");
    for (int i = 0; i < 3; ++i) map.handleCharInput(8);
    type(u"A");
    map.finishEditing();
    EXPECT_FALSE(map.isEditing);
    EXPECT_EQ(child->text, u"A");
    EXPECT_EQ(child->width, 120);
    EXPECT_EQ(child->height, 45);
    EXPECT_EQ(map.undoStack.size(), 1u);  // the edit records nothing
}

TEST_F(ModesTest, WidthFollowsTheMeasuredCaptionWithinBounds) {
    Node* root = map.root;
    const std::u16string middle = u"思维导图制作器测试用例";
    const std::u16string wide = u"一个非常非常长的中文节点标题文字内容";
    ASSERT_GE(measured(middle) + 40, 120);
    ASSERT_LT(measured(middle) + 40, 300);
    ASSERT_GE(measured(wide) + 40, 300);

    root->text = middle;
    map.updateNodeWidth(root);
    EXPECT_EQ(root->width, measured(middle) + 40);
    root->text = wide;
    map.updateNodeWidth(root);
    EXPECT_EQ(root->width, 300);
    root->text.clear();
    map.updateNodeWidth(root);
    EXPECT_EQ(root->width, 120);
    map.updateNodeWidth(nullptr);
}

TEST_F(ModesTest, EditBufferHoldsFiftyUnits) {
    map.startEditing();
    map.editText.clear();
    type(std::u16string(49, u'x'));
    type(u"\U0001F600");  // a pair: only its first unit fits
    EXPECT_EQ(map.editText.size(), 50u);
    EXPECT_EQ(map.editText.back(), u'\xD83D');
    type(u"y");
    EXPECT_EQ(map.editText.size(), 50u);
    map.handleCharInput(8);
    EXPECT_EQ(map.editText, std::u16string(49, u'x'));
}

TEST_F(ModesTest, EditBufferTakesLineFeedsAndNonAsciiButNoOtherControls) {
    map.startEditing();
    map.editText.clear();
    type(u"a\nb\tc\r中");
    map.handleCharInput(0);
    map.handleCharInput(27);
    EXPECT_EQ(map.editText, u"a\nbc中");
}

TEST_F(ModesTest, PathBufferTakesPrintableAsciiOnly) {
    map.showSaveDialog();
    type(u"a b~\t\n中é\x7f/");
    EXPECT_EQ(map.filePath, u"a b~/");
    map.handleCharInput(8);
    EXPECT_EQ(map.filePath, u"a b~");
}

TEST_F(ModesTest, CancelKeepsTheCaptionAndTheNextEditRestartsFromIt) {
    const int width = map.root->width;
    map.startEditing();
    type(u"xyz");
    map.cancelEditing();
    EXPECT_FALSE(map.isEditing);
    EXPECT_EQ(map.root->text, u"中心主题");
    EXPECT_EQ(map.root->width, width);
    EXPECT_EQ(map.editText, u"中心主题xyz");  // kept until the next edit starts
    map.startEditing();
    EXPECT_EQ(map.editText, u"中心主题");
}

TEST_F(ModesTest, EditNeedsASelectionToStartAndToCommit) {
    map.selectedNode = nullptr;
    map.startEditing();
    EXPECT_FALSE(map.isEditing);

    map.selectedNode = map.root;
    map.startEditing();
    map.selectedNode = nullptr;
    map.finishEditing();
    EXPECT_TRUE(map.isEditing);  // stays open until Escape
    map.cancelEditing();
    EXPECT_FALSE(map.isEditing);
    EXPECT_EQ(map.root->text, u"中心主题");

    map.finishEditing();  // not editing: nothing to commit
    EXPECT_EQ(map.root->text, u"中心主题");
}

TEST_F(ModesTest, CommitGoesToTheNodeSelectedAtThatMoment) {
    map.startEditing();
    type(u"!");
    map.addChildNode();
    Node* child = map.selectedNode;
    map.finishEditing();
    EXPECT_EQ(child->text, u"中心主题!");
    EXPECT_EQ(map.root->text, u"中心主题");
}

TEST_F(ModesTest, EditingOutranksThePathDialogForTypedCharacters) {
    map.startEditing();
    map.showOpenDialog();
    type(u"ab");
    EXPECT_EQ(map.editText, u"中心主题ab");
    EXPECT_TRUE(map.filePath.empty());
    map.finishEditing();
    type(u"ab");
    EXPECT_EQ(map.filePath, u"ab");
}

TEST_F(ModesTest, HelpTogglesAndClosingTheDialogKeepsThePath) {
    map.toggleHelp();
    EXPECT_TRUE(map.showHelp);
    map.toggleHelp();
    EXPECT_FALSE(map.showHelp);

    map.showOpenDialog();
    type(u"p.mind");
    map.closeFileDialog();
    EXPECT_FALSE(map.showFileDialog);
    EXPECT_EQ(map.filePath, u"p.mind");
    EXPECT_FALSE(map.isSaveDialog);
}

}  // namespace
