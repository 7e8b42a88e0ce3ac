#include "platform/gdi32/memory_stream.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <string>

namespace platform::ole32 {

namespace {

constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x80070057);
constexpr HRESULT kInvalidPointer = static_cast<HRESULT>(0x80004003);
constexpr HRESULT kInvalidFunction = static_cast<HRESULT>(0x80030001);  // STG_E_INVALIDFUNCTION
constexpr DWORD kSeekSet = 0;
constexpr DWORD kSeekCurrent = 1;
constexpr DWORD kSeekEnd = 2;

struct Stream : MemoryStream {
    std::atomic<ULONG> references{1};
    std::string bytes;
    std::size_t position = 0;
};

Stream& of(MemoryStream* self) {
    return *static_cast<Stream*>(self);
}

HRESULT WINAPI queryInterface(MemoryStream*, const void*, void** object) {
    if (object != nullptr) *object = nullptr;
    return E_NOTIMPL;
}

ULONG WINAPI addRef(MemoryStream* self) {
    return ++of(self).references;
}

ULONG WINAPI release(MemoryStream* self) {
    const ULONG left = --of(self).references;
    if (left == 0) delete &of(self);
    return left;
}

HRESULT WINAPI read(MemoryStream* self, void* buffer, ULONG count, ULONG* done) {
    Stream& stream = of(self);
    if (done != nullptr) *done = 0;
    if (buffer == nullptr && count != 0) return kInvalidPointer;
    const std::size_t available =
        stream.position < stream.bytes.size() ? stream.bytes.size() - stream.position : 0;
    const std::size_t n = std::min<std::size_t>(count, available);
    if (n != 0) std::memcpy(buffer, stream.bytes.data() + stream.position, n);
    stream.position += n;
    if (done != nullptr) *done = static_cast<ULONG>(n);
    return n == count ? S_OK : S_FALSE;
}

HRESULT WINAPI write(MemoryStream* self, const void* buffer, ULONG count, ULONG* done) {
    Stream& stream = of(self);
    if (done != nullptr) *done = 0;
    if (buffer == nullptr && count != 0) return kInvalidPointer;
    try {
        if (stream.bytes.size() < stream.position + count) stream.bytes.resize(stream.position + count);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (const std::length_error&) {
        return kOutOfMemory;
    }
    if (count != 0) std::memcpy(stream.bytes.data() + stream.position, buffer, count);
    stream.position += count;
    if (done != nullptr) *done = count;
    return S_OK;
}

HRESULT WINAPI seek(MemoryStream* self, LONGLONG move, DWORD origin, ULONGLONG* position) {
    Stream& stream = of(self);
    LONGLONG base = 0;
    if (origin == kSeekCurrent) {
        base = static_cast<LONGLONG>(stream.position);
    } else if (origin == kSeekEnd) {
        base = static_cast<LONGLONG>(stream.bytes.size());
    } else if (origin != kSeekSet) {
        return kInvalidFunction;
    }
    // A position before the start is refused; beyond the end, a later write fills the gap.
    if ((move < 0 && base + move < 0) || (move > 0 && base > INT64_MAX - move)) return kInvalidFunction;
    stream.position = static_cast<std::size_t>(base + move);
    if (position != nullptr) *position = stream.position;
    return S_OK;
}

HRESULT WINAPI setSize(MemoryStream*, ULONGLONG) {
    return E_NOTIMPL;
}
HRESULT WINAPI copyTo(MemoryStream*, void*, ULONGLONG, ULONGLONG*, ULONGLONG*) {
    return E_NOTIMPL;
}
HRESULT WINAPI commit(MemoryStream*, DWORD) {
    return S_OK;  // memory has nothing to flush
}
HRESULT WINAPI revert(MemoryStream*) {
    return E_NOTIMPL;
}
HRESULT WINAPI lockRegion(MemoryStream*, ULONGLONG, ULONGLONG, DWORD) {
    return E_NOTIMPL;
}
HRESULT WINAPI unlockRegion(MemoryStream*, ULONGLONG, ULONGLONG, DWORD) {
    return E_NOTIMPL;
}
HRESULT WINAPI stat(MemoryStream*, void*, DWORD) {
    return E_NOTIMPL;
}
HRESULT WINAPI clone(MemoryStream*, MemoryStream** copy) {
    if (copy != nullptr) *copy = nullptr;
    return E_NOTIMPL;
}

constexpr StreamMethods kMethods = {queryInterface, addRef, release, read,       write,        seek, setSize,
                                    copyTo,         commit, revert,  lockRegion, unlockRegion, stat, clone};

}  // namespace

HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, void** stream) {
    if (stream == nullptr) return kInvalidArgument;
    *stream = nullptr;
    // Streams over the caller's memory, kept after release, are not offered.
    if (memory != nullptr || !deleteOnRelease) return E_NOTIMPL;
    auto* created = new (std::nothrow) Stream;
    if (created == nullptr) return kOutOfMemory;
    created->methods = &kMethods;
    *stream = static_cast<MemoryStream*>(created);
    return S_OK;
}

}  // namespace platform::ole32
