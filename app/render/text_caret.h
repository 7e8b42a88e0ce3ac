// The system's view of the text caret: where typed text goes, for the input method.
#pragma once

#include <cstdint>

#include "app/model/mind_map.h"
#include "app/model/wrap_int32.h"

// A text box's caret blinks by the box's own counter, which each frame that draws the box
// advances before drawing it: frames whose count falls in the first 15 of every 30 show it.
inline constexpr std::int32_t kCaretBlinkPeriod = 30;
inline constexpr std::int32_t kCaretBlinkShown = 15;

inline bool caretShownAt(std::int32_t counter) {
    return counter % kCaretBlinkPeriod < kCaretBlinkShown;
}

// The count after one more frame of the box (it wraps, after eight months at 100 a second).
inline std::int32_t nextCaretCount(std::int32_t counter) {
    return wrapToInt32(std::int64_t{counter} + 1);
}

// Tells the graphics layer where the caret of the box that takes typed characters is (the
// edit box, else the path box), or that none does, so that an input method opens its
// candidate window at the caret. Draws nothing and advances no blink counter.
void placeTextCaret(const MindMap& mindMap);
