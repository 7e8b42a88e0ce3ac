// kernel32 stand-in: threads, handles, events and waits, critical sections, time, the
// executable's module, process exit, the console, last-error values and a few string helpers.
#pragma once

#include "synchapi.h"  // IWYU pragma: export
#include "win32_types.h"
#include "wincon.h"    // IWYU pragma: export
#include "winerror.h"  // IWYU pragma: export

using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID parameter);
using PTHREAD_START_ROUTINE = LPTHREAD_START_ROUTINE;

#define CREATE_SUSPENDED 0x00000004u
#define STILL_ACTIVE 259u

// Threads. A thread handle is signalled when the thread has ended.
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
DWORD WINAPI ResumeThread(HANDLE thread);
BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
DWORD WINAPI GetCurrentThreadId();
DWORD WINAPI GetCurrentProcessId();

// Time: milliseconds since the system started.
DWORD WINAPI GetTickCount();
ULONGLONG WINAPI GetTickCount64();

// The executable. A null module is the executable itself.
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName);
[[noreturn]] void WINAPI ExitProcess(UINT exitCode);

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD errorCode);

// Global memory blocks, as the clipboard takes and hands them out. Only GMEM_MOVEABLE and
// GMEM_ZEROINIT are offered; a block is locked to reach its bytes.
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID WINAPI GlobalLock(HGLOBAL memory);
BOOL WINAPI GlobalUnlock(HGLOBAL memory);
SIZE_T WINAPI GlobalSize(HGLOBAL memory);
HGLOBAL WINAPI GlobalFree(HGLOBAL memory);

int WINAPI lstrlenW(LPCWSTR text);
LPWSTR WINAPI lstrcpynW(LPWSTR destination, LPCWSTR source, int maxLength);

#define GetModuleFileName GetModuleFileNameW
#define GetModuleHandle GetModuleHandleW
#define lstrlen lstrlenW
#define lstrcpyn lstrcpynW
