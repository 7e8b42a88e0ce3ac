// gdi32 stand-in: the types, constants and functions of the Win32 drawing subset, with
// Win32's names, layouts and meanings. Implemented on Cairo and Pango in platform/gdi.
#pragma once

#include "win32_types.h"

// ---- Types -------------------------------------------------------------------------------

#define LF_FACESIZE 32

struct LOGFONTW {
    LONG lfHeight;  // > 0: cell height, < 0: character (em) height, 0: default
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};
using PLOGFONTW = LOGFONTW*;
using LPLOGFONTW = LOGFONTW*;
static_assert(sizeof(LOGFONTW) == 92, "LOGFONTW must keep its Win32 size");

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;  // hatch style, HBITMAP (BS_PATTERN) or packed-DIB pointer (BS_DIBPATTERNPT)
};
using PLOGBRUSH = LOGBRUSH*;
using LPLOGBRUSH = LOGBRUSH*;

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};

struct EXTLOGPEN {
    DWORD elpPenStyle;
    DWORD elpWidth;
    UINT elpBrushStyle;
    COLORREF elpColor;
    ULONG_PTR elpHatch;
    DWORD elpNumEntries;
    DWORD elpStyleEntry[1];
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
using PBITMAP = BITMAP*;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // < 0: top-down rows
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
using PBITMAPINFOHEADER = BITMAPINFOHEADER*;
using LPBITMAPINFOHEADER = BITMAPINFOHEADER*;
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER must keep its Win32 size");

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
using PBITMAPINFO = BITMAPINFO*;
using LPBITMAPINFO = BITMAPINFO*;

struct XFORM {
    FLOAT eM11;
    FLOAT eM12;
    FLOAT eM21;
    FLOAT eM22;
    FLOAT eDx;
    FLOAT eDy;
};
using PXFORM = XFORM*;
using LPXFORM = XFORM*;

// ---- Constants ---------------------------------------------------------------------------

// Pen styles.
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6
#define PS_USERSTYLE 7
#define PS_ALTERNATE 8
#define PS_STYLE_MASK 0x0000000F
#define PS_ENDCAP_ROUND 0x00000000
#define PS_ENDCAP_SQUARE 0x00000100
#define PS_ENDCAP_FLAT 0x00000200
#define PS_ENDCAP_MASK 0x00000F00
#define PS_JOIN_ROUND 0x00000000
#define PS_JOIN_BEVEL 0x00001000
#define PS_JOIN_MITER 0x00002000
#define PS_JOIN_MASK 0x0000F000
#define PS_COSMETIC 0x00000000
#define PS_GEOMETRIC 0x00010000
#define PS_TYPE_MASK 0x000F0000

// Brush styles and hatches.
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2
#define BS_PATTERN 3
#define BS_INDEXED 4
#define BS_DIBPATTERN 5
#define BS_DIBPATTERNPT 6
#define BS_PATTERN8X8 7
#define BS_DIBPATTERN8X8 8
#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17
#define DC_BRUSH 18
#define DC_PEN 19

// Object types (GetCurrentObject, GetObjectType).
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_METADC 4
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_METAFILE 9
#define OBJ_MEMDC 10
#define OBJ_EXTPEN 11
#define OBJ_ENHMETADC 12
#define OBJ_ENHMETAFILE 13

// Background modes, graphics modes, polygon fill modes, world-transform modes.
#define TRANSPARENT 1
#define OPAQUE 2
#define GM_COMPATIBLE 1
#define GM_ADVANCED 2
#define ALTERNATE 1
#define WINDING 2
#define MWT_IDENTITY 1
#define MWT_LEFTMULTIPLY 2
#define MWT_RIGHTMULTIPLY 3

// Binary raster operations (SetROP2).
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

// Ternary raster operations (BitBlt).
#define SRCCOPY static_cast<DWORD>(0x00CC0020)
#define SRCPAINT static_cast<DWORD>(0x00EE0086)
#define SRCAND static_cast<DWORD>(0x008800C6)
#define SRCINVERT static_cast<DWORD>(0x00660046)
#define SRCERASE static_cast<DWORD>(0x00440328)
#define NOTSRCCOPY static_cast<DWORD>(0x00330008)
#define NOTSRCERASE static_cast<DWORD>(0x001100A6)
#define MERGEPAINT static_cast<DWORD>(0x00BB0226)
#define PATCOPY static_cast<DWORD>(0x00F00021)
#define PATINVERT static_cast<DWORD>(0x005A0049)
#define DSTINVERT static_cast<DWORD>(0x00550009)
#define BLACKNESS static_cast<DWORD>(0x00000042)
#define WHITENESS static_cast<DWORD>(0x00FF0062)

// Bitmaps.
#define BI_RGB 0
#define BI_BITFIELDS 3
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1

// Flood fill.
#define FLOODFILLBORDER 0
#define FLOODFILLSURFACE 1

// Regions.
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

// Fonts.
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_REGULAR 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define GB2312_CHARSET 134
#define CHINESEBIG5_CHARSET 136
#define OEM_CHARSET 255
#define OUT_DEFAULT_PRECIS 0
#define OUT_TT_PRECIS 4
#define OUT_OUTLINE_PRECIS 8
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50

// Error results.
#define CLR_INVALID static_cast<COLORREF>(0xFFFFFFFF)
#define GDI_ERROR static_cast<DWORD>(0xFFFFFFFF)
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)))

