// Linux stand-in for <windows.h>: the Win32 subset that the graphics layer and the program
// entry call, with Win32's names, types and documented meanings. On Windows this folder is
// not on the include path and the system header is used instead.
#pragma once

#include "win32_types.h"  // IWYU pragma: export
#include "winbase.h"      // IWYU pragma: export
#include "libloaderapi.h"  // IWYU pragma: export
#include "wingdi.h"       // IWYU pragma: export
#include "winuser.h"      // IWYU pragma: export
#include "shellapi.h"     // IWYU pragma: export
