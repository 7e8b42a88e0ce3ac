// Object handles: selection, deletion, stock objects, descriptions, and the name tables.
#include <cstring>

#include "platform/gdi32/gdi_objects.h"
#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

TEST(Objects, SelectObjectReturnsWhatItReplaces) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN red = CreatePen(PS_SOLID, 1, kRed);
    HBRUSH blue = CreateSolidBrush(kBlue);
    EXPECT_EQ(SelectObject(dc, red), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, blue), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), red);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), blue);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    // A selected object cannot be deleted; once replaced it can.
    EXPECT_FALSE(DeleteObject(red));
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_PEN)), red);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_FALSE(DeleteObject(red));  // a stale handle is rejected
    EXPECT_EQ(SelectObject(dc, red), nullptr);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(DeleteObject(blue));
    // Stock objects survive DeleteObject.
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_PEN)), static_cast<DWORD>(OBJ_PEN));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(Objects, NoneLeak) {
    std::size_t before = platform::gdi32::liveObjectCount();
    {
        Canvas c(20, 20);
        c.pen(PS_SOLID, 2, kRed);
        c.brush(kBlue);
        c.font(20);
        LOGBRUSH lb{BS_HATCHED, kRed, HS_CROSS};
        c.use(CreateBrushIndirect(&lb));
        c.use(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 2, &lb, 0, nullptr));
        HRGN region = CreateRectRgn(0, 0, 5, 5);
        SelectClipRgn(c.dc(), region);
        DeleteObject(region);
        HBITMAP mono = CreateBitmap(8, 8, 1, 1, nullptr);
        LOGBRUSH pattern{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(mono)};
        HBRUSH patternBrush = CreateBrushIndirect(&pattern);
        DeleteObject(mono);  // the brush keeps its own copy
        c.use(patternBrush);
        Rectangle(c.dc(), 0, 0, 10, 10);
        EXPECT_GT(platform::gdi32::liveObjectCount(), before);
    }
    EXPECT_EQ(platform::gdi32::liveObjectCount(), before);
}

TEST(Objects, GetObjectDescribesFontsPensAndBrushes) {
    LOGFONTW lf{};
    lf.lfHeight = 20;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    std::memcpy(lf.lfFaceName, u"微软雅黑", sizeof(char16_t) * 5);
    HFONT font = CreateFontIndirectW(&lf);
    LOGFONTW out{};
    EXPECT_EQ(GetObjectW(font, sizeof out, &out), 92);
    EXPECT_EQ(std::memcmp(&lf, &out, sizeof lf), 0);
    EXPECT_EQ(GetObjectW(font, 0, nullptr), 92);
    DeleteObject(font);

    LOGBRUSH lb{BS_SOLID, kRed, 0};
    const DWORD dashes[] = {3, 2, 1};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 4, &lb, 3, dashes);
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_EXTPEN));
    unsigned char buffer[64] = {};
    ASSERT_EQ(GetObjectW(pen, sizeof buffer, buffer),
              static_cast<int>(sizeof(EXTLOGPEN) + 2 * sizeof(DWORD)));
    EXTLOGPEN elp;
    std::memcpy(&elp, buffer, sizeof elp);
    EXPECT_EQ(elp.elpWidth, 4u);
    EXPECT_EQ(elp.elpNumEntries, 3u);
    EXPECT_EQ(elp.elpColor, kRed);
    DeleteObject(pen);

    HBRUSH brush = CreateHatchBrush(HS_BDIAGONAL, kBlue);
    LOGBRUSH back{};
    EXPECT_EQ(GetObjectW(brush, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lbStyle, static_cast<UINT>(BS_HATCHED));
    EXPECT_EQ(back.lbHatch, static_cast<ULONG_PTR>(HS_BDIAGONAL));
    DeleteObject(brush);
}

TEST(Objects, BadArgumentsFailCleanly) {
    EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
    LOGBRUSH lb{BS_SOLID, 0, 0};
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr);
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 2, nullptr, 0, nullptr), nullptr);
    LOGBRUSH hatch{BS_HATCHED, 0, 99};
    EXPECT_EQ(CreateBrushIndirect(&hatch), nullptr);
    EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_FALSE(Rectangle(nullptr, 0, 0, 1, 1));
    EXPECT_EQ(GetObjectW(reinterpret_cast<HANDLE>(0x1230), 4, nullptr), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(SetWorldTransform(dc, nullptr));
    XFORM shift{1, 0, 0, 1, 5, 5};
    EXPECT_FALSE(SetWorldTransform(dc, &shift));  // needs GM_ADVANCED
    SetGraphicsMode(dc, GM_ADVANCED);
    EXPECT_TRUE(SetWorldTransform(dc, &shift));
    EXPECT_EQ(SetGraphicsMode(dc, GM_COMPATIBLE), 0);  // not while transformed
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    DeleteDC(dc);
}

