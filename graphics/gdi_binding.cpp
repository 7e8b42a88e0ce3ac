// Filling the three binding tables by name, once, while the graphics layer starts.
#include "graphics/gdi_binding.h"

#include <cstdio>
#include <cstdlib>

namespace Gfx {

GdiFunctions gdi;
GdiplusFunctions gdiplus;
Ole32Functions ole32;

namespace {

// Going through void(*)() is the portable, warning-free way between function pointer types.
template <typename Entry>
void bindEntry(HMODULE library, const char* printableLibrary, const char* name, Entry& slot) {
    slot = reinterpret_cast<Entry>(findProcOrExit(library, printableLibrary, name));
}

}  // namespace

HMODULE loadLibraryOrExit(LPCWSTR name, const char* printableName) {
    HMODULE library = LoadLibraryW(name);
    if (library == nullptr) {
        std::fprintf(stderr, "graphics: cannot load the library %s\n", printableName);
        std::fflush(stderr);
        std::exit(kMissingLibraryExitCode);
    }
    return library;
}

AnyProc findProcOrExit(HMODULE library, const char* printableLibrary, const char* name) {
    FARPROC proc = GetProcAddress(library, name);
    if (proc == nullptr) {
        std::fprintf(stderr, "graphics: the library %s has no function %s\n", printableLibrary, name);
        std::fflush(stderr);
        std::exit(kMissingLibraryExitCode);
    }
    return reinterpret_cast<AnyProc>(proc);
}

#define MM_BIND(table, name) bindEntry(library, printable, #name, table.name)

void bindOle32() {
    const char* printable = "ole32.dll";
    HMODULE library = loadLibraryOrExit(TEXT("ole32.dll"), printable);
    MM_BIND(ole32, CreateStreamOnHGlobal);
    MM_BIND(ole32, CoInitialize);
    MM_BIND(ole32, CoUninitialize);
}

void bindGdi() {
    const char* printable = "gdi32.dll";
    HMODULE library = loadLibraryOrExit(TEXT("gdi32.dll"), printable);
    MM_BIND(gdi, Arc);
    MM_BIND(gdi, BitBlt);
    MM_BIND(gdi, CreateBitmap);
    MM_BIND(gdi, CreateBrushIndirect);
    MM_BIND(gdi, CreateCompatibleDC);
    MM_BIND(gdi, CreateDIBSection);
    MM_BIND(gdi, CreatePen);
    MM_BIND(gdi, CreateRectRgn);
    MM_BIND(gdi, CreateSolidBrush);
    MM_BIND(gdi, DeleteDC);
    MM_BIND(gdi, DeleteObject);
    MM_BIND(gdi, Ellipse);
    MM_BIND(gdi, ExtCreatePen);
    MM_BIND(gdi, ExtFloodFill);
    MM_BIND(gdi, FillRgn);
    MM_BIND(gdi, GdiSetBatchLimit);
    MM_BIND(gdi, GetBkMode);
    MM_BIND(gdi, GetClipRgn);
    MM_BIND(gdi, GetCurrentObject);
    MM_BIND(gdi, GetDIBits);
    MM_BIND(gdi, GetPixel);
    MM_BIND(gdi, GetPolyFillMode);
    MM_BIND(gdi, GetROP2);
    MM_BIND(gdi, GetStockObject);
    MM_BIND(gdi, LineTo);
    MM_BIND(gdi, MoveToEx);
    MM_BIND(gdi, Pie);
    MM_BIND(gdi, PolyBezier);
    MM_BIND(gdi, Polygon);
    MM_BIND(gdi, Polyline);
    MM_BIND(gdi, RealizePalette);
    MM_BIND(gdi, Rectangle);
    MM_BIND(gdi, RoundRect);
    MM_BIND(gdi, SelectClipRgn);
    MM_BIND(gdi, SelectObject);
    MM_BIND(gdi, SelectPalette);
    MM_BIND(gdi, SetBkColor);
    MM_BIND(gdi, SetBkMode);
    MM_BIND(gdi, SetGraphicsMode);
    MM_BIND(gdi, SetPixelV);
    MM_BIND(gdi, SetPolyFillMode);
    MM_BIND(gdi, SetROP2);
    MM_BIND(gdi, SetTextColor);
    MM_BIND(gdi, SetWorldTransform);
    MM_BIND(gdi, CreateFontIndirectW);
    MM_BIND(gdi, GetObjectW);
    MM_BIND(gdi, GetTextExtentPoint32W);
    MM_BIND(gdi, TextOutW);
}

void bindGdiplus() {
    const char* printable = "gdiplus.dll";
    HMODULE library = loadLibraryOrExit(TEXT("gdiplus.dll"), printable);
    MM_BIND(gdiplus, GdiplusStartup);
    MM_BIND(gdiplus, GdiplusShutdown);
    MM_BIND(gdiplus, GdipLoadImageFromStream);
    MM_BIND(gdiplus, GdipGetImageWidth);
    MM_BIND(gdiplus, GdipGetImageHeight);
    MM_BIND(gdiplus, GdipCreateFromHDC);
    MM_BIND(gdiplus, GdipDrawImageRectI);
    MM_BIND(gdiplus, GdipDisposeImage);
    MM_BIND(gdiplus, GdipDeleteGraphics);
    MM_BIND(gdiplus, GdipGetImageEncodersSize);
    MM_BIND(gdiplus, GdipGetImageEncoders);
    MM_BIND(gdiplus, GdipCreateBitmapFromGdiDib);
    MM_BIND(gdiplus, GdipSaveImageToFile);
}

#undef MM_BIND

}  // namespace Gfx
