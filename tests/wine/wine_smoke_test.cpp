// The Windows build of the editor under Wine, driven like a user with real X input: a
// right-click adds a child, Ctrl+S, a typed path and OK save the map, whose bytes must be
// exactly the two-node map; the wheel pans, Ctrl+wheel zooms and Ctrl+0 comes back; Escape then
// ends the program with exit code 0. Ctrl+C and Ctrl+V reach the desktop's clipboard (xclip
// stands for the other program).
// scripts/wine-smoke.sh runs it with MM_WINE_EDITOR set to mindmap.exe and WINEPREFIX to a
// prepared prefix.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/command_output.h"
#include "tests/support/editor_session.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using namespace mmtest;

// Wine starts slower than the native program, the first time in a prefix most of all.
constexpr std::chrono::milliseconds kWinePatience{60000};

class WineSmoke : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* editor = std::getenv("MM_WINE_EDITOR");
        ASSERT_TRUE(editor != nullptr && fs::is_regular_file(editor))
            << "MM_WINE_EDITOR must name mindmap.exe of a Windows build";
        ASSERT_TRUE(std::getenv("WINEPREFIX") != nullptr) << "WINEPREFIX must name a prepared prefix";
        ASSERT_TRUE(session.connected()) << "no X display";
        // The session starts a program without arguments: a launcher hands the editor to Wine.
        launcher = dir / "run-mindmap.sh";
        std::ofstream(launcher) << "#!/bin/sh\nexec wine '" << editor << "'\n";
        fs::permissions(launcher, fs::perms::owner_all);
    }
    void TearDown() override {
        if (HasFailure()) {
            scratch.keep();
            std::printf("kept for a look: %s (Wine's output in stderr.txt)\n", dir.c_str());
        }
    }

    bool nodeShows(int x, int y, std::uint32_t fill) {
        return session.waitForColour(probeX(x), probeY(y), fill, kWinePatience);
    }

    ScratchDir scratch{"mm_wine_smoke"};
    const fs::path& dir = scratch.path();
    fs::path launcher;
    EditorSession session;
};

TEST_F(WineSmoke, RightClickSaveAndEscape) {
    ASSERT_TRUE(session.start(launcher.string(), dir.string()));
    // Wine's process, not the launcher, owns the window.
    ASSERT_TRUE(session.waitForWindow(kWinePatience, EditorSession::WindowOwner::Anyone))
        << "no window titled mindmap";
    ASSERT_TRUE(session.waitForFirstFrame(kWinePatience));
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    session.click(1300, 650, 3);  // a child under the selected root
    ASSERT_TRUE(nodeShows(800, 475, kSelected));
    ASSERT_TRUE(nodeShows(800, 375, kDefaultFill));

    // Control stays down until the dialog shows, as a person's finger would. The editor asks
    // GetAsyncKeyState(VK_CONTROL) when its loop dispatches the S, which can be after a quick
    // release, and Wine keeps no "pressed since the last query" bit for VK_CONTROL.
    session.x.key(XK_Control_L, true);
    session.tap(XK_s);
    const bool opened = session.waitForPathDialog(kWinePatience);
    session.x.key(XK_Control_L, false);
    ASSERT_TRUE(opened) << "Ctrl+S did not open the path dialog";
    ASSERT_TRUE(session.enterPath("smoke.mind", kWinePatience));
    const fs::path saved = dir / "smoke.mind";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(saved); }, kWinePatience)) << "no file saved";
    const std::string expected =
        "\xEF\xBB\xBFnode: 800 375 140 45 220 220 220 0 0 0 0 \"中心主题\"\n"
        "  node: 800 475 140 45 220 220 220 0 0 0 0 \"新节点\"\n";
    // The file is renamed into place complete, so its first sight is its final content.
    EXPECT_EQ(readBytes(saved), expected);
    ASSERT_TRUE(session.waitForPathDialogClosed(kWinePatience)) << "the dialog stayed open";

    // A wheel step pans the map down, Ctrl+wheel zooms to 125 % around the pointer (the box's
    // top left stays), and Ctrl+0 gives back the original view.
    session.wheel(600, 200, 1);
    ASSERT_TRUE(nodeShows(800, 535, kSelected)) << "the wheel did not pan";
    session.wheel(800, 535, 1, {XK_Control_L});
    ASSERT_TRUE(session.waitForColour(955, 585, kSelected, kWinePatience)) << "Ctrl+wheel did not zoom";
    session.x.key(XK_Control_L, true);
    session.tap(XK_0);
    const bool back = nodeShows(800, 475, kSelected);
    session.x.key(XK_Control_L, false);
    ASSERT_TRUE(back) << "Ctrl+0 did not give back the original view";

    session.tap(XK_Escape);
    const auto code = session.waitForExit(kWinePatience);
    ASSERT_TRUE(code.has_value()) << "the editor did not end";
    EXPECT_EQ(*code, 0);
}

}  // namespace

