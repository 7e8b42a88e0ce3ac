#include "app/ui/event_loop.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "app/recovery/map_snapshot.h"
#include "app/render/text_caret.h"
#include "app/ui/damage_check.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "graphics/input_queue.h"

namespace {

// Passes until a box's caret next appears or disappears, counting the one that draws it.
int passesToCaretChange(std::int32_t counter) {
    const bool shown = caretShownAt(counter);
    int passes = 1;
    for (std::int32_t next = nextCaretCount(counter); caretShownAt(next) == shown;
         next = nextCaretCount(next))
        ++passes;
    return passes;
}

EventLoop::StartState currentStartState() {
    EventLoop::StartState state;
    state.line = Gfx::getLineColor();
    state.fill = Gfx::getFillColor();
    state.text = Gfx::getTextColor();
    state.background = Gfx::getBackgroundColor();
    state.backgroundMode = Gfx::getBackgroundMode();
    Gfx::LINESTYLE line;
    Gfx::getLineStyle(&line);
    state.lineStyle = line.style;
    state.lineThickness = line.thickness;
    if (line.userPattern != nullptr)
        state.linePattern.assign(line.userPattern, line.userPattern + line.patternCount);
    Gfx::FILLSTYLE fill;
    Gfx::getFillStyle(&fill);
    state.fillStyle = fill.style;
    state.fillHatch = fill.hatch;
    state.fillPattern = fill.patternImage;
    state.rop2 = Gfx::getRop2();
    state.polyFillMode = Gfx::getPolyFillMode();
    Gfx::getTextStyle(&state.font);
    return state;
}

class SystemTiming final : public LoopTiming {
  public:
    std::int64_t nowMs() override {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    }
    void pause(DWORD milliseconds) override { Sleep(milliseconds); }
    bool waitForInput(DWORD milliseconds) override { return Gfx::waitForInputMessage(milliseconds); }
};

}  // namespace

bool EventLoop::StartState::operator==(const StartState& other) const {
    return line == other.line && fill == other.fill && text == other.text && background == other.background &&
           backgroundMode == other.backgroundMode && lineStyle == other.lineStyle &&
           lineThickness == other.lineThickness && fillStyle == other.fillStyle &&
           fillHatch == other.fillHatch && rop2 == other.rop2 && polyFillMode == other.polyFillMode &&
           linePattern == other.linePattern && fillPattern == other.fillPattern &&
           std::memcmp(&font, &other.font, sizeof font) == 0;
}

int drainInput(MindMap& mindMap, bool& running, ControlKeyTest controlHeld) {
    int taken = 0;
    Gfx::InputMessage message{};
    while (Gfx::peekInputMessage(&message, Gfx::kInputAll, true)) {
        ++taken;
        dispatchInput(mindMap, message, running, controlHeld);
    }
    return taken;
}

EventLoop::EventLoop(MindMap& mindMap, ControlKeyTest controlHeld) : map(mindMap), controlHeld(controlHeld) {
    const char* check = std::getenv("MINDMAP_CHECK_DAMAGE");
    checkingDamage = check != nullptr && check[0] == '1';
}

// What the next frame would change on screen: nothing when it would show what the last one
// showed from the same drawing state.
Damage EventLoop::nextDamage(const StartState& start) {
    summarizeFrame(map, next);
    // The find box's caret blinks without a summary of its own: the find box damages all.
    if (!skipping || frameCount == 0 || !(start == lastFrameStart))
        return {Damage::Kind::Whole, RECT{0, 0, kWindowWidth, kWindowHeight}, {}};
    return frameDamage(shown, next);
}

