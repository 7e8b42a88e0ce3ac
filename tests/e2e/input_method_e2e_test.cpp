// Chinese typed the way Chinese users type it on Linux: through a real input method (fcitx5
// with pinyin, ibus with libpinyin) on the test's X display, into the real editor. Each case
// checks the saved bytes of the caption, and every wait is for a state the input method or
// the window reports.
#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) would break gtest's headers: Xlib comes after.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <fstream>
#include <memory>
#include <string>

#include "tests/e2e/editor_fixture.h"
#include "tests/e2e/input_method_server.h"

namespace {

using namespace e2e;

// A server's first start on a busy machine loads its dictionaries: give it time.
constexpr std::chrono::milliseconds kServerPatience{30000};

// The caption of the only node of a map file, or the whole file when it is not one.
std::string rootCaption(const std::string& bytes) {
    const auto first = bytes.find('"');
    const auto last = bytes.rfind('"');
    if (first == std::string::npos || last <= first) return bytes;
    return bytes.substr(first + 1, last - first - 1);
}

class InputMethodE2E : public EditorFixture {
  protected:
    void TearDown() override {
        server.reset();  // before its home goes
        EditorFixture::TearDown();
    }

    // Starts the server; false (with the test skipped) when it is not installed.
    bool startServer(InputMethodKind kind) {
        if (!InputMethodServer::installed(kind)) return false;
        server = std::make_unique<InputMethodServer>(kind, dir / ("im-home-" + std::to_string(++servers)));
        std::string why;
        const bool started = server->start(session.x, kServerPatience, &why);
        EXPECT_TRUE(started) << why;
        return started;
    }

    void launchFor(InputMethodKind kind, const std::string& lang = "C.UTF-8") {
        const std::string modifiers =
            kind == InputMethodKind::Fcitx ? "XMODIFIERS=@im=fcitx" : "XMODIFIERS=@im=ibus";
        launch({modifiers, "LANG=" + lang, "LC_ALL", "LC_CTYPE"});
    }

    void startEditing() {
        session.tap(XK_F2);
        ASSERT_TRUE(editBoxOpen());
    }

    void chinese(bool on) {
        ASSERT_TRUE(server->chinese(on, kEditorPatience))
            << "the input method did not turn " << (on ? "on" : "off") << "; it says: " << server->state();
    }

    // The server running, the editor started for it, a caption being edited and Chinese on.
    void editWithChinese(InputMethodKind kind, const std::string& lang = "C.UTF-8") {
        ASSERT_TRUE(startServer(kind));
        ASSERT_NO_FATAL_FAILURE(launchFor(kind, lang));
        ASSERT_NO_FATAL_FAILURE(startEditing());
        chinese(true);
    }