// ---- Functions ---------------------------------------------------------------------------
// The 48 of the drawing table first (in its order), then a few companions.

BOOL WINAPI Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                int yEnd);
BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits);
HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* brush);
HDC WINAPI CreateCompatibleDC(HDC hdc);
HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                DWORD offset);
HPEN WINAPI CreatePen(int style, int width, COLORREF color);
HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom);
HBRUSH WINAPI CreateSolidBrush(COLORREF color);
BOOL WINAPI DeleteDC(HDC hdc);
BOOL WINAPI DeleteObject(HGDIOBJ object);
BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom);
HPEN WINAPI ExtCreatePen(DWORD penStyle, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                         const DWORD* style);
BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type);
BOOL WINAPI FillRgn(HDC hdc, HRGN region, HBRUSH brush);
DWORD WINAPI GdiSetBatchLimit(DWORD limit);
int WINAPI GetBkMode(HDC hdc);
int WINAPI GetClipRgn(HDC hdc, HRGN region);
HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type);
int WINAPI GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info,
                     UINT usage);
COLORREF WINAPI GetPixel(HDC hdc, int x, int y);
int WINAPI GetPolyFillMode(HDC hdc);
int WINAPI GetROP2(HDC hdc);
HGDIOBJ WINAPI GetStockObject(int index);
BOOL WINAPI LineTo(HDC hdc, int x, int y);
BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT previous);
BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2);
BOOL WINAPI PolyBezier(HDC hdc, const POINT* points, DWORD count);
BOOL WINAPI Polygon(HDC hdc, const POINT* points, int count);
BOOL WINAPI Polyline(HDC hdc, const POINT* points, int count);
UINT WINAPI RealizePalette(HDC hdc);
BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
int WINAPI SelectClipRgn(HDC hdc, HRGN region);
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object);
HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color);
int WINAPI SetBkMode(HDC hdc, int mode);
int WINAPI SetGraphicsMode(HDC hdc, int mode);
BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color);
int WINAPI SetPolyFillMode(HDC hdc, int mode);
int WINAPI SetROP2(HDC hdc, int rop2);
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color);
BOOL WINAPI SetWorldTransform(HDC hdc, const XFORM* xform);
HFONT WINAPI CreateFontIndirectW(const LOGFONTW* font);
int WINAPI GetObjectW(HANDLE object, int size, LPVOID buffer);
BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int length, LPSIZE size);
BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR text, int length);

COLORREF WINAPI GetBkColor(HDC hdc);
COLORREF WINAPI GetTextColor(HDC hdc);
int WINAPI GetGraphicsMode(HDC hdc);
BOOL WINAPI GetWorldTransform(HDC hdc, LPXFORM xform);
DWORD WINAPI GetObjectType(HGDIOBJ object);
HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF color);
BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT point);
int WINAPI GetRgnBox(HRGN region, LPRECT rect);
BOOL WINAPI GdiFlush();
