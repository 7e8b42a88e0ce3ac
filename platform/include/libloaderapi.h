// kernel32's module loader, over the stand-in's own tables of functions by name: "gdi32.dll"
// (the 48 drawing functions and companions), "ole32.dll" and "gdiplus.dll" (their start-up
// and shutdown entries are harmless; the image codecs answer NotImplemented). Names are
// matched without case, with or without ".dll". Unknown modules and names give null.
#pragma once

#include "win32_types.h"

HMODULE WINAPI LoadLibraryW(LPCWSTR fileName);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
BOOL WINAPI FreeLibrary(HMODULE module);

// What the "ole32.dll" and "gdiplus.dll" entries do (Win32 signatures, pointers for the COM
// and GDI+ types): CoInitialize(void*) -> S_OK; CoUninitialize(); CreateStreamOnHGlobal(null,
// TRUE, void**) -> a stream on memory it allocates (platform/gdi32/memory_stream.h);
// GdiplusStartup(ULONG_PTR* token, const void* input, void* output) -> Ok (0) with a non-zero
// token; GdiplusShutdown(ULONG_PTR); the picture entries of platform/gdi32/image_codec.h; every
// other Gdip* function -> NotImplemented (6), clearing its out-pointers where it has any.
#define S_OK static_cast<HRESULT>(0)
#define S_FALSE static_cast<HRESULT>(1)
#define E_NOTIMPL static_cast<HRESULT>(0x80004001)
