// The component-object library's ("ole32.dll") stream on memory, as CreateStreamOnHGlobal makes
// it: a growing byte buffer with a read/write position, reached through a table of methods laid
// out as the system documents IStream's (C binding: each method takes the stream first). Reading,
// writing, seeking and release work; the other methods answer E_NOTIMPL. Only a stream the
// function allocates itself is offered (the memory handle must be null).
#pragma once

#include <windows.h>

namespace platform::ole32 {

struct MemoryStream;

// IStream's method table, in the system's order.
struct StreamMethods {
    HRESULT(WINAPI* QueryInterface)(MemoryStream* self, const void* interfaceId, void** object);
    ULONG(WINAPI* AddRef)(MemoryStream* self);
    ULONG(WINAPI* Release)(MemoryStream* self);
    HRESULT(WINAPI* Read)(MemoryStream* self, void* buffer, ULONG count, ULONG* read);
    HRESULT(WINAPI* Write)(MemoryStream* self, const void* buffer, ULONG count, ULONG* written);
    HRESULT(WINAPI* Seek)(MemoryStream* self, LONGLONG move, DWORD origin, ULONGLONG* position);
    HRESULT(WINAPI* SetSize)(MemoryStream* self, ULONGLONG size);
    HRESULT(WINAPI* CopyTo)
    (MemoryStream* self, void* target, ULONGLONG count, ULONGLONG* read, ULONGLONG* written);
    HRESULT(WINAPI* Commit)(MemoryStream* self, DWORD flags);
    HRESULT(WINAPI* Revert)(MemoryStream* self);
    HRESULT(WINAPI* LockRegion)(MemoryStream* self, ULONGLONG offset, ULONGLONG count, DWORD type);
    HRESULT(WINAPI* UnlockRegion)(MemoryStream* self, ULONGLONG offset, ULONGLONG count, DWORD type);
    HRESULT(WINAPI* Stat)(MemoryStream* self, void* statistics, DWORD flags);
    HRESULT(WINAPI* Clone)(MemoryStream* self, MemoryStream** copy);
};

struct MemoryStream {
    const StreamMethods* methods;  // first, as in every component object
};

HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, void** stream);

}  // namespace platform::ole32
