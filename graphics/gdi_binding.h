// The platform's drawing library (gdi32), and the image-codec (gdiplus) and component-object
// (ole32) libraries, bound by name when the graphics layer starts. Every drawing call of the
// layer goes through `gdi`; user32 (DrawTextW, windows) is linked at build time. Also the one
// way the layer selects objects into a drawing context.
#pragma once

#include <windows.h>

namespace Gfx {

// The entries of "gdi32.dll", in the order they are looked up: X(name) for each.
#define MM_GDI_ENTRIES(X)    \
    X(Arc)                   \
    X(BitBlt)                \
    X(CreateBitmap)          \
    X(CreateBrushIndirect)   \
    X(CreateCompatibleDC)    \
    X(CreateDIBSection)      \
    X(CreatePen)             \
    X(CreateRectRgn)         \
    X(CreateSolidBrush)      \
    X(DeleteDC)              \
    X(DeleteObject)          \
    X(Ellipse)               \
    X(ExtCreatePen)          \
    X(ExtFloodFill)          \
    X(FillRgn)               \
    X(GdiSetBatchLimit)      \
    X(GetBkMode)             \
    X(GetClipRgn)            \
    X(GetCurrentObject)      \
    X(GetDIBits)             \
    X(GetPixel)              \
    X(GetPolyFillMode)       \
    X(GetROP2)               \
    X(GetStockObject)        \
    X(LineTo)                \
    X(MoveToEx)              \
    X(Pie)                   \
    X(PolyBezier)            \
    X(Polygon)               \
    X(Polyline)              \
    X(RealizePalette)        \
    X(Rectangle)             \
    X(RoundRect)             \
    X(SelectClipRgn)         \
    X(SelectObject)          \
    X(SelectPalette)         \
    X(SetBkColor)            \
    X(SetBkMode)             \
    X(SetGraphicsMode)       \
    X(SetPixelV)             \
    X(SetPolyFillMode)       \
    X(SetROP2)               \
    X(SetTextColor)          \
    X(SetWorldTransform)     \
    X(CreateFontIndirectW)   \
    X(GetObjectW)            \
    X(GetTextExtentPoint32W) \
    X(TextOutW)

// One entry for each of MM_GDI_ENTRIES, of the system function's type.
struct GdiFunctions {
#define MM_GDI_ENTRY(name) decltype(&::name) name;
    MM_GDI_ENTRIES(MM_GDI_ENTRY)
#undef MM_GDI_ENTRY
};

// A procedure whose type the layer does not need (the image-codec entries are only used by
// image file loading and saving).
using AnyProc = void (*)();

// The input record of GdiplusStartup: version 1, everything else off.
struct GdiplusStartupInputRecord {
    UINT GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};

struct GdiplusFunctions {
    int(WINAPI* GdiplusStartup)(ULONG_PTR* token, const GdiplusStartupInputRecord* input, void* output);
    void(WINAPI* GdiplusShutdown)(ULONG_PTR token);
    AnyProc GdipLoadImageFromStream;
    AnyProc GdipGetImageWidth;
    AnyProc GdipGetImageHeight;
    AnyProc GdipCreateFromHDC;
    AnyProc GdipDrawImageRectI;
    AnyProc GdipDisposeImage;
    AnyProc GdipDeleteGraphics;
    AnyProc GdipGetImageEncodersSize;
    AnyProc GdipGetImageEncoders;
    AnyProc GdipCreateBitmapFromGdiDib;
    AnyProc GdipSaveImageToFile;
    // Encoding into memory (image_file.cpp).
    AnyProc GdipSaveImageToStream;
    // Reading a picture file back (image_file.cpp).
    AnyProc GdipCreateBitmapFromFile;
    AnyProc GdipBitmapLockBits;
    AnyProc GdipBitmapUnlockBits;
    ULONG_PTR token;
};

struct Ole32Functions {
    HRESULT(WINAPI* CreateStreamOnHGlobal)(HGLOBAL memory, BOOL deleteOnRelease, void** stream);
    HRESULT(WINAPI* CoInitialize)(LPVOID reserved);
    void(WINAPI* CoUninitialize)();
};

extern GdiFunctions gdi;
extern GdiplusFunctions gdiplus;
extern Ole32Functions ole32;

// Each loads its library and fills its table. A library or entry that cannot be found is
// reported on standard error, naming it, and ends the program with exit code 3.
void bindOle32();
void bindGdi();
void bindGdiplus();

// The building blocks of the above, for any library.
HMODULE loadLibraryOrExit(LPCWSTR name, const char* printableName);
AnyProc findProcOrExit(HMODULE library, const char* printableLibrary, const char* name);

inline constexpr int kMissingLibraryExitCode = 3;

// Selects a new pen, brush, font or bitmap into a drawing context and deletes the one it
// replaces, so exactly one of each kind stays selected and none accumulate.
inline void selectReplacing(HDC dc, HGDIOBJ object) {
    HGDIOBJ replaced = gdi.SelectObject(dc, object);
    if (replaced != nullptr) gdi.DeleteObject(replaced);
}

}  // namespace Gfx