TEST(Objects, BitmapsLiveInOneDcAtATime) {
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    HGDIOBJ original = SelectObject(a, bitmap);
    EXPECT_NE(original, nullptr);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    DeleteDC(a);  // releases it
    EXPECT_NE(SelectObject(b, bitmap), nullptr);
    DeleteDC(b);
    EXPECT_TRUE(DeleteObject(bitmap));
}

using GdiRectangle = BOOL(WINAPI*)(HDC, int, int, int, int);

TEST(ModuleTables, AllDrawingEntriesByName) {
    const char* names[] = {"Arc",
                           "BitBlt",
                           "CreateBitmap",
                           "CreateBrushIndirect",
                           "CreateCompatibleDC",
                           "CreateDIBSection",
                           "CreatePen",
                           "CreateRectRgn",
                           "CreateSolidBrush",
                           "DeleteDC",
                           "DeleteObject",
                           "Ellipse",
                           "ExtCreatePen",
                           "ExtFloodFill",
                           "FillRgn",
                           "GdiSetBatchLimit",
                           "GetBkMode",
                           "GetClipRgn",
                           "GetCurrentObject",
                           "GetDIBits",
                           "GetPixel",
                           "GetPolyFillMode",
                           "GetROP2",
                           "GetStockObject",
                           "LineTo",
                           "MoveToEx",
                           "Pie",
                           "PolyBezier",
                           "Polygon",
                           "Polyline",
                           "RealizePalette",
                           "Rectangle",
                           "RoundRect",
                           "SelectClipRgn",
                           "SelectObject",
                           "SelectPalette",
                           "SetBkColor",
                           "SetBkMode",
                           "SetGraphicsMode",
                           "SetPixelV",
                           "SetPolyFillMode",
                           "SetROP2",
                           "SetTextColor",
                           "SetWorldTransform",
                           "CreateFontIndirectW",
                           "GetObjectW",
                           "GetTextExtentPoint32W",
                           "TextOutW"};
    static_assert(sizeof names / sizeof names[0] == 48);
    HMODULE gdi = LoadLibraryW(u"gdi32.dll");
    ASSERT_NE(gdi, nullptr);
    EXPECT_EQ(LoadLibraryW(u"GDI32"), gdi);
    for (const char* name : names) EXPECT_NE(GetProcAddress(gdi, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(gdi, "NoSuchFunction"), nullptr);
    EXPECT_EQ(LoadLibraryW(u"nosuch.dll"), nullptr);
    // An entry is the function itself.
    auto rectangle =
        reinterpret_cast<GdiRectangle>(reinterpret_cast<void (*)()>(GetProcAddress(gdi, "Rectangle")));
    Canvas c(10, 10);
    c.brush(kBlue);
    EXPECT_TRUE(rectangle(c.dc(), 1, 1, 5, 5));
    EXPECT_TRUE(c.is(2, 2, kBlue));
    EXPECT_TRUE(FreeLibrary(gdi));
}

TEST(ModuleTables, ComponentAndCodecEntriesAreHarmless) {
    HMODULE ole = LoadLibraryW(u"ole32.dll");
    HMODULE plus = LoadLibraryW(u"gdiplus.dll");
    ASSERT_TRUE(ole && plus);
    using CoInit = HRESULT(WINAPI*)(void*);
    using Startup = int(WINAPI*)(ULONG_PTR*, const void*, void*);
    using Shutdown = void(WINAPI*)(ULONG_PTR);
    using Load = int(WINAPI*)(void*, void**);
    auto coInit = reinterpret_cast<CoInit>(reinterpret_cast<void (*)()>(GetProcAddress(ole, "CoInitialize")));
    EXPECT_EQ(coInit(nullptr), S_OK);
    EXPECT_NE(GetProcAddress(ole, "CoUninitialize"), nullptr);
    EXPECT_NE(GetProcAddress(ole, "CreateStreamOnHGlobal"), nullptr);
    struct StartupInput {
        UINT version;
        void* callback;
        BOOL noThread, noCodecs;
    } input{1, nullptr, FALSE, FALSE};
    ULONG_PTR token = 0;
    auto startup =
        reinterpret_cast<Startup>(reinterpret_cast<void (*)()>(GetProcAddress(plus, "GdiplusStartup")));
    EXPECT_EQ(startup(&token, &input, nullptr), 0);
    EXPECT_NE(token, 0u);
    void* image = &token;
    auto load =
        reinterpret_cast<Load>(reinterpret_cast<void (*)()>(GetProcAddress(plus, "GdipLoadImageFromStream")));
    EXPECT_EQ(load(nullptr, &image), 6);  // NotImplemented
    EXPECT_EQ(image, nullptr);
    reinterpret_cast<Shutdown>(reinterpret_cast<void (*)()>(GetProcAddress(plus, "GdiplusShutdown")))(token);
    EXPECT_EQ(GetProcAddress(plus, "GdipNoSuch"), nullptr);
}

}  // namespace
