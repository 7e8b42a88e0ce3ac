// Copy, cut and paste through the keys, with a fake clipboard in the system's place: the two
// forms put there, branches rebuilt from either, other programs' text outlines (mixed
// indentation, blank lines, escapes, hostile sizes and depths), Ctrl+V into the edit box and the
// path dialog, and the failures shown in the status bar's line.
#include "app/ui/clipboard.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/model/mind_map.h"
#include "app/ui/clipboard_branch.h"
#include "app/ui/dispatch.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "tests/ui/input_helpers.h"
#include "tests/ui/text_measure.h"

using namespace test_input;

namespace {

class FakeClipboard final : public Clipboard {
  public:
    bool put(const std::string& lines, const std::u16string& outline) override {
        ++puts;
        if (busy) return false;
        mapLines = lines;
        text = outline;
        hasMapLines = true;
        return true;
    }
    Content get(bool wantMapLines) override {
        Content content;
        if (busy) {
            content.kind = Content::Kind::Busy;
        } else if (silentOwner) {
            content.kind = Content::Kind::NoAnswer;
        } else if (wantMapLines && hasMapLines) {
            content.kind = Content::Kind::MapLines;
            content.mapLines = mapLines;
        } else if (!text.empty()) {
            content.kind = Content::Kind::Text;
            content.text = text;
        }
        return content;
    }
    // What another program put there: text alone.
    void setText(std::u16string outline) {
        hasMapLines = false;
        mapLines.clear();
        text = std::move(outline);
    }

    std::string mapLines;
    std::u16string text;
    bool hasMapLines = false;
    bool busy = false;
    bool silentOwner = false;
    int puts = 0;
};

class ClipboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousClipboard = replaceClipboard(&fake);
        previousImage = Gfx::getWorkingImage();
        Gfx::setWorkingImage(&image);
        measure.emplace(60);  // every caption 60 pixels: boxes of 120
    }
    void TearDown() override {
        replaceClipboard(previousClipboard);
        measure.reset();
        Gfx::setWorkingImage(previousImage);
    }

    void send(const Gfx::InputMessage& message) { dispatchInput(map, message, running, fakeControl); }
    void ctrl(std::uint8_t code) {
        controlDown = true;
        send(key(code));
        controlDown = false;
    }
    Node* addChild(Node* parent) {
        map.selectedNode = parent;
        map.addChildNode();
        return map.selectedNode;
    }

    FakeClipboard fake;
    Clipboard* previousClipboard = nullptr;
    Gfx::IMAGE image{8, 8};
    Gfx::IMAGE* previousImage = nullptr;
    std::optional<TextMeasure> measure;
    MindMap map;
    bool running = true;
};

TEST_F(ClipboardTest, CopyPutsBothFormsAndPasteKeepsCaptionsColoursAndShape) {
    Node* top = addChild(map.root);
    top->text = u"a \"quoted\"\nline\\";
    Node* child = addChild(top);
    child->fillColor = 0xB4DCB4;
    child->textColor = 0xFFFFFF;
    addChild(child);
    map.selectedNode = child;
    map.toggleCollapse();
    map.selectedNode = top;
    ctrl('C');
    EXPECT_EQ(fake.text, u"a \"quoted\"\\nline\\\\\n\t新节点\n\t\t新节点\n");
    EXPECT_EQ(fake.mapLines, branchMapLines(*top));
    EXPECT_EQ(map.root->children.size(), 1u);  // a copy changes nothing
    const std::size_t entries = map.undoStack.size();

    map.selectedNode = map.root;
    ctrl('V');
    ASSERT_EQ(map.root->children.size(), 2u);
    const Node* pasted = map.root->children[1];
    EXPECT_EQ(map.selectedNode, pasted);
    EXPECT_EQ(map.undoStack.size(), entries + 1);
    EXPECT_EQ(pasted->text, top->text);
    EXPECT_EQ(pasted->x, 880);
    EXPECT_EQ(pasted->y, 475);
    const Node* pastedChild = pasted->children.at(0);
    EXPECT_EQ(pastedChild->fillColor, 0xB4DCB4u);
    EXPECT_EQ(pastedChild->textColor, 0xFFFFFFu);
    EXPECT_TRUE(pastedChild->collapsed);
    EXPECT_EQ(pastedChild->x - pasted->x, child->x - top->x);
    EXPECT_EQ(pastedChild->children.at(0)->y - pasted->y, 200);

    ctrl('Z');
    EXPECT_EQ(map.root->children.size(), 1u);
    ctrl('Y');
    EXPECT_EQ(map.root->children.size(), 2u);
}

