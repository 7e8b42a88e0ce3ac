// The drawing objects behind the HGDIOBJ handles, and the table that maps handles to them.
// Handles are slot numbers with a generation, so a stale or foreign handle is rejected
// rather than followed. The table is guarded by one mutex: the window thread copies to a
// window DC while the program's thread creates and deletes other objects.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform::gdi32 {

struct FontFace;

struct GdiObject {
    explicit GdiObject(DWORD objectType) : type(objectType) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    DWORD type;             // OBJ_PEN, OBJ_EXTPEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, ...
    bool stock = false;     // never deleted
    int selectedCount = 0;  // DCs that have it selected; DeleteObject fails while > 0
    HGDIOBJ handle = nullptr;
};

struct Pen : GdiObject {
    Pen() : GdiObject(OBJ_PEN) {}
    DWORD style = PS_SOLID;  // full style bits as given
    int width = 1;
    COLORREF color = 0;
    bool geometric = false;  // ExtCreatePen PS_GEOMETRIC, or CreatePen wider than 1
    bool extended = false;   // made by ExtCreatePen: GetObjectW answers EXTLOGPEN
    UINT brushStyle = BS_SOLID;
    ULONG_PTR hatch = 0;
    std::vector<DWORD> userStyle;

    int kind() const { return static_cast<int>(style & PS_STYLE_MASK); }
    bool isNull() const { return kind() == PS_NULL || brushStyle == BS_NULL; }
    // The width in device pixels of what this pen strokes.
    int strokeWidth() const { return geometric ? (width < 1 ? 1 : width) : 1; }
    bool roundCapsAndJoins() const {
        return (style & PS_ENDCAP_MASK) == PS_ENDCAP_ROUND && (style & PS_JOIN_MASK) == PS_JOIN_ROUND;
    }
    bool solid() const { return kind() == PS_SOLID || kind() == PS_INSIDEFRAME; }
};

struct Brush : GdiObject {
    Brush() : GdiObject(OBJ_BRUSH) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    ULONG_PTR hatch = 0;
    // Pattern brushes: pixels 0x00RRGGBB, patternWidth x patternHeight. A monochrome pattern
    // paints its 0 bits in the text colour and its 1 bits in the background colour.
    std::vector<std::uint32_t> pattern;
    int patternWidth = 0;
    int patternHeight = 0;
    bool monochrome = false;
};

struct Font : GdiObject {
    Font() : GdiObject(OBJ_FONT) {}
    LOGFONTW logFont{};
    std::shared_ptr<const FontFace> face;  // resolved on first use
};

struct Bitmap : GdiObject {
    Bitmap() : GdiObject(OBJ_BITMAP) {}
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;  // 1 for CreateBitmap monochrome; stored as 32-bit pixels anyway
    bool dibSection = false;
    bool bottomUp = false;              // a DIB section with a positive height: last row first
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, no row padding
    HDC selectedInto = nullptr;         // a bitmap lives in at most one DC

    // Row y counted from the top, whatever the memory order.
    std::uint32_t* row(int y) {
        std::size_t index = static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
        return pixels.data() + index * static_cast<std::size_t>(width);
    }
    std::ptrdiff_t stride() const { return bottomUp ? -width : width; }
};

struct Region : GdiObject {
    Region() : GdiObject(OBJ_REGION) {}
    RECT rect{0, 0, 0, 0};  // right and bottom exclusive; empty when left >= right or top >= bottom
    bool empty() const { return rect.left >= rect.right || rect.top >= rect.bottom; }
};

struct Palette : GdiObject {
    Palette() : GdiObject(OBJ_PAL) {}
};

struct DeviceContext : GdiObject {
    DeviceContext() : GdiObject(OBJ_MEMDC) {}
    HWND window = nullptr;  // a window DC: only BitBlt onto it reaches the screen
    Pen* pen = nullptr;
    Brush* brush = nullptr;
    Font* font = nullptr;
    Bitmap* bitmap = nullptr;
    Palette* palette = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int graphicsMode = GM_COMPATIBLE;
    XFORM xform{1, 0, 0, 1, 0, 0};
    POINT position{0, 0};
    std::optional<RECT> clip;  // device coordinates, right/bottom exclusive
};

// ---- The handle table ----

// Registers a new object and returns its handle (the object is owned by the table).
HGDIOBJ registerObject(std::unique_ptr<GdiObject> object);
// The object behind a handle, or null for an unknown or deleted handle.
GdiObject* lookupObject(HGDIOBJ handle);
template <class T>
T* lookupAs(HGDIOBJ handle, DWORD type) {
    GdiObject* object = lookupObject(handle);
    return object && object->type == type ? static_cast<T*>(object) : nullptr;
}
Pen* lookupPen(HGDIOBJ handle);   // OBJ_PEN or OBJ_EXTPEN
DeviceContext* lookupDC(HDC dc);  // memory and window DCs
// Removes and frees an object; false when the handle is unknown, stock or selected.
bool destroyObject(HGDIOBJ handle);
// The stock object of GetStockObject's index, or null.
GdiObject* stockObject(int index);
// Objects alive that a program created (stock objects excluded): a leak check for tests.
std::size_t liveObjectCount();

// Pixels are 0x00RRGGBB; colours 0x00BBGGRR.
inline std::uint32_t toPixel(COLORREF color) {
    return ((color & 0xFFu) << 16) | ((color >> 16) & 0xFFu) | (color & 0xFF00u);
}
inline COLORREF toColor(std::uint32_t pixel) {
    return ((pixel & 0xFFu) << 16) | ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u);
}

}  // namespace platform::gdi32
