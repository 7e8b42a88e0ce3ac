// The editor's polling loop: drain the input queue, draw one frame, sleep 10 ms.
#pragma once

#include "app/model/mind_map.h"
#include "app/ui/dispatch.h"

// Dispatches every queued input message in arrival order. An Escape that ends the program
// does not stop the drain: messages behind it are still dispatched.
void drainInput(MindMap& mindMap, bool& running, ControlKeyTest controlHeld = isControlKeyDown);

// Runs until Escape is pressed with no edit under way and the path dialog closed; the frame
// after the ending drain is still drawn.
void runEventLoop(MindMap& mindMap);
