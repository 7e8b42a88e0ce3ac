// The stand-in's memory stream and the PNG encoder writing into it: bytes come back as written,
// positions behave as the system's stream's do, and a stream that refuses bytes fails the
// encode cleanly.
#include "platform/gdi32/memory_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi32/image_codec.h"

namespace {

using platform::ole32::CreateStreamOnHGlobal;
using platform::ole32::MemoryStream;
using platform::ole32::StreamMethods;

constexpr DWORD kSet = 0;
constexpr DWORD kCurrent = 1;
constexpr DWORD kEnd = 2;

MemoryStream* newStream() {
    void* stream = nullptr;
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    return static_cast<MemoryStream*>(stream);
}

std::string readAll(MemoryStream* stream) {
    ULONGLONG size = 0;
    EXPECT_EQ(stream->methods->Seek(stream, 0, kEnd, &size), S_OK);
    EXPECT_EQ(stream->methods->Seek(stream, 0, kSet, nullptr), S_OK);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ULONG read = 0;
    stream->methods->Read(stream, bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    EXPECT_EQ(read, size);
    return bytes;
}

TEST(MemoryStream, ReadsBackWhatWasWrittenAndSeeksAsTheSystemsStreamDoes) {
    MemoryStream* stream = newStream();
    ASSERT_NE(stream, nullptr);
    const auto& m = *stream->methods;
    ULONG done = 0;
    EXPECT_EQ(m.Write(stream, "hello", 5, &done), S_OK);
    EXPECT_EQ(done, 5u);
    EXPECT_EQ(m.Write(stream, " world", 6, nullptr), S_OK);

    ULONGLONG position = 99;
    EXPECT_EQ(m.Seek(stream, -5, kCurrent, &position), S_OK);
    EXPECT_EQ(position, 6u);
    char buffer[16] = {};
    EXPECT_EQ(m.Read(stream, buffer, 16, &done), S_FALSE);  // fewer than asked: the end
    EXPECT_EQ(std::string(buffer, done), "world");

    // Before the start is refused and moves nothing; past the end a write fills the gap.
    EXPECT_NE(m.Seek(stream, -1, kSet, &position), S_OK);
    EXPECT_NE(m.Seek(stream, 0, 7, &position), S_OK);
    EXPECT_EQ(m.Seek(stream, 0, kCurrent, &position), S_OK);
    EXPECT_EQ(position, 11u);
    EXPECT_EQ(m.Seek(stream, 2, kEnd, nullptr), S_OK);
    EXPECT_EQ(m.Write(stream, "!", 1, nullptr), S_OK);
    EXPECT_EQ(readAll(stream), std::string("hello world\0\0!", 14));

    EXPECT_EQ(m.AddRef(stream), 2u);
    EXPECT_EQ(m.Release(stream), 1u);
    EXPECT_EQ(m.Release(stream), 0u);

    // Only streams on memory the function allocates, freed on release, are offered.
    void* other = &done;
    EXPECT_EQ(CreateStreamOnHGlobal(reinterpret_cast<HGLOBAL>(&done), TRUE, &other), E_NOTIMPL);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, FALSE, &other), E_NOTIMPL);
    EXPECT_NE(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), S_OK);
}

// The PNG encoder's class id, as the codec lists it.
const BYTE kPngEncoder[16] = {0x06, 0xF4, 0x7C, 0x55, 0x04, 0x1A, 0xD3, 0x11,
                              0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E};

void* bitmapOf(std::vector<DWORD>& pixels, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bitmap = nullptr;
    EXPECT_EQ(platform::gdi32::GdipCreateBitmapFromGdiDib(&info, pixels.data(), &bitmap), 0);
    return bitmap;
}

TEST(MemoryStream, ThePngEncoderWritesIntoItWhatItWritesToAFile) {
    std::vector<DWORD> pixels(64 * 48);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<DWORD>(i * 2654435761u) & 0xFFFFFF;
    void* bitmap = bitmapOf(pixels, 64, 48);
    ASSERT_NE(bitmap, nullptr);

    MemoryStream* stream = newStream();
    ASSERT_EQ(platform::gdi32::GdipSaveImageToStream(bitmap, stream, kPngEncoder, nullptr), 0);
    const std::string inMemory = readAll(stream);
    stream->methods->Release(stream);

    const std::string file = ::testing::TempDir() + "memory_stream_test.png";
    const std::u16string widePath(file.begin(), file.end());
    ASSERT_EQ(platform::gdi32::GdipSaveImageToFile(bitmap, widePath.c_str(), kPngEncoder, nullptr), 0);
    std::FILE* in = std::fopen(file.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::string onDisk;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) onDisk.append(chunk, n);
    std::fclose(in);
    std::remove(file.c_str());
    EXPECT_EQ(inMemory.substr(0, 4), "\x89PNG");
    EXPECT_EQ(inMemory, onDisk);

    // A stream that takes nothing (the system's would on a full disk) fails the encode.
    struct Refusing {
        static HRESULT WINAPI write(MemoryStream*, const void*, ULONG, ULONG* done) {
            if (done != nullptr) *done = 0;
            return static_cast<HRESULT>(0x80030070);  // STG_E_MEDIUMFULL
        }
    };
    MemoryStream* full = newStream();
    StreamMethods refusing = *full->methods;
    refusing.Write = Refusing::write;
    const StreamMethods* own = full->methods;
    full->methods = &refusing;
    EXPECT_NE(platform::gdi32::GdipSaveImageToStream(bitmap, full, kPngEncoder, nullptr), 0);
    full->methods = own;
    full->methods->Release(full);

    EXPECT_NE(platform::gdi32::GdipSaveImageToStream(bitmap, nullptr, kPngEncoder, nullptr), 0);
    EXPECT_EQ(platform::gdi32::GdipDisposeImage(bitmap), 0);
}

}  // namespace
