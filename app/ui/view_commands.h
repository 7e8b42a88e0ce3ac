// The commands that move the view and the selection through it: wheel and middle-button
// panning, zooming, Home, Ctrl+0 and the arrow keys. None of them changes the map.
#pragma once

#include <cstdint>

#include "app/model/mind_map.h"
#include "graphics/input_message.h"

// Window pixels one wheel step pans.
inline constexpr int kWheelPanStep = 60;

// A wheel message: pans up and down, with Shift left and right, with Ctrl zooms around the
// pointer.
void wheelTurned(MindMap& mindMap, const Gfx::MouseInput& mouse);

// The middle button pressed and let go; a move with it held pans the map along. A move with it
// no longer held ends the pan (its release may have been lost).
void middleButtonDown(MindMap& mindMap, int x, int y);
void middleButtonUp(MindMap& mindMap);
void panToPointer(MindMap& mindMap, std::uint8_t mouseFlags, int x, int y);

// Ctrl+= and Ctrl+- (main row and keypad), Ctrl+0 and Home. True when `key` is one of them
// (with Ctrl where it needs it) and has acted.
bool viewKey(MindMap& mindMap, std::uint8_t key, bool controlHeld);
// Whether `key` is a view key that needs Ctrl (so the caller asks for Ctrl only then).
bool isZoomKey(std::uint8_t key);

// An arrow key (VK_LEFT to VK_DOWN): the selection moves to the nearest shown node that way
// (the root when nothing is selected), and the view the least that shows it whole. False for
// other keys.
bool arrowKey(MindMap& mindMap, std::uint8_t key);
