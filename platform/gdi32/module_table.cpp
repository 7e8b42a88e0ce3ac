// The modules a program loads by name, and their function tables: LoadLibraryW, GetProcAddress and
// FreeLibrary (kernel32 functions) serve "gdi32.dll", "ole32.dll" and "gdiplus.dll", the only
// libraries a program here loads at run time, so the tables live beside the drawing half.
#include <windows.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>

// ole32 and gdiplus: start-up and shutdown are harmless, the image codecs are not available.
namespace {

// GDI+ Status values.
constexpr int kGdiplusOk = 0;
constexpr int kGdiplusInvalidParameter = 2;
constexpr int kGdiplusNotImplemented = 6;

HRESULT WINAPI CoInitialize(void*) {
    return S_OK;
}
void WINAPI CoUninitialize() {}
HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL, BOOL, void** stream) {
    if (stream) *stream = nullptr;
    return E_NOTIMPL;
}

int WINAPI GdiplusStartup(ULONG_PTR* token, const void* input, void* output) {
    if (!token || !input) return kGdiplusInvalidParameter;
    *token = 1;
    (void)output;
    return kGdiplusOk;
}
void WINAPI GdiplusShutdown(ULONG_PTR) {}

// Every image entry: "not implemented", with its out-pointer (last argument) cleared.
int WINAPI GdipLoadImageFromStream(void*, void** image) {
    if (image) *image = nullptr;
    return kGdiplusNotImplemented;
}
int WINAPI GdipGetImageWidth(void*, UINT* width) {
    if (width) *width = 0;
    return kGdiplusNotImplemented;
}
int WINAPI GdipGetImageHeight(void*, UINT* height) {
    if (height) *height = 0;
    return kGdiplusNotImplemented;
}
int WINAPI GdipCreateFromHDC(HDC, void** graphics) {
    if (graphics) *graphics = nullptr;
    return kGdiplusNotImplemented;
}
int WINAPI GdipDrawImageRectI(void*, void*, INT, INT, INT, INT) {
    return kGdiplusNotImplemented;
}
int WINAPI GdipDisposeImage(void*) {
    return kGdiplusNotImplemented;
}
int WINAPI GdipDeleteGraphics(void*) {
    return kGdiplusNotImplemented;
}
int WINAPI GdipGetImageEncodersSize(UINT* count, UINT* size) {
    if (count) *count = 0;
    if (size) *size = 0;
    return kGdiplusNotImplemented;
}
int WINAPI GdipGetImageEncoders(UINT, UINT, void*) {
    return kGdiplusNotImplemented;
}
int WINAPI GdipCreateBitmapFromGdiDib(const void*, void*, void** bitmap) {
    if (bitmap) *bitmap = nullptr;
    return kGdiplusNotImplemented;
}
int WINAPI GdipSaveImageToFile(void*, const WCHAR*, const void*, const void*) {
    return kGdiplusNotImplemented;
}

template <class F>
FARPROC entry(F* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

std::string moduleKey(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) name.resize(name.size() - 4);
    return name;
}

struct Module {
    std::map<std::string, FARPROC> functions;
};

