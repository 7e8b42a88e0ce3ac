// The colours of the scene, by what they paint (0x00BBGGRR). Node and button colours belong to
// the map (app/model); these are the frame's own.
#pragma once

#include "app/model/colour.h"

namespace palette {

inline constexpr Colour kBackground = 0xFFFFFF;
inline constexpr Colour kPanelFill = 0xF5F0F0;
inline constexpr Colour kPanelSeparator = 0xD2C8C8;
inline constexpr Colour kPanelTitle = 0x505050;
inline constexpr Colour kGrid = 0xF0F0F0;

inline constexpr Colour kOutline = 0x505050;  // of nodes and panel buttons
inline constexpr Colour kSelectedFill = 0xB48246;
inline constexpr Colour kConnector = 0x646464;
inline constexpr Colour kMarkerFill = 0x969696;
inline constexpr Colour kMarkerText = 0xFFFFFF;

inline constexpr Colour kOverlayFill = 0xF0F0F0;  // help screen and path dialog
inline constexpr Colour kOverlayOutline = 0x646464;
inline constexpr Colour kOverlayText = 0x000000;
inline constexpr Colour kHintText = 0x646464;
inline constexpr Colour kTextBoxFill = 0xFFFFFF;
inline constexpr Colour kTextBoxOutline = 0x969696;  // also its caret
inline constexpr Colour kDialogButtonFill = 0xC8C8C8;

inline constexpr Colour kStatusFill = 0xF0F0F0;
inline constexpr Colour kStatusText = 0x505050;
inline constexpr Colour kFailureText = 0x0000C8;  // a failed save or open, red

}  // namespace palette
