// The loop's passes with and without skipping frames: the same scripted input gives the same
// picture after every pass, the carets blink on the same passes, and an idle loop waits
// instead of waking. Frames go to off-screen images; input goes through the graphics layer's
// queue as the window thread would put it there.
#include "app/ui/event_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/render/text_caret.h"
#include "app/ui/text_style.h"
#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "graphics/library_state.h"
#include "tests/ui/input_helpers.h"

using namespace test_input;

namespace {

constexpr std::uint8_t kLeftHeld = 4;

int buttonY(int id) {
    return panelButtonRect(kPanelWidth, id).top + 10;
}

// Input that arrives before a pass, then passes with no input at all.
struct Step {
    std::vector<Gfx::InputMessage> input;
    int quietPasses = 0;
    bool control = false;  // Control held while the step's keys are dispatched
};

Gfx::InputMessage kindOnly(std::uint16_t kind) {
    Gfx::InputMessage m{};
    m.kind = kind;
    return m;
}

std::vector<Step> userSession() {
    const int root = 850;  // a point inside the root box at (800, 375)
    return {
        {{mouse(WM_MOUSEMOVE, 600, 600)}, 3},
        {{mouse(WM_LBUTTONDOWN, root, 395)}, 2},
        {{mouse(WM_MOUSEMOVE, root + 20, 420, kLeftHeld), mouse(WM_MOUSEMOVE, root + 40, 440, kLeftHeld)}, 1},
        {{mouse(WM_MOUSEMOVE, root + 60, 460, kLeftHeld)}, 0},
        {{mouse(WM_LBUTTONUP, root + 60, 460)}, 4},
        {{mouse(WM_RBUTTONDOWN, 1200, 100), kindOnly(WM_RBUTTONUP)}, 2},
        {{key(VK_F2)}, 7},
        {{character(u'a'), character(u'b'), kindOnly(WM_KEYUP)}, 40},
        {{key(VK_BACK)}, 16},
        {{key('C'), character(u'c')}, 29},
        {{key(VK_RETURN)}, 3},
        {{key('H')}, 5},
        {{kindOnly(WM_MOUSEWHEEL), kindOnly(WM_MBUTTONDOWN)}, 2},
        {{key('H')}, 1},
        {{key('S')}, 0, true},
        {{character(u'x'), character(u'.'), character(u'm')}, 35},
        {{key(VK_BACK)}, 12},
        {{key(VK_ESCAPE)}, 2},
        {{key('Z')}, 1, true},
        {{key('Y')}, 1, true},
        {{mouse(WM_MOUSEMOVE, 100, buttonY(5))}, 2},
        {{mouse(WM_MOUSEMOVE, 100, buttonY(6))}, 1},
        // Editing, then the panel's help and save buttons: both carets may blink at once.
        {{key(VK_F2)}, 4},
        {{mouse(WM_LBUTTONDOWN, 100, buttonY(9)), mouse(WM_LBUTTONUP, 100, buttonY(9))}, 3},
        {{mouse(WM_LBUTTONDOWN, 100, buttonY(7)), mouse(WM_LBUTTONUP, 100, buttonY(7))}, 70},
        {{key(VK_ESCAPE)}, 9},
        {{key(VK_ESCAPE)}, 2},
        {{key('H')}, 3},
        {{key('2'), character(u'2'), key(VK_SPACE)}, 4},
    };
}

void deliver(const Gfx::InputMessage& message) {
    ASSERT_NE(Gfx::library.graphWindow, nullptr);
    Gfx::library.graphWindow->queue.deliver(message);
}

// One editor and the image its frames go to.
struct Editor {
    explicit Editor(bool skipping) : image(std::make_unique<Gfx::IMAGE>(kWindowWidth, kWindowHeight)) {
        Gfx::setWorkingImage(image.get());
        applyEditorTextStyle();
        map = std::make_unique<MindMap>();
        loop = std::make_unique<EventLoop>(*map, fakeControl);
        loop->setFrameSkipping(skipping);
    }
    ~Editor() {
        loop.reset();
        map.reset();
        Gfx::setWorkingImage(nullptr);
    }
    bool pass(const std::vector<Gfx::InputMessage>& input) {
        Gfx::setWorkingImage(image.get());
        for (const auto& message : input) deliver(message);
        return loop->runPass();
    }
    std::vector<std::uint32_t> pixels() const {
        const DWORD* buffer = Gfx::getImageBuffer(image.get());
        return {buffer, buffer + kWindowWidth * kWindowHeight};
    }

