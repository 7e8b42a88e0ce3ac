// The editor under test, started in a folder of its own: the waits and steps the end-to-end
// suites share (launch, the path dialog, saving, ending with Escape).
#pragma once

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/editor_session.h"

namespace e2e {

namespace fs = std::filesystem;

inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kSelected = 0xB48246;
inline constexpr std::uint32_t kDefaultFill = 0xDCDCDC;
inline constexpr std::uint32_t kGreen = 0xB4DCB4;
inline constexpr std::uint32_t kBoxFill = 0xF0F0F0;
inline constexpr std::uint32_t kTextBoxOutline = 0x969696;

// Probe points clear of captions, grid lines and overlaps, by box position.
constexpr int probeX(int nodeX) {
    return nodeX + 3;
}
constexpr int probeY(int nodeY) {
    return nodeY + 42;
}

inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class EditorFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        dir = fs::temp_directory_path() /
              ("mm_e2e_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
        fs::create_directories(dir);
        ASSERT_TRUE(session.connected()) << "no X display";
    }
    void TearDown() override {
        // What the editor said is the first clue to a failure (a sanitizer's report, say).
        if (HasFailure()) {
            const std::string said = readBytes(dir / "stderr.txt");
            if (!said.empty()) std::fprintf(stderr, "the editor's standard error:\n%s\n", said.c_str());
        }
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // Starts the editor in `dir` with extra environment entries and waits for its first frame.
    void launch(const std::vector<std::string>& env = {}) {
        ASSERT_TRUE(session.start(MM_EDITOR_PATH, dir.string(), env));
        if (!session.waitForWindow(kPatience)) {
            // Where the editor is stuck tells more than the missing window.
            const std::string command = "gdb -p " + std::to_string(session.pid()) +
                                        " -batch -ex 'thread apply all bt' >&2 2>/dev/null";
            [[maybe_unused]] const int status = std::system(command.c_str());
            FAIL() << "no window titled mindmap";
        }
        ASSERT_TRUE(session.waitForFirstFrame(kPatience));
    }

    bool nodeShows(int x, int y, std::uint32_t fill) {
        return session.waitForColour(probeX(x), probeY(y), fill, kPatience);
    }

    bool editBoxOpen() { return session.waitForColour(400, 10, kTextBoxOutline, kPatience); }
    bool editBoxClosed() { return session.waitForOtherColour(400, 10, kTextBoxOutline, kPatience); }

    bool dialogOpen() {
        return session.waitUntil(
            [&] { return session.colourAt(425, 155) == kBoxFill && session.colourAt(790, 225) == kWhite; },
            kPatience);
    }
    bool dialogClosed() { return session.waitForOtherColour(425, 155, kBoxFill, kPatience); }

    // Types the path into the open dialog and presses OK; returns once the dialog is gone.
    void confirmPath(const std::string& name) {
        ASSERT_TRUE(dialogOpen());
        session.typeAscii(name);
        ASSERT_TRUE(session.settle(kPatience));
        session.click(520, 290);
        ASSERT_TRUE(dialogClosed());
    }

    void saveWithShortcut(const std::string& name) {
        session.tapWithControl(XK_s);
        confirmPath(name);
    }

    void quitWithEscape() {
        session.tapKey(XK_Escape);
        const auto code = session.waitForExit(kPatience);
        ASSERT_TRUE(code.has_value()) << "the editor did not end";
        EXPECT_EQ(*code, 0);
    }

    EditorSession session;
    fs::path dir;
};

}  // namespace e2e
