// kernel32 stand-in: the console functions. A Linux process has no console window: it writes
// to the terminal it was started from, so GetConsoleWindow gives none and the rest succeed.
#pragma once

#include "win32_types.h"

#define CTRL_C_EVENT 0
#define CTRL_BREAK_EVENT 1
#define CTRL_CLOSE_EVENT 2

using PHANDLER_ROUTINE = BOOL(WINAPI*)(DWORD ctrlType);

HWND WINAPI GetConsoleWindow();
BOOL WINAPI AllocConsole();
BOOL WINAPI FreeConsole();
// (null, TRUE) makes the process ignore Ctrl+C (SIGINT), (null, FALSE) restores it; handler
// routines are recorded but never called.
BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
