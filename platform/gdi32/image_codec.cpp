// The image-codec entries on Cairo: a bitmap is an image surface (RGB24, or ARGB32 when read
// from a PNG with transparency), read with Cairo's own PNG reader and written, to a file or to
// a stream (memory_stream.h), with libpng,
// tuned for speed on the flat colours of drawings (Cairo's writer compresses several times
// slower for a few per cent smaller files).
#include "platform/gdi32/image_codec.h"

#include <cairo.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/gdi32/memory_stream.h"
#include "unicode/utf.h"

namespace platform::gdi32 {

namespace {

// GDI+ Status values.
constexpr int kOk = 0;
constexpr int kGenericError = 1;
constexpr int kInvalidParameter = 2;
constexpr int kOutOfMemory = 3;
constexpr int kWrongState = 8;
constexpr int kFileNotFound = 10;
constexpr int kAccessDenied = 12;
constexpr int kUnknownImageFormat = 13;

constexpr UINT kImageLockModeRead = 1;
constexpr INT kPixelFormat32bppRGB = 0x00022009;
constexpr INT kPixelFormat32bppARGB = 0x0026200A;

struct Guid {
    DWORD data1;
    WORD data2;
    WORD data3;
    BYTE data4[8];
};

constexpr Guid kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr Guid kPngFormat = {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

struct ImageCodecInfo {
    Guid Clsid;
    Guid FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

struct BitmapData {
    UINT Width;
    UINT Height;
    INT Stride;
    INT PixelFormat;
    void* Scan0;
    UINT_PTR Reserved;
};

struct Rect {
    INT X;
    INT Y;
    INT Width;
    INT Height;
};

constexpr BYTE kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr BYTE kPngSignatureMask[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr DWORD kCodecFlags = 0x00010000 | 0x00000002 | 0x00000020;  // built in, encoder, supports bitmap

struct CodecBitmap {
    cairo_surface_t* surface;
    std::vector<std::uint32_t> locked;  // the view handed out by a lock, until its unlock
    bool isLocked = false;
};

// Bitmaps handed out and not yet disposed of: a stale or foreign pointer is refused.
std::mutex liveMutex;
std::set<const void*> liveBitmaps;

CodecBitmap* adopt(cairo_surface_t* surface) {
    auto* bitmap = new CodecBitmap{surface, {}, false};
    const std::lock_guard<std::mutex> lock(liveMutex);
    liveBitmaps.insert(bitmap);
    return bitmap;
}

CodecBitmap* live(void* image) {
    const std::lock_guard<std::mutex> lock(liveMutex);
    return liveBitmaps.count(image) != 0 ? static_cast<CodecBitmap*>(image) : nullptr;
}

std::string utf8Path(const WCHAR* path) {
    return unicode::toUtf8(std::u16string_view(path));
}

// The surface in one of the two formats the lock reads: others (16-bit PNGs) are painted onto
// an ARGB32 one.
cairo_surface_t* inReadableFormat(cairo_surface_t* surface) {
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format == CAIRO_FORMAT_RGB24 || format == CAIRO_FORMAT_ARGB32) return surface;
    cairo_surface_t* converted = cairo_image_surface_create(
        CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
    cairo_t* cr = cairo_create(converted);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return converted;
}

// One pixel of the surface as 0xAARRGGBB with straight (not premultiplied) colour.
std::uint32_t straightPixel(std::uint32_t pixel, bool hasAlpha) {
    if (!hasAlpha) return 0xFF000000u | (pixel & 0x00FFFFFFu);
    const std::uint32_t alpha = pixel >> 24;
    if (alpha == 0) return 0;
    if (alpha == 255) return pixel;
    const auto unpremultiply = [alpha](std::uint32_t c) { return (c * 255 + alpha / 2) / alpha; };
    return (alpha << 24) | (unpremultiply((pixel >> 16) & 0xFF) << 16) |
           (unpremultiply((pixel >> 8) & 0xFF) << 8) | unpremultiply(pixel & 0xFF);
}

// Where the encoded bytes go: a file or a stream. False when they could not all be written.
using ByteSink = bool (*)(void* target, const unsigned char* data, std::size_t length);

bool toFile(void* target, const unsigned char* data, std::size_t length) {
    return std::fwrite(data, 1, length, static_cast<std::FILE*>(target)) == length;
}

bool toStream(void* target, const unsigned char* data, std::size_t length) {
    auto* stream = static_cast<ole32::MemoryStream*>(target);
    while (length > 0) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(length, 1u << 30));
        ULONG written = 0;
        if (stream->methods->Write(stream, data, chunk, &written) != S_OK || written != chunk) return false;
        data += chunk;
        length -= chunk;
    }
    return true;
}

struct Sink {
    ByteSink write;
    void* target;
};

void writeToSink(png_structp png, png_bytep data, png_size_t length) {
    const auto* sink = static_cast<const Sink*>(png_get_io_ptr(png));
    if (!sink->write(sink->target, data, length)) png_error(png, "write failed");
}

void flushNothing(png_structp) {}

// Failures are answered by status, not printed: back to writePng's jump point.
[[noreturn]] void jumpBack(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

// Writes an RGB24 surface as an 8-bit RGB PNG. Nothing here has a destructor: libpng reports
// errors by a long jump back into this function.
bool writePng(cairo_surface_t* surface, const Sink& sink) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpBack, ignoreWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    png_set_write_fn(png, const_cast<Sink*>(&sink), writeToSink, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    // A pixel in memory is B, G, R and an unused byte.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) png_write_row(png, data + static_cast<std::size_t>(y) * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

cairo_status_t cairoToSink(void* closure, const unsigned char* data, unsigned int length) {
    const auto* sink = static_cast<const Sink*>(closure);
    return sink->write(sink->target, data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// The bitmap as a PNG: RGB24 through libpng, tuned for drawings; pictures read from files keep
// their transparency through Cairo's writer, which handles every format.
int encodePng(CodecBitmap& bitmap, const Sink& sink) {
    cairo_surface_flush(bitmap.surface);
    if (cairo_image_surface_get_format(bitmap.surface) != CAIRO_FORMAT_RGB24) {
        const cairo_status_t status =
            cairo_surface_write_to_png_stream(bitmap.surface, cairoToSink, const_cast<Sink*>(&sink));
        if (status == CAIRO_STATUS_SUCCESS) return kOk;
        return status == CAIRO_STATUS_NO_MEMORY ? kOutOfMemory : kAccessDenied;
    }
    return writePng(bitmap.surface, sink) ? kOk : kAccessDenied;
}

}  // namespace

int WINAPI GdipCreateBitmapFromGdiDib(const BITMAPINFO* info, void* bits, void** bitmap) {
    if (bitmap == nullptr) return kInvalidParameter;
    *bitmap = nullptr;
    if (info == nullptr || bits == nullptr) return kInvalidParameter;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    // The pixel stores here are all 32-bit and uncompressed.
    if (header.biBitCount != 32 || header.biCompression != BI_RGB || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biHeight == INT32_MIN)
        return kInvalidParameter;
    const int width = header.biWidth;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return kOutOfMemory;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const auto* source = static_cast<const unsigned char*>(bits);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const int sourceRow = header.biHeight < 0 ? y : height - 1 - y;  // bottom-up unless negative
        std::memcpy(data + static_cast<std::size_t>(y) * stride, source + sourceRow * rowBytes, rowBytes);
    }
    cairo_surface_mark_dirty(surface);
    *bitmap = adopt(surface);
    return kOk;
}

int WINAPI GdipCreateBitmapFromFile(const WCHAR* path, void** bitmap) {
    if (bitmap == nullptr) return kInvalidParameter;
    *bitmap = nullptr;
    if (path == nullptr) return kInvalidParameter;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(utf8Path(path).c_str());
    const cairo_status_t status = cairo_surface_status(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        if (status == CAIRO_STATUS_FILE_NOT_FOUND) return kFileNotFound;
        if (status == CAIRO_STATUS_NO_MEMORY) return kOutOfMemory;
        if (status == CAIRO_STATUS_READ_ERROR) return kAccessDenied;
        return kUnknownImageFormat;
    }
    *bitmap = adopt(inReadableFormat(surface));
    return kOk;
}

int WINAPI GdipGetImageWidth(void* image, UINT* width) {
    if (width == nullptr) return kInvalidParameter;
    *width = 0;
    CodecBitmap* bitmap = live(image);
    if (bitmap == nullptr) return kInvalidParameter;
    *width = static_cast<UINT>(cairo_image_surface_get_width(bitmap->surface));
    return kOk;
}

int WINAPI GdipGetImageHeight(void* image, UINT* height) {
    if (height == nullptr) return kInvalidParameter;
    *height = 0;
    CodecBitmap* bitmap = live(image);
    if (bitmap == nullptr) return kInvalidParameter;
    *height = static_cast<UINT>(cairo_image_surface_get_height(bitmap->surface));
    return kOk;
}

int WINAPI GdipDisposeImage(void* image) {
    {
        const std::lock_guard<std::mutex> lock(liveMutex);
        if (liveBitmaps.erase(image) == 0) return kInvalidParameter;
    }
    auto* bitmap = static_cast<CodecBitmap*>(image);
    cairo_surface_destroy(bitmap->surface);
    delete bitmap;
    return kOk;
}

int WINAPI GdipGetImageEncodersSize(UINT* count, UINT* size) {
    if (count == nullptr || size == nullptr) return kInvalidParameter;
    *count = 1;
    *size = sizeof(ImageCodecInfo);
    return kOk;
}

int WINAPI GdipGetImageEncoders(UINT count, UINT size, void* encoders) {
    if (encoders == nullptr || count != 1 || size < sizeof(ImageCodecInfo)) return kGenericError;
    const ImageCodecInfo png = {kPngEncoder,
                                kPngFormat,
                                u"Built-in PNG Codec",
                                nullptr,
                                u"PNG",
                                u"*.PNG",
                                u"image/png",
                                kCodecFlags,
                                1,
                                1,
                                sizeof kPngSignature,
                                kPngSignature,
                                kPngSignatureMask};
    std::memcpy(encoders, &png, sizeof png);
    return kOk;
}

int WINAPI GdipSaveImageToFile(void* image, const WCHAR* path, const void* encoder, const void* parameters) {
    (void)parameters;  // the PNG encoder takes none
    CodecBitmap* bitmap = live(image);
    if (bitmap == nullptr || path == nullptr || encoder == nullptr) return kInvalidParameter;
    if (std::memcmp(encoder, &kPngEncoder, sizeof kPngEncoder) != 0) return kFileNotFound;  // no such encoder
    std::FILE* file = std::fopen(utf8Path(path).c_str(), "wb");
    if (file == nullptr) return kAccessDenied;
    const int status = encodePng(*bitmap, Sink{toFile, file});
    const bool closed = std::fclose(file) == 0;
    return status == kOk && !closed ? kAccessDenied : status;
}

int WINAPI GdipSaveImageToStream(void* image, void* stream, const void* encoder, const void* parameters) {
    (void)parameters;
    CodecBitmap* bitmap = live(image);
    if (bitmap == nullptr || stream == nullptr || encoder == nullptr) return kInvalidParameter;
    if (std::memcmp(encoder, &kPngEncoder, sizeof kPngEncoder) != 0) return kFileNotFound;
    return encodePng(*bitmap, Sink{toStream, stream});
}

int WINAPI GdipBitmapLockBits(void* image, const void* area, UINT flags, INT format, void* data) {
    CodecBitmap* bitmap = live(image);
    if (bitmap == nullptr || data == nullptr) return kInvalidParameter;
    if (bitmap->isLocked) return kWrongState;
    // Reading only, in one of the two 32-bit layouts.
    if (flags != kImageLockModeRead || (format != kPixelFormat32bppARGB && format != kPixelFormat32bppRGB))
        return kInvalidParameter;
    const int surfaceWidth = cairo_image_surface_get_width(bitmap->surface);
    const int surfaceHeight = cairo_image_surface_get_height(bitmap->surface);
    Rect rect = {0, 0, surfaceWidth, surfaceHeight};
    if (area != nullptr) std::memcpy(&rect, area, sizeof rect);
    if (rect.X < 0 || rect.Y < 0 || rect.Width <= 0 || rect.Height <= 0 ||
        rect.X > surfaceWidth - rect.Width || rect.Y > surfaceHeight - rect.Height)
        return kInvalidParameter;

    cairo_surface_flush(bitmap->surface);
    const unsigned char* pixels = cairo_image_surface_get_data(bitmap->surface);
    const int stride = cairo_image_surface_get_stride(bitmap->surface);
    const bool hasAlpha = cairo_image_surface_get_format(bitmap->surface) == CAIRO_FORMAT_ARGB32;
    bitmap->locked.assign(static_cast<std::size_t>(rect.Width) * rect.Height, 0);
    for (int y = 0; y < rect.Height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::size_t>(rect.Y + y) * stride);
        std::uint32_t* out = bitmap->locked.data() + static_cast<std::size_t>(y) * rect.Width;
        for (int x = 0; x < rect.Width; ++x) {
            const std::uint32_t pixel = straightPixel(row[rect.X + x], hasAlpha);
            out[x] = format == kPixelFormat32bppRGB ? (pixel | 0xFF000000u) : pixel;
        }
    }
    bitmap->isLocked = true;
    const BitmapData view = {static_cast<UINT>(rect.Width),
                             static_cast<UINT>(rect.Height),
                             rect.Width * 4,
                             format,
                             bitmap->locked.data(),
                             0};
    std::memcpy(data, &view, sizeof view);
    return kOk;
}

int WINAPI GdipBitmapUnlockBits(void* image, void* data) {
    CodecBitmap* bitmap = live(image);
    if (bitmap == nullptr || data == nullptr) return kInvalidParameter;
    if (!bitmap->isLocked) return kWrongState;
    bitmap->isLocked = false;
    std::vector<std::uint32_t>().swap(bitmap->locked);
    return kOk;
}

}  // namespace platform::gdi32
