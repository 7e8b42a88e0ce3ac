// Maps whose captions are far wider than any drawing surface (an unbroken run of 100,000
// characters), opened in the real editor and exported by the real program: both stay up and
// draw the caption clipped to its box.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/editor_fixture.h"

namespace {

using namespace e2e;

class LongCaptionE2E : public EditorFixture {
  protected:
    // The root at (800, 375), 140 × 45, with black text, and one child below it.
    void writeMap(const std::string& name, const std::string& caption) {
        std::ofstream(dir / name, std::ios::binary)
            << "\xEF\xBB\xBFnode: 800 375 140 45 220 220 220 0 0 0 0 \"" << caption << "\"\n"
            << "  node: 800 500 140 45 180 220 180 0 0 0 0 \"R&D\"\n";
    }

    // Dark pixels (the caption's ink) in the caption's first line of a box at (x, y).
    int captionInk(int x, int y) {
        int dark = 0;
        for (std::uint32_t c : session.colours(x + 1, y + 1, 138, 22)) {
            const int sum = static_cast<int>((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF));
            dark += sum < 200 ? 1 : 0;
        }
        return dark;
    }
};

TEST_F(LongCaptionE2E, EditorOpensDrawsAndMovesAHundredThousandCharacterCaption) {
    for (const std::string& unit : {std::string("W"), std::string("中")}) {
        std::string caption;
        for (int i = 0; i < 100000; ++i) caption += unit;
        writeMap("long.mind", caption);
        launch({}, {"long.mind"});
        ASSERT_TRUE(nodeShows(800, 375, kSelected)) << unit;
        EXPECT_GT(captionInk(800, 375), 100) << unit;
        // Moved, the caption is drawn again at its new place.
        session.drag(800 + 70, 375 + 40, 700 + 70, 300 + 40);
        ASSERT_TRUE(nodeShows(700, 300, kSelected)) << unit;
        ASSERT_TRUE(session.settle(kEditorPatience));
        EXPECT_GT(captionInk(700, 300), 100) << unit;
        EXPECT_TRUE(nodeShows(800, 500, kGreen));
        quitWithEscape();
        // The move was unsaved work, kept as a recovery copy the next start would offer over
        // the canvas; this test starts afresh.
        std::filesystem::remove_all(dir / "state");
    }
}

TEST_F(LongCaptionE2E, ExportWritesThePictureOfAHundredThousandCharacterCaption) {
    writeMap("long.mind", std::string(100000, 'c'));
    const std::string command = std::string("'") + MM_EDITOR_PATH + "' export '" +
                                (dir / "long.mind").string() + "' '" + (dir / "long.png").string() + "' 2>'" +
                                (dir / "err.txt").string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
    EXPECT_EQ(WEXITSTATUS(status), 0) << readBytes(dir / "err.txt");
    EXPECT_EQ(readBytes(dir / "long.png").substr(1, 3), "PNG");
}

}  // namespace
