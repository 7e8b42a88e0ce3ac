// Single actions on the real editor, each timed and costed: a recolour key on the selected
// node and a drag of it along the idle map's clear lane (bench/idle/idle_map.h).
#pragma once

#include <sys/types.h>

#include "tests/support/editor_session.h"

// Clicks the lane's node and waits until it shows selected; false when it does not.
bool selectLaneNode(mmtest::EditorSession& session);

// Caption colour keys (4 and 5 in turn, each waited for on the screen) and fill keys (1 and 2,
// which the selected node does not show), the editor idle before each: CPU per press.
bool measureRecolour(const char* what, mmtest::EditorSession& session, pid_t pid, int presses);

// Wheel steps down and up in turn, each a pan and so a whole frame: CPU per step.
bool measureWholeFrames(const char* what, mmtest::EditorSession& session, pid_t pid, int steps);

// Presses on the lane's node, moves the pointer `moves` times 2 px along the lane, one move
// every 10 ms, and releases; then back. Frames a second while moving, the time from the last
// move to the frame with the node at its end place, and CPU per frame.
bool measureDrag(const char* what, mmtest::EditorSession& session, pid_t pid, int moves);
