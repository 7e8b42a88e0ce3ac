// The editor under test, started in a folder of its own: the waits and steps the end-to-end
// suites share (launch, the path dialog, saving, ending with Escape).
#pragma once

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/editor_session.h"
#include "tests/support/scratch_dir.h"

namespace e2e {

namespace fs = std::filesystem;
using namespace mmtest;

class EditorFixture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(session.connected()) << "no X display"; }
    void TearDown() override {
        // What the editor said is the first clue to a failure (a sanitizer's report, say).
        if (HasFailure()) {
            const std::string said = readBytes(dir / "stderr.txt");
            if (!said.empty()) std::fprintf(stderr, "the editor's standard error:\n%s\n", said.c_str());
        }
    }

    // Starts the editor in `dir` with extra environment entries and arguments and waits for its
    // first frame.
    void launch(const std::vector<std::string>& env = {}, const std::vector<std::string>& args = {}) {
        ASSERT_TRUE(session.start(MM_EDITOR_PATH, dir.string(), env, args));
        if (!session.waitForWindow(kEditorPatience)) {
            // Where the editor is stuck tells more than the missing window.
            const std::string command = "gdb -p " + std::to_string(session.pid()) +
                                        " -batch -ex 'thread apply all bt' >&2 2>/dev/null";
            [[maybe_unused]] const int status = std::system(command.c_str());
            FAIL() << "no window titled mindmap";
        }
        ASSERT_TRUE(session.waitForFirstFrame(kEditorPatience));
    }

    bool nodeShows(int x, int y, std::uint32_t fill) {
        return session.waitForColour(probeX(x), probeY(y), fill, kEditorPatience);
    }

    bool editBoxOpen() { return session.waitForColour(400, 10, kTextBoxOutline, kEditorPatience); }
    bool editBoxClosed() { return session.waitForOtherColour(400, 10, kTextBoxOutline, kEditorPatience); }

    bool dialogOpen() { return session.waitForPathDialog(kEditorPatience); }
    bool dialogClosed() { return session.waitForPathDialogClosed(kEditorPatience); }

    // Types the path into the open dialog and presses OK; returns once the dialog is gone.
    void confirmPath(const std::string& name) {
        ASSERT_TRUE(session.enterPath(name, kEditorPatience));
        ASSERT_TRUE(dialogClosed());
    }

    void saveWithShortcut(const std::string& name) {
        session.tap(XK_s, {XK_Control_L});
        confirmPath(name);
    }

    void quitWithEscape() {
        session.tap(XK_Escape);
        const auto code = session.waitForExit(kEditorPatience);
        ASSERT_TRUE(code.has_value()) << "the editor did not end";
        EXPECT_EQ(*code, 0);
    }

    ScratchDir scratch{"mm_e2e"};
    const fs::path& dir = scratch.path();
    EditorSession session;
};

}  // namespace e2e
