// The editor's loop: drain the input queue, draw a frame, pause 10 ms. A frame is drawn only
// when it could differ from the one on screen, and then only where it could differ (its
// damage, app/render/frame_damage.h); with nothing to draw the loop waits for input (or for
// the pass on which a caret appears or disappears) instead of waking each pass.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/model/mind_map.h"
#include "app/render/frame_damage.h"
#include "app/recovery/recovery_copy.h"
#include "app/ui/dispatch.h"

// Dispatches every queued input message in arrival order. An Escape that ends the program
// does not stop the drain: messages behind it are still dispatched. Returns how many there were.
int drainInput(MindMap& mindMap, bool& running, ControlKeyTest controlHeld = isControlKeyDown);

// The loop's clock and waits; tests run the loop on a scripted one.
class LoopTiming {
  public:
    virtual ~LoopTiming() = default;
    virtual std::int64_t nowMs() = 0;
    virtual void pause(DWORD milliseconds) = 0;
    // Returns once input is queued (true) or the time is up (false).
    virtual bool waitForInput(DWORD milliseconds) = 0;
};

// Passes of the loop. A pass that draws nothing still counts for the carets: each open text
// box's blink counter advances once a pass, exactly as a drawn frame advances it.
class EventLoop {
  public:
    static constexpr DWORD kPassPause = 10;  // milliseconds from one pass to the next
    static constexpr int kNoCaret = -1;

    explicit EventLoop(MindMap& mindMap, ControlKeyTest controlHeld = isControlKeyDown);

    // One pass without its pause: drain, then the frame if it could differ from the last one
    // drawn (every pass when skipping is off), then the caret's place. True when it drew.
    bool runPass();
    // Passes without input that would draw nothing before one that must draw because a caret
    // appears or disappears; kNoCaret when no caret blinks.
    int quietPassesAhead() const;
    // Counts passes that ran with no input and drew nothing (at most quietPassesAhead()).
    void passQuietly(int passes);
    // Until Escape ends the program: passes, pausing after each drawn frame and otherwise
    // waiting for input or for the caret's next change.
    void run(LoopTiming& timing);

    bool running() const { return running_; }
    void setFrameSkipping(bool on) { skipping = on; }
    // Off: every frame drawn is a whole one (its damage still decides whether it is drawn).
    void setPartialFrames(bool on) { partialFrames = on; }
    // On: each partial frame is checked against a whole one (MINDMAP_CHECK_DAMAGE=1 sets it).
    void setDamageCheck(bool on) { checkingDamage = on; }
    // The copy of unsaved work, told of each pass; the loop wakes when it is due.
    void keepRecoveryCopy(RecoveryCopy* copy) { recovery = copy; }
    std::uint64_t passes() const { return passCount; }
    std::uint64_t framesDrawn() const { return frameCount; }
    std::uint64_t partialFramesDrawn() const { return partCount; }
    std::uint64_t waits() const { return waitCount; }

    // The device's drawing state that a frame starts from: it keeps what the previous frame
    // left (the panel's outline takes the line colour and style of the moment), so the frame
    // after a change of state can differ from the one before it though the map did not change.
    struct StartState {
        COLORREF line = 0, fill = 0, text = 0, background = 0;
        int backgroundMode = 0, lineStyle = 0, lineThickness = 0, fillStyle = 0, fillHatch = 0;
        int rop2 = 0, polyFillMode = 0;
        std::vector<DWORD> linePattern;
        const void* fillPattern = nullptr;
        LOGFONTW font{};
        bool operator==(const StartState& other) const;
    };

  private:
    Damage nextDamage(const StartState& start);
    DWORD msUntilRecoveryDue() const;
    void advanceCarets();

    MindMap& map;
    ControlKeyTest controlHeld;
    RecoveryCopy* recovery = nullptr;
    StartState lastFrameStart{};
    bool tookInput = false;  // the last pass dispatched input
    bool running_ = true;
    bool skipping = true;
    bool partialFrames = true;
    bool checkingDamage = false;
    FrameSummary shown;  // what the frame on screen shows
    FrameSummary next;   // what the next one would
    std::uint64_t partCount = 0;
    std::uint64_t passCount = 0;
    std::uint64_t frameCount = 0;
    std::uint64_t waitCount = 0;
};

// The loop on the system's clock, the graphics layer's input wait and Sleep.
void runEventLoop(MindMap& mindMap, RecoveryCopy* recovery = nullptr);
