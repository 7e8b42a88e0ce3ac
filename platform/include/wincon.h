// kernel32 stand-in: the console functions. A Linux process has no console window: it writes
// to the terminal it was started from, so GetConsoleWindow gives none and the rest succeed.
// Control events come from signals (console.cpp) and from the loss of the X connection.
#pragma once

#include "win32_types.h"

#define CTRL_C_EVENT 0
#define CTRL_BREAK_EVENT 1
#define CTRL_CLOSE_EVENT 2
#define CTRL_LOGOFF_EVENT 5
#define CTRL_SHUTDOWN_EVENT 6

using PHANDLER_ROUTINE = BOOL(WINAPI*)(DWORD ctrlType);

HWND WINAPI GetConsoleWindow();
BOOL WINAPI AllocConsole();
BOOL WINAPI FreeConsole();
// (null, TRUE) makes the process ignore Ctrl+C (SIGINT), (null, FALSE) restores it. Routines
// are called newest first on a thread of their own until one answers TRUE; an unanswered
// Ctrl+C, and every close or shutdown event, then ends the process.
BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
