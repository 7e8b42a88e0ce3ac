// The find box: Ctrl+F opens it at the top of the canvas; typed text is searched for in the
// shown nodes' captions; Enter selects the next match (Shift+Enter the one before) and shows
// it; Escape closes the box.
#pragma once

#include <cstdint>

#include "app/model/mind_map.h"

// The longest search text, in UTF-16 units (as long as a caption may be typed).
inline constexpr std::size_t kMaxFindText = 50;

void openFindBox(MindMap& mindMap);

// A key-down while the box is open and takes the keys: Enter, Escape and Backspace act, other
// keys wait (their characters are typed).
void findBoxKey(MindMap& mindMap, std::uint8_t key, bool shiftHeld);

// A typed character for the box (Backspace comes as a key).
void findBoxCharacter(MindMap& mindMap, char16_t ch);
