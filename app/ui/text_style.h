// The editor's one text style, set at start-up and kept for the whole run: node widths and
// carets are measured with it.
#pragma once

#include <windows.h>

inline constexpr char16_t kEditorFontFace[] = u"微软雅黑";
inline constexpr LONG kEditorFontHeight = 20;

// Reads the current text style, sets the editor's face and height and applies it.
void applyEditorTextStyle();
