// The modules a program loads by name, and their function tables: LoadLibraryW, GetProcAddress and
// FreeLibrary (kernel32 functions) serve "gdi32.dll", "ole32.dll" and "gdiplus.dll", the only
// libraries a program here loads at run time, so the tables live beside the drawing half.
#include <windows.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>

#include "platform/gdi32/image_codec.h"
#include "platform/gdi32/memory_stream.h"

// ole32 and gdiplus: start-up and shutdown are harmless; the picture entries live in
// image_codec.cpp and the memory stream in memory_stream.cpp; drawing pictures onto a device
// context and reading pictures from streams are not available.
namespace {

// GDI+ Status values.
constexpr int kGdiplusOk = 0;
constexpr int kGdiplusInvalidParameter = 2;
constexpr int kGdiplusNotImplemented = 6;

HRESULT WINAPI CoInitialize(void*) {
    return S_OK;
}
void WINAPI CoUninitialize() {}

int WINAPI GdiplusStartup(ULONG_PTR* token, const void* input, void* output) {
    if (!token || !input) return kGdiplusInvalidParameter;
    *token = 1;
    (void)output;
    return kGdiplusOk;
}
void WINAPI GdiplusShutdown(ULONG_PTR) {}

using namespace platform::gdi32;
using platform::ole32::CreateStreamOnHGlobal;

// The remaining image entries: "not implemented", with their out-pointer (last argument) cleared.
int WINAPI GdipLoadImageFromStream(void*, void** image) {
    if (image) *image = nullptr;
    return kGdiplusNotImplemented;
}
int WINAPI GdipCreateFromHDC(HDC, void** graphics) {
    if (graphics) *graphics = nullptr;
    return kGdiplusNotImplemented;
}
int WINAPI GdipDrawImageRectI(void*, void*, INT, INT, INT, INT) {
    return kGdiplusNotImplemented;
}
int WINAPI GdipDeleteGraphics(void*) {
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

// One entry of a module's table: the function under its own name.
#define MM_EXPORT(name) \
    { #name, entry(&name) }

class Modules {
  public:
    Modules() {
        auto& gdi = modules_["gdi32"].functions;
        gdi = {MM_EXPORT(Arc), MM_EXPORT(BitBlt), MM_EXPORT(CreateBitmap), MM_EXPORT(CreateBrushIndirect),
               MM_EXPORT(CreateCompatibleDC), MM_EXPORT(CreateDIBSection), MM_EXPORT(CreatePen),
               MM_EXPORT(CreateRectRgn), MM_EXPORT(CreateSolidBrush), MM_EXPORT(DeleteDC),
               MM_EXPORT(DeleteObject), MM_EXPORT(Ellipse), MM_EXPORT(ExtCreatePen), MM_EXPORT(ExtFloodFill),
               MM_EXPORT(FillRgn), MM_EXPORT(GdiSetBatchLimit), MM_EXPORT(GetBkMode), MM_EXPORT(GetClipRgn),
               MM_EXPORT(GetCurrentObject), MM_EXPORT(GetDIBits), MM_EXPORT(GetPixel),
               MM_EXPORT(GetPolyFillMode), MM_EXPORT(GetROP2), MM_EXPORT(GetStockObject), MM_EXPORT(LineTo),
               MM_EXPORT(MoveToEx), MM_EXPORT(Pie), MM_EXPORT(PolyBezier), MM_EXPORT(Polygon),
               MM_EXPORT(Polyline), MM_EXPORT(RealizePalette), MM_EXPORT(Rectangle), MM_EXPORT(RoundRect),
               MM_EXPORT(SelectClipRgn), MM_EXPORT(SelectObject), MM_EXPORT(SelectPalette),
               MM_EXPORT(SetBkColor), MM_EXPORT(SetBkMode), MM_EXPORT(SetGraphicsMode), MM_EXPORT(SetPixelV),
               MM_EXPORT(SetPolyFillMode), MM_EXPORT(SetROP2), MM_EXPORT(SetTextColor),
               MM_EXPORT(SetWorldTransform), MM_EXPORT(CreateFontIndirectW), MM_EXPORT(GetObjectW),
               MM_EXPORT(GetTextExtentPoint32W), MM_EXPORT(TextOutW),
               // Companions beyond the drawing table.
               MM_EXPORT(GetBkColor), MM_EXPORT(GetTextColor), MM_EXPORT(GetGraphicsMode),
               MM_EXPORT(GetWorldTransform), MM_EXPORT(GetObjectType), MM_EXPORT(CreateHatchBrush),
               MM_EXPORT(GetCurrentPositionEx), MM_EXPORT(GetRgnBox), MM_EXPORT(GdiFlush)};
        modules_["ole32"].functions = {MM_EXPORT(CreateStreamOnHGlobal), MM_EXPORT(CoInitialize),
                                       MM_EXPORT(CoUninitialize)};
        modules_["gdiplus"].functions = {
            MM_EXPORT(GdiplusStartup),           MM_EXPORT(GdiplusShutdown),
            MM_EXPORT(GdipLoadImageFromStream),  MM_EXPORT(GdipGetImageWidth),
            MM_EXPORT(GdipGetImageHeight),       MM_EXPORT(GdipCreateFromHDC),
            MM_EXPORT(GdipDrawImageRectI),       MM_EXPORT(GdipDisposeImage),
            MM_EXPORT(GdipDeleteGraphics),       MM_EXPORT(GdipGetImageEncodersSize),
            MM_EXPORT(GdipGetImageEncoders),     MM_EXPORT(GdipCreateBitmapFromGdiDib),
            MM_EXPORT(GdipSaveImageToFile),      MM_EXPORT(GdipSaveImageToStream),
            MM_EXPORT(GdipCreateBitmapFromFile), MM_EXPORT(GdipBitmapLockBits),
            MM_EXPORT(GdipBitmapUnlockBits)};
    }

#undef MM_EXPORT

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

    bool known(HMODULE module) {
        return moduleOf(module) != nullptr;
    }

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
