// Bitmaps: CreateBitmap, DIB sections (whose pixel memory the program writes directly) and
// reading pixels back with GetDIBits.
#include <cstring>

#include "platform/gdi32/dib_format.h"
#include "platform/gdi32/gdi_objects.h"

using namespace platform::gdi32;

HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
    if (width < 0 || height < 0 || planes != 1) return nullptr;
    if (width == 0 || height == 0) return static_cast<HBITMAP>(stockObject(9)->handle);
    if (bitCount != 1 && bitCount != 32) return nullptr;
    if (static_cast<long long>(width) * height > kMaxBitmapPixels) return nullptr;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPerPixel = static_cast<int>(bitCount);
    readDeviceBits(bits, width, height, static_cast<int>(bitCount), bitmap->pixels);
    return static_cast<HBITMAP>(registerObject(std::move(bitmap)));
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || section || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1)
        return nullptr;
    // The pixel store is 32 bits per pixel, 0x00RRGGBB: what Cairo calls RGB24.
    if (h.biBitCount != 32 || h.biCompression != BI_RGB) return nullptr;
    long long rows = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    if (static_cast<long long>(h.biWidth) * rows > kMaxBitmapPixels) return nullptr;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = h.biWidth;
    bitmap->height = static_cast<int>(rows);
    bitmap->dibSection = true;
    bitmap->bottomUp = h.biHeight > 0;
    bitmap->pixels.assign(static_cast<std::size_t>(h.biWidth) * static_cast<std::size_t>(rows), 0);
    void* memory = bitmap->pixels.data();
    HBITMAP handle = static_cast<HBITMAP>(registerObject(std::move(bitmap)));
    if (handle && bits) *bits = memory;
    return handle;
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info,
                     UINT usage) {
    auto* bitmap = lookupAs<Bitmap>(hbitmap, OBJ_BITMAP);
    if (!lookupDC(hdc) || !bitmap || !info || usage != DIB_RGB_COLORS) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (!bits) {
        if (h.biBitCount == 0) {
            h.biWidth = bitmap->width;
            h.biHeight = bitmap->height;
            h.biPlanes = 1;
            h.biBitCount = static_cast<WORD>(bitmap->bitsPerPixel == 1 ? 1 : 32);
            h.biCompression = BI_RGB;
            h.biSizeImage =
                static_cast<DWORD>(((bitmap->width * h.biBitCount + 31) / 32) * 4 * bitmap->height);
        }
        return bitmap->height;
    }
    if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth != bitmap->width) return 0;
    int height = bitmap->height;
    bool topDown = h.biHeight < 0;
    auto* out = static_cast<std::uint32_t*>(bits);
    int copied = 0;
    for (UINT i = 0; i < lines; ++i) {
        long long scan =
            static_cast<long long>(start) + i;  // scan lines count from the bottom when bottom-up
        if (scan >= height) break;
        int y = topDown ? static_cast<int>(scan) : height - 1 - static_cast<int>(scan);
        std::memcpy(out + static_cast<std::size_t>(i) * bitmap->width, bitmap->row(y),
                    sizeof(std::uint32_t) * static_cast<std::size_t>(bitmap->width));
        ++copied;
    }
    return copied;
}
