// The by-name function tables behind LoadLibraryW / GetProcAddress. The drawing half fills
// "gdi32.dll", "ole32.dll" and "gdiplus.dll"; other parts of the stand-in (such as the window
// half's "shell32.dll" or "user32.dll") may add entries of their own.
#pragma once

#include <windows.h>

namespace platform {

// Adds (or replaces) one entry; module names are matched without case and without ".dll".
void registerModuleFunction(const char* module, const char* name, FARPROC function);

}  // namespace platform
