// The image-codec library's ("gdiplus.dll") picture entries: bitmaps made from a
// device-independent bitmap or read from a PNG file, their size, a locked 32-bit view of their
// pixels, and the one encoder, PNG, that writes them to a file or a stream. Cairo's PNG reader and writer
// do the work. Status values and records are the library's own.
#pragma once

#include <windows.h>

namespace platform::gdi32 {

int WINAPI GdipCreateBitmapFromGdiDib(const BITMAPINFO* info, void* bits, void** bitmap);
int WINAPI GdipCreateBitmapFromFile(const WCHAR* path, void** bitmap);
int WINAPI GdipGetImageWidth(void* image, UINT* width);
int WINAPI GdipGetImageHeight(void* image, UINT* height);
int WINAPI GdipDisposeImage(void* image);
int WINAPI GdipGetImageEncodersSize(UINT* count, UINT* size);
int WINAPI GdipGetImageEncoders(UINT count, UINT size, void* encoders);
int WINAPI GdipSaveImageToFile(void* image, const WCHAR* path, const void* encoder, const void* parameters);
// The stream is one CreateStreamOnHGlobal made (platform/gdi32/memory_stream.h).
int WINAPI GdipSaveImageToStream(void* image, void* stream, const void* encoder, const void* parameters);
int WINAPI GdipBitmapLockBits(void* bitmap, const void* rect, UINT flags, INT format, void* data);
int WINAPI GdipBitmapUnlockBits(void* bitmap, void* data);

}  // namespace platform::gdi32
