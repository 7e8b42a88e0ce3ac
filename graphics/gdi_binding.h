// The platform's drawing library (gdi32), and the image-codec (gdiplus) and component-object
// (ole32) libraries, bound by name when the graphics layer starts. Every drawing call of the
// layer goes through `gdi`; user32 (DrawTextW, windows) is linked at build time.
#pragma once

#include <windows.h>

namespace Gfx {

// Entries in the order they are looked up in "gdi32.dll"; each has the system function's type.
struct GdiFunctions {
    decltype(&::Arc) Arc;
    decltype(&::BitBlt) BitBlt;
    decltype(&::CreateBitmap) CreateBitmap;
    decltype(&::CreateBrushIndirect) CreateBrushIndirect;
    decltype(&::CreateCompatibleDC) CreateCompatibleDC;
    decltype(&::CreateDIBSection) CreateDIBSection;
    decltype(&::CreatePen) CreatePen;
    decltype(&::CreateRectRgn) CreateRectRgn;
    decltype(&::CreateSolidBrush) CreateSolidBrush;
    decltype(&::DeleteDC) DeleteDC;
    decltype(&::DeleteObject) DeleteObject;
    decltype(&::Ellipse) Ellipse;
    decltype(&::ExtCreatePen) ExtCreatePen;
    decltype(&::ExtFloodFill) ExtFloodFill;
    decltype(&::FillRgn) FillRgn;
    decltype(&::GdiSetBatchLimit) GdiSetBatchLimit;
    decltype(&::GetBkMode) GetBkMode;
    decltype(&::GetClipRgn) GetClipRgn;
    decltype(&::GetCurrentObject) GetCurrentObject;
    decltype(&::GetDIBits) GetDIBits;
    decltype(&::GetPixel) GetPixel;
    decltype(&::GetPolyFillMode) GetPolyFillMode;
    decltype(&::GetROP2) GetROP2;
    decltype(&::GetStockObject) GetStockObject;
    decltype(&::LineTo) LineTo;
    decltype(&::MoveToEx) MoveToEx;
    decltype(&::Pie) Pie;
    decltype(&::PolyBezier) PolyBezier;
    decltype(&::Polygon) Polygon;
    decltype(&::Polyline) Polyline;
    decltype(&::RealizePalette) RealizePalette;
    decltype(&::Rectangle) Rectangle;
    decltype(&::RoundRect) RoundRect;
    decltype(&::SelectClipRgn) SelectClipRgn;
    decltype(&::SelectObject) SelectObject;
    decltype(&::SelectPalette) SelectPalette;
    decltype(&::SetBkColor) SetBkColor;
    decltype(&::SetBkMode) SetBkMode;
    decltype(&::SetGraphicsMode) SetGraphicsMode;
    decltype(&::SetPixelV) SetPixelV;
    decltype(&::SetPolyFillMode) SetPolyFillMode;
    decltype(&::SetROP2) SetROP2;
    decltype(&::SetTextColor) SetTextColor;
    decltype(&::SetWorldTransform) SetWorldTransform;
    decltype(&::CreateFontIndirectW) CreateFontIndirectW;
    decltype(&::GetObjectW) GetObjectW;
    decltype(&::GetTextExtentPoint32W) GetTextExtentPoint32W;
    decltype(&::TextOutW) TextOutW;
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

}  // namespace Gfx

namespace Gfx {

// Selects a new pen, brush, font or bitmap into a drawing context and deletes the one it
// replaces, so exactly one of each kind stays selected and none accumulate.
inline void selectReplacing(HDC dc, HGDIOBJ object) {
    HGDIOBJ replaced = gdi.SelectObject(dc, object);
    if (replaced != nullptr) gdi.DeleteObject(replaced);
}

// A colour 0x00BBGGRR as a pixel 0x00RRGGBB.
inline DWORD colorToPixel(COLORREF colour) {
    return ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu) | (colour & 0xFF00FF00u);
}

}  // namespace Gfx
