// The input dispatch: which editor operation each input message reaches, under which mode.
// Works on the map alone, so it runs without a window.
#pragma once

#include "app/model/mind_map.h"
#include "graphics/input_message.h"

// Answers whether Control counts as held for the key message being dispatched.
using ControlKeyTest = bool (*)();

// GetAsyncKeyState(VK_CONTROL) != 0: held now, or pressed since the last query.
bool isControlKeyDown();
// The same for Shift.
bool isShiftKeyDown();

// Runs the operation the message selects under the current modes. Escape with no edit and no
// path dialog clears `running`; nothing else touches it.
void dispatchInput(MindMap& mindMap, const Gfx::InputMessage& message, bool& running,
                   ControlKeyTest controlHeld = isControlKeyDown, ControlKeyTest shiftHeld = isShiftKeyDown);

// The function panel's command for a button index (0 to 9); other indices do nothing.
void runPanelCommand(MindMap& mindMap, int commandId);