    std::unique_ptr<Gfx::IMAGE> image;
    std::unique_ptr<MindMap> map;
    std::unique_ptr<EventLoop> loop;
};

class EventLoopTest : public ::testing::Test {
  protected:
    void SetUp() override { controlDown = false; }
    void TearDown() override { controlDown = false; }
};

TEST_F(EventLoopTest, SkippingFramesLeavesEveryPassesPictureAsDrawingEachOne) {
    Editor everyPass(false);
    Editor skipping(true);
    int pass = 0;
    for (const Step& step : userSession()) {
        for (int i = 0; i <= step.quietPasses; ++i, ++pass) {
            const std::vector<Gfx::InputMessage> input =
                i == 0 ? step.input : std::vector<Gfx::InputMessage>{};
            controlDown = step.control && i == 0;
            everyPass.pass(input);
            skipping.pass(input);
            ASSERT_EQ(skipping.map->editCaretCounter, everyPass.map->editCaretCounter) << "pass " << pass;
            ASSERT_EQ(skipping.map->pathCaretCounter, everyPass.map->pathCaretCounter) << "pass " << pass;
            ASSERT_TRUE(skipping.pixels() == everyPass.pixels()) << "the pictures differ after pass " << pass;
        }
    }
    EXPECT_EQ(everyPass.loop->framesDrawn(), static_cast<std::uint64_t>(pass));
    EXPECT_EQ(skipping.loop->passes(), static_cast<std::uint64_t>(pass));
    // The script has far more quiet passes than passes with input or a caret change.
    EXPECT_LT(skipping.loop->framesDrawn() * 3, everyPass.loop->framesDrawn());
}

TEST_F(EventLoopTest, TheCaretShowsFifteenPassesAndHidesFifteen) {
    Editor editor(true);
    // The first frame, and the one that starts from the drawing state the first one left.
    ASSERT_TRUE(editor.pass({}));
    ASSERT_TRUE(editor.pass({}));
    ASSERT_FALSE(editor.pass({}));
    ASSERT_TRUE(editor.pass({key(VK_F2)}));  // the box opens with its caret shown
    std::vector<int> drawnAt;
    for (int pass = 1; pass <= 90; ++pass) {
        if (editor.pass({})) drawnAt.push_back(pass);
    }
    // The pass after the box opened starts from the state its frame left (the box's outline
    // colour); then the first frame's count 1 showed the caret, count 15 hides it, 30 shows it.
    EXPECT_EQ(drawnAt, (std::vector<int>{1, 14, 29, 44, 59, 74, 89}));
    EXPECT_EQ(editor.map->editCaretCounter, 91);
}

// A scripted clock: waits return at their time-out, or early when input is due.
class ScriptedTiming final : public LoopTiming {
  public:
    struct Arrival {
        std::int64_t at;
        Gfx::InputMessage message;
    };
    explicit ScriptedTiming(std::vector<Arrival> arrivals) : pending(std::move(arrivals)) {}

    std::int64_t nowMs() override { return now; }
    void pause(DWORD milliseconds) override {
        ++pauses;
        advanceTo(now + milliseconds);
    }
    bool waitForInput(DWORD milliseconds) override {
        timeouts.push_back(milliseconds);
        const std::int64_t until = milliseconds == INFINITE ? INT64_MAX : now + milliseconds;
        if (!pending.empty() && pending.front().at <= until) {
            advanceTo(std::max(now, pending.front().at));
            return true;
        }
        if (until == INT64_MAX) {
            ADD_FAILURE() << "the loop waits forever with nothing left to come";
            deliver(key(VK_ESCAPE));
            return true;
        }
        advanceTo(until);
        return false;
    }

    std::int64_t now = 0;
    std::vector<DWORD> timeouts;
    int pauses = 0;

  private:
    void advanceTo(std::int64_t time) {
        now = time;
        while (!pending.empty() && pending.front().at <= now) {
            deliver(pending.front().message);
            pending.erase(pending.begin());
        }
    }
    std::vector<Arrival> pending;
};

TEST_F(EventLoopTest, AnIdleLoopWaitsForInputWithoutWakingAndAnswersAtOnce) {
    Editor editor(true);
    // Ten idle seconds, a right-click, ten more, Escape.
    ScriptedTiming timing({{10000, mouse(WM_RBUTTONDOWN, 1200, 100)}, {20000, key(VK_ESCAPE)}});
    editor.loop->run(timing);
    EXPECT_FALSE(editor.loop->running());
    // The first frame and the right-click's, each followed by one that starts from the state
    // it left (the new child's connector sets a wider line); Escape changes nothing shown.
    EXPECT_EQ(editor.loop->framesDrawn(), 4u);
    EXPECT_LE(editor.loop->waits(), 4u);
    for (DWORD timeout : timing.timeouts) EXPECT_EQ(timeout, INFINITE);
    // Input found the loop waiting: no pause came between its arrival and the frame.
    EXPECT_EQ(timing.now, 20000);
    ASSERT_NE(editor.map->selectedNode, editor.map->root);
}

TEST_F(EventLoopTest, WithABoxOpenTheLoopWakesOnlyForTheCaretAndCountsThePassesItSkipped) {
    Editor editor(true);
    // The box opens on the pass at 10 ms; a character comes at 1,234 ms, Escape ends the edit at
    // 2,000 ms and the program at 2,100 ms.
    ScriptedTiming timing(
        {{0, key(VK_F2)}, {1234, character(u'q')}, {2000, key(VK_ESCAPE)}, {2100, key(VK_ESCAPE)}});
    editor.loop->run(timing);
    // A loop drawing a pass every 10 ms takes the character on its 123rd pass after the box
    // opened (due at 1,240 ms, run at once at 1,234 ms, the next passes 10 ms apart from there)
    // and Escape on its 200th (at 2,004 ms).
    Editor reference(false);
    reference.pass({key(VK_F2)});
    for (int pass = 1; pass <= 200; ++pass) {
        std::vector<Gfx::InputMessage> input;
        if (pass == 123) input.push_back(character(u'q'));
        if (pass == 200) input.push_back(key(VK_ESCAPE));
        reference.pass(input);
    }
    reference.pass({key(VK_ESCAPE)});
    EXPECT_FALSE(reference.loop->running());
    EXPECT_EQ(editor.map->editCaretCounter, reference.map->editCaretCounter);
    EXPECT_TRUE(editor.pixels() == reference.pixels());
    // Two seconds of a blinking caret: a frame for each change (about 13) and for each input,
    // and a wait after each, where a polling loop would have made 200 passes.
    EXPECT_GE(editor.loop->framesDrawn(), 14u);
    EXPECT_LE(editor.loop->framesDrawn(), 20u);
    EXPECT_LE(editor.loop->waits(), 20u);
    // Only frames that took input (or left a new drawing state) are followed by the pass
    // pause: a blink's frame goes straight back to waiting.
    EXPECT_LE(timing.pauses, 6);
    EXPECT_EQ(timing.now, 2100);
}

}  // namespace
