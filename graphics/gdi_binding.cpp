// Filling the three binding tables by name, once, while the graphics layer starts.
#include "graphics/gdi_binding.h"

#include <cstdio>
#include <cstdlib>

namespace Gfx {

GdiFunctions gdi;
GdiplusFunctions gdiplus;
Ole32Functions ole32;

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

namespace {

// A library being bound: loaded on construction, then its entries filled one by one.
class LibraryBinding {
  public:
    LibraryBinding(LPCWSTR name, const char* printableName)
        : module_(loadLibraryOrExit(name, printableName)), printableName_(printableName) {}

    // Going through void(*)() is the portable, warning-free way between function pointer types.
    template <typename Entry>
    void bind(const char* name, Entry& slot) const {
        slot = reinterpret_cast<Entry>(findProcOrExit(module_, printableName_, name));
    }

  private:
    HMODULE module_;
    const char* printableName_;
};

}  // namespace

#define MM_BIND(table, name) library.bind(#name, table.name)

void bindOle32() {
    const LibraryBinding library(TEXT("ole32.dll"), "ole32.dll");
    MM_BIND(ole32, CreateStreamOnHGlobal);
    MM_BIND(ole32, CoInitialize);
    MM_BIND(ole32, CoUninitialize);
}

void bindGdi() {
    const LibraryBinding library(TEXT("gdi32.dll"), "gdi32.dll");
#define MM_BIND_GDI(name) MM_BIND(gdi, name);
    MM_GDI_ENTRIES(MM_BIND_GDI)
#undef MM_BIND_GDI
}

void bindGdiplus() {
    const LibraryBinding library(TEXT("gdiplus.dll"), "gdiplus.dll");
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
    MM_BIND(gdiplus, GdipSaveImageToStream);
    MM_BIND(gdiplus, GdipCreateBitmapFromFile);
    MM_BIND(gdiplus, GdipBitmapLockBits);
    MM_BIND(gdiplus, GdipBitmapUnlockBits);
}

#undef MM_BIND

}  // namespace Gfx