TEST_F(ClipboardTest, CutCopiesThenDeletesButNeverTheRoot) {
    Node* top = addChild(map.root);
    top->text = u"cut me";
    ctrl('X');
    EXPECT_TRUE(map.root->children.empty());
    EXPECT_EQ(map.selectedNode, map.root);
    ctrl('X');  // the root stays, and is not even copied
    EXPECT_EQ(fake.puts, 1);
    ctrl('V');
    ASSERT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(map.root->children[0]->text, u"cut me");
    ctrl('Z');
    ctrl('Z');  // the cut, undone like a delete
    ASSERT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(map.root->children[0], top);

    fake.busy = true;  // a clipboard that cannot be taken: nothing is deleted
    map.selectedNode = top;
    ctrl('X');
    EXPECT_EQ(map.root->children.size(), 1u);
    EXPECT_FALSE(map.fileFailure.empty());
}

TEST_F(ClipboardTest, KeysNeedControlAndWaitForModes) {
    Node* top = addChild(map.root);
    send(key('C'));
    send(key('V'));
    send(key('X'));
    EXPECT_EQ(fake.puts, 0);
    EXPECT_EQ(map.root->children.size(), 1u);
    map.toggleHelp();
    ctrl('C');
    EXPECT_EQ(fake.puts, 0);
    map.toggleHelp();
    fake.setText(u"other");
    map.selectedNode = top;
    map.startEditing();
    ctrl('V');  // typed into the edit box, no node pasted
    EXPECT_TRUE(top->children.empty());
    EXPECT_EQ(map.editText, u"新节点other");
}

TEST_F(ClipboardTest, PastedTextBuildsTheBranchByItsIndentation) {
    // Tabs and spaces mixed (a tab reaches the next multiple of four), blank lines, CR LF ends,
    // escapes and a control character kept in a caption.
    fake.setText(u"top\r\n    one\r\n\r\n\ttwo\\nlines\n\t\tdeep\x01\n  \n\t three\n");
    map.selectedNode = nullptr;
    ctrl('V');
    ASSERT_EQ(map.root->children.size(), 1u);
    const Node* top = map.root->children[0];
    EXPECT_EQ(map.selectedNode, top);
    EXPECT_EQ(top->text, u"top");
    EXPECT_EQ(top->x, 800);
    EXPECT_EQ(top->y, 475);
    ASSERT_EQ(top->children.size(), 2u);
    EXPECT_EQ(top->children[0]->text, u"one");
    EXPECT_EQ(top->children[1]->text, u"two\nlines");
    ASSERT_EQ(top->children[1]->children.size(), 2u);
    EXPECT_EQ(top->children[1]->children[0]->text, u"deep\x01");
    EXPECT_EQ(top->children[1]->children[1]->text, u"three");
    EXPECT_EQ(top->width, 120);              // fitted to the caption's measure
    EXPECT_GT(top->children[0]->y, top->y);  // laid out downwards, as an import is

    fake.setText(u"just one line");
    map.selectedNode = map.root;
    ctrl('V');
    ASSERT_EQ(map.root->children.size(), 2u);
    EXPECT_EQ(map.root->children[1]->text, u"just one line");
    EXPECT_TRUE(map.root->children[1]->children.empty());
    EXPECT_TRUE(map.fileFailure.empty());
}