bool EventLoop::runPass() {
    ++passCount;
    tookInput = drainInput(map, running_, controlHeld) > 0;
    // The threads that end the program write what this publishes, never the live map. It comes
    // before the frame: once a change shows on the screen, an end keeps it.
    publishSnapshot(map);
    StartState start = currentStartState();
    const Damage damage = nextDamage(start);
    const bool draw = damage.kind != Damage::Kind::None;
    if (draw) {
        lastFrameStart = std::move(start);
        if (damage.kind == Damage::Kind::Whole || !partialFrames) {
            map.drawFrame();
        } else if (checkingDamage) {
            drawCheckedFramePart(map, damage);
        } else {
            drawFramePart(map, damage.parts);
        }
        std::swap(shown, next);
        ++frameCount;
        if (damage.kind == Damage::Kind::Part) ++partCount;
    } else {
        advanceCarets();
    }
    placeTextCaret(map);
    return draw;
}

int EventLoop::quietPassesAhead() const {
    int ahead = kNoCaret;
    if (map.isEditing) ahead = passesToCaretChange(map.editCaretCounter) - 1;
    if (map.showFileDialog) {
        const int path = passesToCaretChange(map.pathCaretCounter) - 1;
        ahead = ahead == kNoCaret ? path : std::min(ahead, path);
    }
    if (map.find.open) {
        const int find = passesToCaretChange(map.find.caretCounter) - 1;
        ahead = ahead == kNoCaret ? find : std::min(ahead, find);
    }
    return ahead;
}

// As a drawn frame's overlays would: each open box's counter, once.
void EventLoop::advanceCarets() {
    if (map.isEditing) map.editCaretCounter = nextCaretCount(map.editCaretCounter);
    if (map.showFileDialog) map.pathCaretCounter = nextCaretCount(map.pathCaretCounter);
    if (map.find.open) map.find.caretCounter = nextCaretCount(map.find.caretCounter);
}

void EventLoop::passQuietly(int passes) {
    for (int i = 0; i < passes; ++i) {
        advanceCarets();
        ++passCount;
    }
}

DWORD EventLoop::msUntilRecoveryDue() const {
    if (recovery == nullptr) return INFINITE;
    const auto due = recovery->nextDeadline();
    if (!due) return INFINITE;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - RecoveryCopy::Clock::now()).count();
    return static_cast<DWORD>(std::clamp<long long>(left, 0, 60 * 60 * 1000));
}

void EventLoop::run(LoopTiming& timing) {
    for (;;) {
        bool drew = false;
        drew = runPass();
        if (recovery != nullptr) recovery->afterPass(map, RecoveryCopy::Clock::now());
        if (!running_) return;
        // A frame drawn without input that left the drawing state it started from is followed
        // by nothing new before input or a caret's change: the pass that would find nothing to
        // draw is counted as a quiet one below instead of run.
        if (drew && (tookInput || !skipping || !(currentStartState() == lastFrameStart))) {
            timing.pause(kPassPause);
            continue;
        }
        // The next pass would come kPassPause from now; the quiet ones before the caret's
        // change are not run. Input that comes first is handled at once, after the passes
        // that would have run before it; so is the recovery copy when its time comes first.
        const int quiet = quietPassesAhead();
        DWORD timeout = quiet == kNoCaret ? INFINITE : static_cast<DWORD>(quiet + 1) * kPassPause;
        const DWORD keeping = msUntilRecoveryDue();
        const bool keepingFirst = keeping < timeout;
        if (keepingFirst) timeout = keeping;
        const std::int64_t start = timing.nowMs();
        ++waitCount;
        if (!timing.waitForInput(timeout) && !keepingFirst) {
            passQuietly(quiet);
            continue;
        }
        if (quiet == kNoCaret) continue;
        const std::int64_t elapsed = timing.nowMs() - start;
        const auto passed = static_cast<int>((elapsed + kPassPause - 1) / kPassPause) - 1;
        passQuietly(std::clamp(passed, 0, quiet));
    }
}

void runEventLoop(MindMap& mindMap, RecoveryCopy* recovery) {
    EventLoop loop(mindMap);
    loop.keepRecoveryCopy(recovery);
    SystemTiming timing;
    loop.run(timing);
}