namespace {

std::string output(const std::string& command) {
    return mmtest::commandOutput(command);
}

std::string withoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

TEST_F(WineSmoke, CopyAndPasteThroughTheDesktopsClipboard) {
    if (std::system("command -v xclip >/dev/null 2>&1") != 0) GTEST_SKIP() << "xclip is not installed";
    ASSERT_TRUE(session.start(launcher.string(), dir.string()));
    ASSERT_TRUE(session.waitForWindow(kWinePatience, EditorSession::WindowOwner::Anyone));
    ASSERT_TRUE(session.waitForFirstFrame(kWinePatience));
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    // Control held until the copy shows, as for Ctrl+S above.
    session.x.key(XK_Control_L, true);
    session.tap(XK_c);
    const bool copied = waitUntil(
        [] { return withoutCarriageReturns(output("xclip -selection clipboard -o")) == "中心主题\n"; },
        kWinePatience);
    session.x.key(XK_Control_L, false);
    EXPECT_TRUE(copied) << "the clipboard holds: " << output("xclip -selection clipboard -o");

    std::ofstream(dir / "clip.txt") << "wine paste\n\tchild\n";
    ASSERT_EQ(std::system(("xclip -selection clipboard -i '" + (dir / "clip.txt").string() +
                           "' </dev/null >/dev/null 2>&1")
                              .c_str()),
              0);
    // Wine's clipboard thread learns of another X program's copy when its selection event comes
    // in, after xclip has returned; a paste before that reads Wine's older clipboard. On
    // Windows the clipboard is one, and a paste right after a copy reads that copy.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    session.x.key(XK_Control_L, true);
    session.tap(XK_v);
    const bool pasted = session.waitForOtherColour(probeX(800), probeY(375), kSelected, kWinePatience);
    session.x.key(XK_Control_L, false);
    ASSERT_TRUE(pasted) << "Ctrl+V pasted nothing (the root is still selected)";

    session.x.key(XK_Control_L, true);
    session.tap(XK_s);
    const bool opened = session.waitForPathDialog(kWinePatience);
    session.x.key(XK_Control_L, false);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(session.enterPath("clip.mind", kWinePatience));
    const fs::path saved = dir / "clip.mind";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(saved); }, kWinePatience)) << "no file saved";
    const std::string map = readBytes(saved);
    EXPECT_NE(map.find("\n  node: 800 475 "), std::string::npos) << map;
    EXPECT_NE(map.find("\"wine paste\"\n    node: "), std::string::npos) << map;
    EXPECT_NE(map.find("\"child\""), std::string::npos) << map;
    ASSERT_TRUE(session.waitForPathDialogClosed(kWinePatience));

    session.tap(XK_Escape);
    const auto code = session.waitForExit(kWinePatience);
    ASSERT_TRUE(code.has_value()) << "the editor did not end";
    EXPECT_EQ(*code, 0);
}

}  // namespace