TEST_F(ClipboardTest, HostileTextIsRefusedWithAVisibleLineAndChangesNothing) {
    const std::size_t entries = map.undoStack.size();
    auto refused = [&](std::u16string text) {
        fake.setText(std::move(text));
        map.fileFailure.clear();
        map.selectedNode = map.root;
        ctrl('V');
        EXPECT_TRUE(map.root->children.empty());
        EXPECT_EQ(map.undoStack.size(), entries);
        return map.fileFailure;
    };
    std::u16string deep;
    for (int i = 0; i <= kMaxDepth; ++i) deep += std::u16string(static_cast<std::size_t>(i), u'\t') + u"x\n";
    EXPECT_NE(refused(deep), u"");
    EXPECT_NE(refused(std::u16string(kMaxPastedLines + 1, u'\n') + u"x"), u"");
    EXPECT_NE(refused(std::u16string(u"a\0b", 3)), u"");              // NUL: no text outline
    EXPECT_NE(refused(std::u16string(kMaxPastedLines, u'\n')), u"");  // nothing but blank lines
    EXPECT_NE(refused(u" \t \r\n"), u"");

    // A branch that fits under the root but not under a node deep down.
    std::u16string chain;
    for (int i = 0; i < kMaxDepth - 1; ++i)
        chain += std::u16string(static_cast<std::size_t>(i), u'\t') + u"x\n";
    fake.setText(chain);
    map.selectedNode = addChild(map.root);
    map.fileFailure.clear();
    ctrl('V');
    EXPECT_FALSE(map.fileFailure.empty());
    EXPECT_TRUE(map.selectedNode->children.empty());
    map.selectedNode = map.root;
    ctrl('V');
    EXPECT_EQ(map.root->children.size(), 2u);

    // The next command clears the line.
    send(key('1'));
    EXPECT_TRUE(map.fileFailure.empty());
}

TEST_F(ClipboardTest, AnOwnerThatNeverAnswersIsReported) {
    fake.silentOwner = true;
    ctrl('V');
    EXPECT_NE(map.fileFailure.find(u"没有应答"), std::u16string::npos);
    EXPECT_TRUE(map.root->children.empty());
    map.showOpenDialog();
    map.fileFailure.clear();
    ctrl('V');
    EXPECT_FALSE(map.fileFailure.empty());
    map.closeFileDialog();

    // A clipboard another program keeps open is reported too.
    fake.silentOwner = false;
    fake.busy = true;
    map.fileFailure.clear();
    ctrl('V');
    EXPECT_NE(map.fileFailure.find(u"被占用"), std::u16string::npos);
    EXPECT_TRUE(map.root->children.empty());
}

TEST_F(ClipboardTest, CtrlVTypesTheFirstLineIntoTheEditBoxAndThePath) {
    fake.setText(u"路径 /tmp/a b.mind\r\nsecond line");
    map.showOpenDialog();
    map.filePath.clear();
    ctrl('V');
    EXPECT_EQ(map.filePath, u" /tmp/a b.mind");  // only what typing accepts: printable ASCII
    send(key(VK_ESCAPE));

    // The edit box stops at its 50 units, and never splits a character in two.
    map.selectedNode = map.root;
    map.startEditing();
    map.editText = std::u16string(48, u'x');
    fake.setText(u"a\U0001F600b");
    ctrl('V');
    EXPECT_EQ(map.editText, std::u16string(48, u'x') + u"a");
    EXPECT_TRUE(map.isEditing);
    map.editText.clear();
    fake.setText(u"\U0001F600z");
    ctrl('V');
    EXPECT_EQ(map.editText, u"\U0001F600z");
    EXPECT_TRUE(map.root->children.empty());
}

TEST_F(ClipboardTest, MapLinesThatHoldNoNodeAreRefusedOrReadAsTheText) {
    fake.hasMapLines = true;
    fake.mapLines = "garbage";
    ctrl('V');
    EXPECT_FALSE(map.fileFailure.empty());
    EXPECT_TRUE(map.root->children.empty());
    // An owner that answers every target with its text.
    fake.text = u"plain\n\tchild";
    fake.mapLines = "plain\n\tchild";
    ctrl('V');
    ASSERT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(map.root->children[0]->text, u"plain");
    EXPECT_EQ(map.root->children[0]->children.size(), 1u);
}

}  // namespace
