// A failed save or open shows in the window, not only on the console: the status bar says why
// in red until the next command, and then the window is exactly as before.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/editor_fixture.h"

namespace e2e {
namespace {

constexpr int kBarTop = 730;
constexpr int kBarHeight = 20;

class FileFailureE2E : public EditorFixture {
  protected:
    std::vector<std::uint32_t> statusBar() { return session.colours(0, kBarTop, 1380, kBarHeight); }
    static bool showsRed(const std::vector<std::uint32_t>& pixels) {
        for (const std::uint32_t pixel : pixels) {
            const unsigned red = pixel & 0xFF, green = (pixel >> 8) & 0xFF, blue = (pixel >> 16) & 0xFF;
            if (red > 150 && green < 90 && blue < 90) return true;
        }
        return false;
    }
    // The bar once the frames after the last input are on screen.
    std::vector<std::uint32_t> settledBar() {
        EXPECT_TRUE(session.settle(kEditorPatience));
        return statusBar();
    }
};

TEST_F(FileFailureE2E, AFailedSaveAndOpenShowInRedUntilTheNextCommand) {
    fs::create_directories(dir / "adir");
    launch();
    // The picture after a good save and a key: the closed dialog's drawing state, which the
    // next frames start from, is part of it.
    saveWithShortcut("good.mind");
    session.tap(XK_q);
    const std::vector<std::uint32_t> good = settledBar();
    ASSERT_FALSE(good.empty());
    EXPECT_FALSE(showsRed(good));

    saveWithShortcut("adir");  // a folder: refused
    const std::vector<std::uint32_t> failedSave = settledBar();
    EXPECT_NE(failedSave, good);
    EXPECT_TRUE(showsRed(failedSave));
    session.tap(XK_q);  // no command of its own, but the next key all the same
    EXPECT_EQ(settledBar(), good);

    session.tap(XK_o, {XK_Control_L});
    confirmPath("no-such-file.mind");
    const std::vector<std::uint32_t> failedOpen = settledBar();
    EXPECT_TRUE(showsRed(failedOpen));
    EXPECT_NE(failedOpen, failedSave) << "it says which command failed";
    session.tap(XK_q);
    EXPECT_EQ(settledBar(), good);
    quitWithEscape();
}

}  // namespace
}  // namespace e2e