    // How many columns of the edit box hold dark (text) pixels; the blinking caret is one.
    int editTextColumns() {
        constexpr int kLeft = 235, kTop = 22, kWidth = 400, kHeight = 16;
        const std::vector<std::uint32_t> block = session.colours(kLeft, kTop, kWidth, kHeight);
        int columns = 0;
        for (int x = 0; x < kWidth && !block.empty(); ++x) {
            for (int y = 0; y < kHeight; ++y) {
                const std::uint32_t c = block[static_cast<std::size_t>(y * kWidth + x)];
                if ((c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80) {
                    ++columns;
                    break;
                }
            }
        }
        return columns;
    }

    // Types pinyin and commits the first candidate with Space.
    void typePinyin(const std::string& letters) {
        session.type(letters);
        session.tap(XK_space);
    }

    // Ends the edit with Enter (which the input method passes on once nothing is composed:
    // the edit box closes only after every key before it went through), ends the input
    // method so that typing falls back to plain keys, saves, and returns the caption. (Keys
    // through an input method may arrive after a later click: the path could miss the OK.)
    std::string commitAndSave() {
        session.tap(XK_Return);
        EXPECT_TRUE(editBoxClosed()) << "Enter did not end the edit";
        server.reset();
        saveWithShortcut("typed.mind");
        return rootCaption(readBytes(dir / "typed.mind"));
    }

    std::unique_ptr<InputMethodServer> server;
    int servers = 0;
};

#define REQUIRE_SERVER(kind)                                                                   \
    do {                                                                                       \
        if (!InputMethodServer::installed(kind)) GTEST_SKIP() << "input method not installed"; \
    } while (0)

class PinyinUnderLocale : public InputMethodE2E, public ::testing::WithParamInterface<const char*> {};

// Whatever LANG says ("C" too), the program runs under a UTF-8 character locale set at its
// start, and the input method's committed text arrives.
TEST_P(PinyinUnderLocale, CommittedChineseReachesTheCaption) {
    REQUIRE_SERVER(InputMethodKind::Fcitx);
    ASSERT_NO_FATAL_FAILURE(editWithChinese(InputMethodKind::Fcitx, GetParam()));
    typePinyin("nihao");
    EXPECT_EQ(commitAndSave(), "中心主题你好");
    quitWithEscape();
}

INSTANTIATE_TEST_SUITE_P(Lang, PinyinUnderLocale, ::testing::Values("C", "C.UTF-8", "zh_CN.UTF-8"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (c == '.' || c == '-') c = '_';
                             }
                             return name;
                         });

TEST_F(InputMethodE2E, ChoosingTheSecondCandidateAndLatinWithPinyinOff) {
    REQUIRE_SERVER(InputMethodKind::Fcitx);
    ASSERT_NO_FATAL_FAILURE(editWithChinese(InputMethodKind::Fcitx));
    // A fresh profile ranks the candidates of "zhongwen" as 中文, 中温, 钟文, ...
    session.type("zhongwen2");
    session.tap(XK_Return);  // reaches the editor only after the keys before it
    ASSERT_TRUE(editBoxClosed());
    startEditing();
    chinese(false);
    session.type("ab");
    EXPECT_EQ(commitAndSave(), "中心主题中温ab");
    quitWithEscape();
}

TEST_F(InputMethodE2E, BackspaceAndEscapeInsideACompositionBelongToTheInputMethod) {
    REQUIRE_SERVER(InputMethodKind::Fcitx);
    ASSERT_NO_FATAL_FAILURE(editWithChinese(InputMethodKind::Fcitx));
    // Backspace edits the composition, not the caption.
    session.type("nihaoo");
    session.tap(XK_BackSpace);
    session.tap(XK_space);
    // Escape abandons the composition only: the edit goes on, and Enter keeps it.
    session.type("zaijian");
    session.tap(XK_Escape);
    EXPECT_EQ(commitAndSave(), "中心主题你好");
    quitWithEscape();
}

TEST_F(InputMethodE2E, CandidateWindowOpensAtTheCaret) {
    REQUIRE_SERVER(InputMethodKind::Fcitx);
    ASSERT_TRUE(startServer(InputMethodKind::Fcitx));
    ASSERT_NO_FATAL_FAILURE(launchFor(InputMethodKind::Fcitx));
    startEditing();
    for (int i = 0; i < 4; ++i) session.tap(XK_BackSpace);  // the caret at the box's start
    chinese(true);
    session.type("nihao");

    const ScreenRect editor = session.x.screenRect(session.window());
    // The empty edit box's caret: x = panel 220 + 17, from y = 15 to 45 in the window.
    constexpr int kCaretX = 237;
    constexpr int kCaretBottom = 45;
    std::optional<ScreenRect> popup;
    const bool atCaret = waitUntil(
        [&] {
            const XWindow candidates = session.x.windowTitled("Fcitx5 Input Window");
            if (candidates == 0) return false;
            popup = session.x.screenRect(candidates);
            const int x = popup->x - editor.x;
            const int y = popup->y - editor.y;
            return x >= kCaretX - 40 && x <= kCaretX + 40 && y >= kCaretBottom && y <= kCaretBottom + 40;
        },
        kEditorPatience);
    EXPECT_TRUE(atCaret) << (popup
                                 ? "the candidate window is at (" + std::to_string(popup->x - editor.x) +
                                       ", " + std::to_string(popup->y - editor.y) + ") of the editor's window"
                                 : std::string("no candidate window showed"));
    session.tap(XK_space);
    EXPECT_EQ(commitAndSave(), "你好");
    quitWithEscape();
}

TEST_F(InputMethodE2E, AServerThatStartsOrRestartsLaterIsUsed) {
    REQUIRE_SERVER(InputMethodKind::Fcitx);
    ASSERT_NO_FATAL_FAILURE(launchFor(InputMethodKind::Fcitx));  // fcitx is not running yet: plain keys
    ASSERT_TRUE(startServer(InputMethodKind::Fcitx));
    startEditing();
    chinese(true);  // fcitx reports "on" only for an input context of the editor's
    typePinyin("nihao");
    session.tap(XK_Return);
    ASSERT_TRUE(editBoxClosed());

    // The server goes away and a new one comes.
    server.reset();
    ASSERT_TRUE(startServer(InputMethodKind::Fcitx));
    startEditing();
    chinese(true);
    typePinyin("zaijian");
    EXPECT_EQ(commitAndSave(), "中心主题你好再见");
    quitWithEscape();
}

// A server that is listed and owns its selection but never answers (hung, or still starting):
// the editor starts anyway and types plain keys.
TEST_F(InputMethodE2E, AServerThatNeverAnswersDoesNotHangTheEditor) {
    Display* display = session.x.display();
    const Window mute = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom servers = XInternAtom(display, "XIM_SERVERS", False);
    Atom name = XInternAtom(display, "@server=mute", False);
    XSetSelectionOwner(display, name, mute, CurrentTime);
    XChangeProperty(display, DefaultRootWindow(display), servers, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<unsigned char*>(&name), 1);
    XSync(display, False);
    ASSERT_TRUE(inputMethodServerListed(session.x, "mute"));

    ASSERT_NO_FATAL_FAILURE(launch({"XMODIFIERS=@im=mute", "LANG=C.UTF-8", "LC_ALL"}));
    startEditing();
    session.type("ab");
    EXPECT_EQ(commitAndSave(), "中心主题ab");
    quitWithEscape();
    XDestroyWindow(display, mute);  // gives up the selection
    XSync(display, False);
}

TEST_F(InputMethodE2E, IbusPinyinReachesTheCaption) {
    REQUIRE_SERVER(InputMethodKind::Ibus);
    ASSERT_NO_FATAL_FAILURE(editWithChinese(InputMethodKind::Ibus, "C"));
    const int before = editTextColumns();
    typePinyin("nihao");
    // ibus may pass a key on before the text the key before it committed: wait for the text
    // before pressing Enter.
    EXPECT_TRUE(waitUntil([&] { return editTextColumns() >= before + 10; }, kEditorPatience))
        << "the edit box did not show the committed text: " << before << " columns of text before, "
        << editTextColumns() << " now";
    EXPECT_EQ(commitAndSave(), "中心主题你好");
    quitWithEscape();
}

// The find box takes the input method's text as the edit box does: pinyin committed there
// finds the node whose caption holds it, beyond the window, and Enter brings it into view.
TEST_F(InputMethodE2E, CommittedChineseFindsACaption) {
    REQUIRE_SERVER(InputMethodKind::Fcitx);
    {
        std::ofstream file(dir / "far.mind", std::ios::binary);
        file << "\xEF\xBB\xBFnode: 800 375 140 45 220 220 220 0 0 0 0 \"中心主题\"\n"
                "  node: 5000 3000 140 45 220 220 220 0 0 0 0 \"说你好\"\n";
    }
    ASSERT_TRUE(startServer(InputMethodKind::Fcitx));
    launch({"XMODIFIERS=@im=fcitx", "LANG=C.UTF-8", "LC_ALL", "LC_CTYPE"}, {"far.mind"});
    ASSERT_TRUE(nodeShows(800, 375, kSelected));
    session.tap(XK_f, {XK_Control_L});
    ASSERT_TRUE(session.waitForColour(1100, 10, kTextBoxOutline, kEditorPatience)) << "no find box";
    chinese(true);
    typePinyin("nihao");
    session.tap(XK_Return);
    // The far node, selected, shown whole at the canvas's bottom right.
    EXPECT_TRUE(session.waitForColour(1300, 705, kSelected, kServerPatience));
    server.reset();
    session.tap(XK_Escape);
    EXPECT_TRUE(session.waitForOtherColour(1100, 10, kTextBoxOutline, kEditorPatience))
        << "Escape left it open";
    quitWithEscape();
}

}  // namespace
