// The real editor under X, driven with XTest: mouse and key commands, caption editing with
// Latin and Chinese text, the panel, help, saving and opening through the path dialog, and the
// two ways to end the program. Every step waits for the frame that shows its effect.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/e2e/editor_fixture.h"

namespace {

using namespace e2e;

class EditorE2E : public EditorFixture {};

TEST_F(EditorE2E, ClicksRightClicksAndDrags) {
    launch();
    EXPECT_TRUE(nodeShows(800, 375, kSelected));

    session.click(300, 650, 3);  // a child under the selection, wherever the pointer is
    EXPECT_TRUE(nodeShows(800, 475, kSelected));
    EXPECT_TRUE(nodeShows(800, 375, kDefaultFill));

    session.click(810, 380);
    EXPECT_TRUE(nodeShows(800, 375, kSelected));
    EXPECT_TRUE(nodeShows(800, 475, kDefaultFill));

    session.click(1300, 60);  // empty canvas: nothing selected
    EXPECT_TRUE(nodeShows(800, 375, kDefaultFill));
    session.click(1300, 60, 3);
    ASSERT_TRUE(session.settle(kEditorPatience));
    EXPECT_EQ(session.colourAt(probeX(800), probeY(575)), kWhite);

    // Press 10, 5 into the root's box and drag: the box keeps that offset.
    session.drag(810, 380, 510, 180);
    EXPECT_TRUE(nodeShows(500, 175, kSelected));
    EXPECT_TRUE(session.waitForColour(805, 383, kWhite, kEditorPatience));  // clear of the new connector
    EXPECT_TRUE(nodeShows(800, 475, kDefaultFill));                         // the child stays where it was
    quitWithEscape();
}

TEST_F(EditorE2E, CaptionEditingWithLatinAndChineseText) {
    ASSERT_TRUE(session.x.mapCharacters(U"中文"));
    launch();
    session.tap(XK_F2);
    ASSERT_TRUE(editBoxOpen());
    for (int i = 0; i < 4; ++i) session.tap(XK_BackSpace);
    session.type("ab");
    session.x.typeCharacter(U'中');
    session.tap(XK_Return);
    ASSERT_TRUE(editBoxClosed());

    // An abandoned edit changes nothing.
    session.tap(XK_F2);
    ASSERT_TRUE(editBoxOpen());
    session.type("zz");
    session.x.typeCharacter(U'文');
    session.tap(XK_Escape);
    ASSERT_TRUE(editBoxClosed());

    saveWithShortcut("caption.mind");
    EXPECT_EQ(readBytes(dir / "caption.mind"),
              "\xEF\xBB\xBFnode: 800 375 120 45 220 220 220 0 0 0 0 \"ab中\"\n");
    quitWithEscape();
}

TEST_F(EditorE2E, KeyCommandsUndoRedoAndSave) {
    launch();
    session.click(1300, 650, 3);  // child A at (800, 475)
    ASSERT_TRUE(nodeShows(800, 475, kSelected));
    session.tap(XK_2);
    session.tap(XK_5);
    session.click(810, 380);
    ASSERT_TRUE(nodeShows(800, 475, kGreen));

    session.click(1300, 650, 3);                  // child B at (880, 475)
    ASSERT_TRUE(nodeShows(960, 475, kSelected));  // B's part right of A
    session.tap(XK_z, {XK_Control_L});
    ASSERT_TRUE(session.waitForColour(1003, 517, kWhite, kEditorPatience));
    session.tap(XK_y, {XK_Control_L});
    ASSERT_TRUE(session.waitForColour(1003, 517, kDefaultFill, kEditorPatience));

    session.click(1003, 500);  // select B, add a sibling C at (960, 475), delete it again
    session.tap(XK_space);
    ASSERT_TRUE(session.waitForColour(1093, 517, kSelected, kEditorPatience));
    session.tap(XK_Delete);
    ASSERT_TRUE(session.waitForColour(1093, 517, kWhite, kEditorPatience));

    session.click(810, 380);
    session.tap(XK_f);  // collapse the root: A and B disappear
    ASSERT_TRUE(session.waitForColour(1003, 517, kWhite, kEditorPatience));
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    saveWithShortcut("keys.mind");
    EXPECT_EQ(readBytes(dir / "keys.mind"),
              "\xEF\xBB\xBFnode: 800 375 140 45 220 220 220 0 0 0 1 \"中心主题\"\n"
              "  node: 800 475 140 45 180 220 180 255 255 255 0 \"新节点\"\n"
              "  node: 880 475 140 45 220 220 220 0 0 0 0 \"新节点\"\n");
    quitWithEscape();
}

TEST_F(EditorE2E, PanelButtonsAndHelpScreen) {
    launch();
    session.click(100, 90);  // 添加子节点
    ASSERT_TRUE(nodeShows(800, 475, kSelected));
    session.click(100, 320);  // 撤销
    ASSERT_TRUE(session.waitForColour(probeX(800), probeY(475), kWhite, kEditorPatience));
    session.click(100, 365);  // 重做
    ASSERT_TRUE(nodeShows(800, 475, kDefaultFill));

    session.click(100, 495);  // 帮助
    ASSERT_TRUE(session.waitForColour(963, 543, kBoxFill, kEditorPatience));
    session.tap(XK_space);  // blocked while help is shown
    session.tap(XK_h);
    ASSERT_TRUE(session.waitForOtherColour(963, 543, kBoxFill, kEditorPatience));

    session.click(100, 410);  // 保存
    confirmPath("panel.mind");
    EXPECT_EQ(readBytes(dir / "panel.mind"),
              "\xEF\xBB\xBFnode: 800 375 140 45 220 220 220 0 0 0 0 \"中心主题\"\n"
              "  node: 800 475 140 45 220 220 220 0 0 0 0 \"新节点\"\n");

    // Escape with the help screen shown ends the program.
    session.click(100, 495);
    ASSERT_TRUE(session.waitForColour(963, 543, kBoxFill, kEditorPatience));
    quitWithEscape();
}

TEST_F(EditorE2E, OpenReplacesTheMapAndEscapeClosesTheDialogFirst) {
    std::ofstream(dir / "in.mind", std::ios::binary)
        << "\xEF\xBB\xBFnode: 300 100 140 45 220 220 220 0 0 0 0 \"r\"\n"
           "  node: 600 300 140 45 180 220 180 0 0 0 0 \"c\"\n";
    launch();
    session.tap(XK_o, {XK_Control_L});
    confirmPath("in.mind");
    EXPECT_TRUE(nodeShows(300, 100, kSelected));
    EXPECT_TRUE(nodeShows(600, 300, kGreen));
    EXPECT_TRUE(session.waitForColour(probeX(800), probeY(375), kWhite, kEditorPatience));

    session.tap(XK_s, {XK_Control_L});
    ASSERT_TRUE(dialogOpen());
    session.type("x");
    session.tap(XK_Escape);
    ASSERT_TRUE(dialogClosed());
    ASSERT_TRUE(session.settle(kEditorPatience));  // still running
    EXPECT_FALSE(fs::exists(dir / "x"));
    quitWithEscape();
}

TEST_F(EditorE2E, CloseButtonEndsTheProgramWithCodeZero) {
    launch();
    session.sendCloseRequest();
    const auto code = session.waitForExit(kEditorPatience);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
}

TEST_F(EditorE2E, WithoutADisplayItSaysSoAndFails) {
    for (const std::string& display : {std::string("DISPLAY"), std::string("DISPLAY=:4999")}) {
        EditorSession headless;
        ASSERT_TRUE(headless.start(MM_EDITOR_PATH, dir.string(), {display}));
        const auto code = headless.waitForExit(kEditorPatience);
        ASSERT_TRUE(code.has_value()) << display << ": still running or killed";
        EXPECT_NE(*code, 0) << display;
        // The editor's own line ends the output (the platform layer may add its own before it).
        const std::string err = readBytes(dir / "stderr.txt");
        ASSERT_FALSE(err.empty()) << display << ": exit code " << *code
                                  << ", output: " << readBytes(dir / "stdout.txt");
        EXPECT_EQ(err.back(), '\n') << display;
        const std::string lastLine = err.substr(err.rfind('\n', err.size() - 2) + 1);
        EXPECT_EQ(lastLine.rfind("mindmap: ", 0), 0u) << display << ": " << err;
    }
}

}  // namespace