class Modules {
  public:
    Modules() {
        auto& gdi = modules_["gdi32"].functions;
        gdi = {{"Arc", entry(&Arc)},
               {"BitBlt", entry(&BitBlt)},
               {"CreateBitmap", entry(&CreateBitmap)},
               {"CreateBrushIndirect", entry(&CreateBrushIndirect)},
               {"CreateCompatibleDC", entry(&CreateCompatibleDC)},
               {"CreateDIBSection", entry(&CreateDIBSection)},
               {"CreatePen", entry(&CreatePen)},
               {"CreateRectRgn", entry(&CreateRectRgn)},
               {"CreateSolidBrush", entry(&CreateSolidBrush)},
               {"DeleteDC", entry(&DeleteDC)},
               {"DeleteObject", entry(&DeleteObject)},
               {"Ellipse", entry(&Ellipse)},
               {"ExtCreatePen", entry(&ExtCreatePen)},
               {"ExtFloodFill", entry(&ExtFloodFill)},
               {"FillRgn", entry(&FillRgn)},
               {"GdiSetBatchLimit", entry(&GdiSetBatchLimit)},
               {"GetBkMode", entry(&GetBkMode)},
               {"GetClipRgn", entry(&GetClipRgn)},
               {"GetCurrentObject", entry(&GetCurrentObject)},
               {"GetDIBits", entry(&GetDIBits)},
               {"GetPixel", entry(&GetPixel)},
               {"GetPolyFillMode", entry(&GetPolyFillMode)},
               {"GetROP2", entry(&GetROP2)},
               {"GetStockObject", entry(&GetStockObject)},
               {"LineTo", entry(&LineTo)},
               {"MoveToEx", entry(&MoveToEx)},
               {"Pie", entry(&Pie)},
               {"PolyBezier", entry(&PolyBezier)},
               {"Polygon", entry(&Polygon)},
               {"Polyline", entry(&Polyline)},
               {"RealizePalette", entry(&RealizePalette)},
               {"Rectangle", entry(&Rectangle)},
               {"RoundRect", entry(&RoundRect)},
               {"SelectClipRgn", entry(&SelectClipRgn)},
               {"SelectObject", entry(&SelectObject)},
               {"SelectPalette", entry(&SelectPalette)},
               {"SetBkColor", entry(&SetBkColor)},
               {"SetBkMode", entry(&SetBkMode)},
               {"SetGraphicsMode", entry(&SetGraphicsMode)},
               {"SetPixelV", entry(&SetPixelV)},
               {"SetPolyFillMode", entry(&SetPolyFillMode)},
               {"SetROP2", entry(&SetROP2)},
               {"SetTextColor", entry(&SetTextColor)},
               {"SetWorldTransform", entry(&SetWorldTransform)},
               {"CreateFontIndirectW", entry(&CreateFontIndirectW)},
               {"GetObjectW", entry(&GetObjectW)},
               {"GetTextExtentPoint32W", entry(&GetTextExtentPoint32W)},
               {"TextOutW", entry(&TextOutW)},
               // Companions beyond the drawing table.
               {"GetBkColor", entry(&GetBkColor)},
               {"GetTextColor", entry(&GetTextColor)},
               {"GetGraphicsMode", entry(&GetGraphicsMode)},
               {"GetWorldTransform", entry(&GetWorldTransform)},
               {"GetObjectType", entry(&GetObjectType)},
               {"CreateHatchBrush", entry(&CreateHatchBrush)},
               {"GetCurrentPositionEx", entry(&GetCurrentPositionEx)},
               {"GetRgnBox", entry(&GetRgnBox)},
               {"GdiFlush", entry(&GdiFlush)}};
        modules_["ole32"].functions = {{"CreateStreamOnHGlobal", entry(&CreateStreamOnHGlobal)},
                                       {"CoInitialize", entry(&CoInitialize)},
                                       {"CoUninitialize", entry(&CoUninitialize)}};
        modules_["gdiplus"].functions = {{"GdiplusStartup", entry(&GdiplusStartup)},
                                         {"GdiplusShutdown", entry(&GdiplusShutdown)},
                                         {"GdipLoadImageFromStream", entry(&GdipLoadImageFromStream)},
                                         {"GdipGetImageWidth", entry(&GdipGetImageWidth)},
                                         {"GdipGetImageHeight", entry(&GdipGetImageHeight)},
                                         {"GdipCreateFromHDC", entry(&GdipCreateFromHDC)},
                                         {"GdipDrawImageRectI", entry(&GdipDrawImageRectI)},
                                         {"GdipDisposeImage", entry(&GdipDisposeImage)},
                                         {"GdipDeleteGraphics", entry(&GdipDeleteGraphics)},
                                         {"GdipGetImageEncodersSize", entry(&GdipGetImageEncodersSize)},
                                         {"GdipGetImageEncoders", entry(&GdipGetImageEncoders)},
                                         {"GdipCreateBitmapFromGdiDib", entry(&GdipCreateBitmapFromGdiDib)},
                                         {"GdipSaveImageToFile", entry(&GdipSaveImageToFile)}};
    }

    HMODULE find(const std::string& name) {
        auto it = modules_.find(moduleKey(name));
        return it == modules_.end() ? nullptr : reinterpret_cast<HMODULE>(&it->second);
    }

    FARPROC lookup(HMODULE module, const char* name) {
        const Module* m = moduleOf(module);
        if (m == nullptr) return nullptr;
        auto it = m->functions.find(name);
        return it == m->functions.end() ? nullptr : it->second;
    }

    bool known(HMODULE module) { return moduleOf(module) != nullptr; }

  private:
    const Module* moduleOf(HMODULE module) const {
        for (const auto& [key, m] : modules_) {
            if (static_cast<const void*>(&m) == static_cast<const void*>(module)) return &m;
        }
        return nullptr;
    }

    std::map<std::string, Module> modules_;  // filled once; nodes never move: their addresses are the handles
};

Modules& modules() {
    static Modules* instance = new Modules();
    return *instance;
}

std::string narrow(LPCWSTR name) {
    std::string out;
    for (; *name; ++name) {
        if (*name > 0x7F) return {};  // module names are ASCII; others match nothing
        out.push_back(static_cast<char>(*name));
    }
    return out;
}

}  // namespace

HMODULE WINAPI LoadLibraryW(LPCWSTR fileName) {
    if (!fileName) return nullptr;
    std::string name = narrow(fileName);
    return name.empty() ? nullptr : modules().find(name);
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    if (!module || !procName) return nullptr;
    // Lookups by ordinal (a pointer value below 65536) are not supported.
    if (reinterpret_cast<std::uintptr_t>(procName) < 0x10000) return nullptr;
    return modules().lookup(module, procName);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    return module && modules().known(module) ? TRUE : FALSE;
}
