// The real editor with the desktop's clipboard, through xclip as the other program: a copied
// branch read as text, text pasted as a branch, a branch copied in one editor and pasted in
// another with its colours, and a path pasted into the path dialog.
#include <cstdio>
#include <string>

#include "tests/e2e/editor_fixture.h"
#include "tests/support/command_output.h"

namespace e2e {
namespace {

std::string output(const std::string& command) {
    return mmtest::commandOutput(command);
}

bool haveXclip() {
    return std::system("command -v xclip >/dev/null 2>&1") == 0;
}

// xclip owns the clipboard with text (it serves it from a process of its own until another
// client takes the clipboard).
bool putText(const fs::path& dir, const std::string& text) {
    const fs::path file = dir / "clip.txt";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) return false;
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    return std::system(("xclip -selection clipboard -i '" + file.string() + "' </dev/null >/dev/null 2>&1")
                           .c_str()) == 0;
}

class ClipboardE2E : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        if (!haveXclip()) GTEST_SKIP() << "xclip is not installed (scripts/deps.sh installs it)";
    }
    std::string saved(const std::string& name) {
        saveWithShortcut(name);
        return readBytes(dir / name);
    }
};

TEST_F(ClipboardE2E, ACopiedBranchIsTextForOtherProgramsAndTextPastesAsABranch) {
    launch();
    session.click(900, 400, 3);  // a child under the root, selected
    ASSERT_TRUE(session.settle(kEditorPatience));
    session.tap(XK_c, {XK_Control_L});
    ASSERT_TRUE(session.settle(kEditorPatience));
    EXPECT_EQ(output("xclip -selection clipboard -o"), "\xE6\x96\xB0\xE8\x8A\x82\xE7\x82\xB9\n");  // 新节点
    const std::string targets = output("xclip -selection clipboard -o -t TARGETS");
    EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
    EXPECT_NE(targets.find("MindMap.Branch"), std::string::npos) << targets;

    ASSERT_TRUE(putText(dir, "plan\n\tstep one\n    step\\ttwo\n"));
    session.tap(XK_v, {XK_Control_L});
    ASSERT_TRUE(session.settle(kEditorPatience));
    const std::string map = saved("pasted.mind");
    EXPECT_NE(map.find("\n    node: "), std::string::npos) << map;  // depth 2: below the child
    EXPECT_NE(map.find("\"plan\""), std::string::npos) << map;
    EXPECT_NE(map.find("      node: "), std::string::npos) << map;
    EXPECT_NE(map.find("\"step\ttwo\""), std::string::npos) << map;
    quitWithEscape();
}

TEST_F(ClipboardE2E, ABranchCopiedInOneEditorPastesInAnotherWithItsColours) {
    launch();
    session.click(900, 400, 3);
    session.tap(XK_2);  // light green
    session.tap(XK_5);  // white caption
    session.tap(XK_c, {XK_Control_L});
    ASSERT_TRUE(session.settle(kEditorPatience));

    ScratchDir otherDir{"mm_e2e_other"};
    EditorSession other;
    ASSERT_TRUE(other.start(MM_EDITOR_PATH, otherDir.path().string()));
    ASSERT_TRUE(other.waitForWindow(kEditorPatience));
    ASSERT_TRUE(other.waitForFirstFrame(kEditorPatience));
    other.tap(XK_v, {XK_Control_L});
    ASSERT_TRUE(other.settle(kEditorPatience));
    other.tap(XK_s, {XK_Control_L});
    ASSERT_TRUE(other.enterPath("other.mind", kEditorPatience));
    ASSERT_TRUE(other.waitForPathDialogClosed(kEditorPatience));
    const std::string map = readBytes(otherDir.path() / "other.mind");
    EXPECT_NE(map.find("  node: 800 475 140 45 180 220 180 255 255 255 0 \""), std::string::npos) << map;
    other.tap(XK_Escape);
    EXPECT_EQ(other.waitForExit(kEditorPatience), 0);
    quitWithEscape();
}

TEST_F(ClipboardE2E, APathPastesIntoThePathDialog) {
    launch();
    ASSERT_TRUE(putText(dir, "from-clipboard.mind\nsecond line"));
    session.tap(XK_s, {XK_Control_L});
    ASSERT_TRUE(dialogOpen());
    session.tap(XK_v, {XK_Control_L});
    ASSERT_TRUE(session.enterPath("", kEditorPatience));
    ASSERT_TRUE(dialogClosed());
    EXPECT_TRUE(fs::exists(dir / "from-clipboard.mind"));
    quitWithEscape();
}

}  // namespace
}  // namespace e2e
