// The system's view of the text caret: where typed text goes, for the input method.
#pragma once

#include "app/model/mind_map.h"

// Tells the graphics layer where the caret of the box that takes typed characters is (the
// edit box, else the path box), or that none does, so that an input method opens its
// candidate window at the caret. Draws nothing and advances no blink counter.
void placeTextCaret(const MindMap& mindMap);
