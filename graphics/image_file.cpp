// Picture files through the image-codec library (GDI+ on Windows; the stand-in's codec table on
// Linux): an image's pixel store goes to the codec as a device-independent bitmap, encoded into
// a file or into a memory stream of the component-object library, and comes back through a
// locked 32-bit view of the decoded picture.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/gdi_binding.h"
#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "graphics/library_state.h"

namespace Gfx {

namespace {

// The codec library's records, laid out as it documents them.
struct CodecGuid {
    DWORD data1;
    WORD data2;
    WORD data3;
    BYTE data4[8];
};

struct ImageCodecInfoRecord {
    CodecGuid Clsid;
    CodecGuid FormatID;
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

struct BitmapDataRecord {
    UINT Width;
    UINT Height;
    INT Stride;
    INT PixelFormat;
    void* Scan0;
    UINT_PTR Reserved;
};

struct RectRecord {
    INT X;
    INT Y;
    INT Width;
    INT Height;
};

constexpr int kOk = 0;
constexpr UINT kImageLockModeRead = 1;
constexpr INT kPixelFormat32bppARGB = 0x0026200A;
// The built-in PNG encoder's class id.
constexpr CodecGuid kPngEncoder = {
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
// Pictures beyond this many pixels are not loaded: their store alone would pass 1 GiB.
constexpr long long kMaxLoadedPixels = 1LL << 28;

using CreateBitmapFromGdiDibProc = int(WINAPI*)(const BITMAPINFO* info, void* bits, void** bitmap);
using GetImageEncodersSizeProc = int(WINAPI*)(UINT* count, UINT* size);
using GetImageEncodersProc = int(WINAPI*)(UINT count, UINT size, ImageCodecInfoRecord* encoders);
using SaveImageToFileProc = int(WINAPI*)(void* image, const WCHAR* path, const CodecGuid* encoder,
                                         const void* parameters);
using SaveImageToStreamProc = int(WINAPI*)(void* image, void* stream, const CodecGuid* encoder,
                                           const void* parameters);
using DisposeImageProc = int(WINAPI*)(void* image);
using CreateBitmapFromFileProc = int(WINAPI*)(const WCHAR* path, void** bitmap);
using GetImageSideProc = int(WINAPI*)(void* image, UINT* side);
using BitmapLockBitsProc = int(WINAPI*)(void* bitmap, const RectRecord* rect, UINT flags, INT format,
                                        BitmapDataRecord* data);
using BitmapUnlockBitsProc = int(WINAPI*)(void* bitmap, BitmapDataRecord* data);

template <typename Proc>
Proc typed(AnyProc proc) {
    return reinterpret_cast<Proc>(proc);
}

bool sameGuid(const CodecGuid& a, const CodecGuid& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Whether the codec library offers the PNG encoder.
bool hasPngEncoder() {
    UINT count = 0;
    UINT size = 0;
    if (typed<GetImageEncodersSizeProc>(gdiplus.GdipGetImageEncodersSize)(&count, &size) != kOk || count == 0)
        return false;
    // The records are followed by the strings they point to, all in the one buffer.
    std::vector<ImageCodecInfoRecord> buffer(size / sizeof(ImageCodecInfoRecord) + 1);
    if (typed<GetImageEncodersProc>(gdiplus.GdipGetImageEncoders)(count, size, buffer.data()) != kOk)
        return false;
    for (UINT i = 0; i < count && i < buffer.size(); ++i) {
        if (sameGuid(buffer[i].Clsid, kPngEncoder)) return true;
    }
    return false;
}

// A decoded picture, disposed of on every way out.
class CodecImage {
  public:
    CodecImage() = default;
    ~CodecImage() {
        if (handle != nullptr) typed<DisposeImageProc>(gdiplus.GdipDisposeImage)(handle);
    }
    CodecImage(const CodecImage&) = delete;
    CodecImage& operator=(const CodecImage&) = delete;

    void* handle = nullptr;
};

const WCHAR* widePath(const char16_t* path) {
    return reinterpret_cast<const WCHAR*>(path);
}

// The image (none: the window's back buffer) as a codec bitmap; false when it has no pixels or
// the codec offers no PNG encoder. The caller holds the device lock.
bool codecBitmapOf(IMAGE* image, CodecImage& bitmap) {
    IMAGE* source = image != nullptr ? image : static_cast<IMAGE*>(library.graphWindow);
    if (source == nullptr || source->pixels == nullptr || source->width <= 0 || source->height <= 0)
        return false;
    if (!hasPngEncoder()) return false;
    const BITMAPINFO info = pixelStoreFormat(source->width, source->height);
    return typed<CreateBitmapFromGdiDibProc>(gdiplus.GdipCreateBitmapFromGdiDib)(&info, source->pixels,
                                                                                 &bitmap.handle) == kOk &&
           bitmap.handle != nullptr;
}

// The component-object library's stream, reached through its method table as the library
// documents IStream's (each method takes the stream first); only the methods used here are typed.
struct StreamMethods {
    AnyProc QueryInterface;
    AnyProc AddRef;
    ULONG(WINAPI* Release)(void* self);
    HRESULT(WINAPI* Read)(void* self, void* buffer, ULONG count, ULONG* read);
    AnyProc Write;
    HRESULT(WINAPI* Seek)(void* self, LONGLONG move, DWORD origin, ULONGLONG* position);
};

struct StreamObject {
    const StreamMethods* methods;
};

constexpr DWORD kStreamSeekSet = 0;
constexpr DWORD kStreamSeekEnd = 2;

// A memory stream, released on every way out.
class MemoryStream {
  public:
    MemoryStream() {
        if (ole32.CreateStreamOnHGlobal(nullptr, TRUE, &handle) != 0) handle = nullptr;
    }
    ~MemoryStream() {
        if (handle != nullptr) object()->methods->Release(handle);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    StreamObject* object() const { return static_cast<StreamObject*>(handle); }

    // Everything written to the stream.
    bool readAll(std::string& bytes) const {
        ULONGLONG size = 0;
        if (object()->methods->Seek(handle, 0, kStreamSeekEnd, &size) != 0 ||
            object()->methods->Seek(handle, 0, kStreamSeekSet, nullptr) != 0 || size > bytes.max_size())
            return false;
        bytes.resize(static_cast<std::size_t>(size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - got, 1u << 30));
            ULONG read = 0;
            object()->methods->Read(handle, bytes.data() + got, chunk, &read);
            if (read == 0) return false;
            got += read;
        }
        return true;
    }

    void* handle = nullptr;
};

}  // namespace

bool saveImage(const char16_t* path, IMAGE* image) {
    if (path == nullptr || library.openCount == 0) return false;
    DeviceLock lock;
    CodecImage bitmap;
    if (!codecBitmapOf(image, bitmap)) return false;
    return typed<SaveImageToFileProc>(gdiplus.GdipSaveImageToFile)(bitmap.handle, widePath(path),
                                                                   &kPngEncoder, nullptr) == kOk;
}

bool encodeImagePng(std::string& bytes, IMAGE* image) {
    bytes.clear();
    if (library.openCount == 0) return false;
    DeviceLock lock;
    CodecImage bitmap;
    if (!codecBitmapOf(image, bitmap)) return false;
    const MemoryStream stream;
    if (stream.handle == nullptr ||
        typed<SaveImageToStreamProc>(gdiplus.GdipSaveImageToStream)(bitmap.handle, stream.handle,
                                                                    &kPngEncoder, nullptr) != kOk ||
        !stream.readAll(bytes)) {
        bytes.clear();
        return false;
    }
    return true;
}

bool loadImage(IMAGE* image, const char16_t* path) {
    if (image == nullptr || path == nullptr || library.openCount == 0) return false;
    DeviceLock lock;
    CodecImage bitmap;
    if (typed<CreateBitmapFromFileProc>(gdiplus.GdipCreateBitmapFromFile)(widePath(path), &bitmap.handle) !=
            kOk ||
        bitmap.handle == nullptr)
        return false;
    UINT width = 0;
    UINT height = 0;
    typed<GetImageSideProc>(gdiplus.GdipGetImageWidth)(bitmap.handle, &width);
    typed<GetImageSideProc>(gdiplus.GdipGetImageHeight)(bitmap.handle, &height);
    if (width == 0 || height == 0 || static_cast<long long>(width) * height > kMaxLoadedPixels) return false;

    const RectRecord whole = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    BitmapDataRecord data = {};
    if (typed<BitmapLockBitsProc>(gdiplus.GdipBitmapLockBits)(bitmap.handle, &whole, kImageLockModeRead,
                                                              kPixelFormat32bppARGB, &data) != kOk)
        return false;
    // Resized only once the picture is known to be readable; a store that cannot be made leaves
    // the image as it was.
    if (image->width != static_cast<int>(width) || image->height != static_cast<int>(height))
        image->resize(static_cast<int>(width), static_cast<int>(height));
    const bool fits = image->pixels != nullptr && image->width == static_cast<int>(width) &&
                      image->height == static_cast<int>(height);
    if (fits) {
        for (UINT y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) +
                                                             static_cast<std::ptrdiff_t>(y) * data.Stride);
            DWORD* out = image->pixels + static_cast<std::size_t>(y) * width;
            for (UINT x = 0; x < width; ++x) out[x] = row[x] & 0x00FFFFFFu;  // alpha dropped
        }
    }
    typed<BitmapUnlockBitsProc>(gdiplus.GdipBitmapUnlockBits)(bitmap.handle, &data);
    return fits;
}

}  // namespace Gfx
