// shell32 stand-in: icons of executable files.
#pragma once

#include "win32_types.h"

// An executable here carries no icon resources: an index from 0 gives none (null), and the
// index −1 (how many icons the file holds) gives 0.
HICON WINAPI ExtractIconW(HINSTANCE instance, LPCWSTR exeFileName, UINT iconIndex);

#define ExtractIcon ExtractIconW
