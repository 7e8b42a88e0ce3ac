// user32 stand-in: declarations. Being written.
#pragma once
#include "win32_types.h"
#include "winuser_text.h"  // DrawTextW and its DT_* flags, implemented with the drawing half
