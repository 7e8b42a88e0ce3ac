// Global memory blocks: a handle names a block holding its size, its lock count and its bytes.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
struct Block {
    SIZE_T size;
    unsigned locks;
    unsigned char* bytes;
};

Block* blockOf(HGLOBAL memory) {
    return static_cast<Block*>(memory);
}
}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    auto* block = new (std::nothrow) Block{bytes, 0, nullptr};
    if (block == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // Even an empty block has an address to lock.
    block->bytes = static_cast<unsigned char*>((flags & GMEM_ZEROINIT) != 0 ? std::calloc(bytes + 1, 1)
                                                                            : std::malloc(bytes + 1));
    if (block->bytes == nullptr) {
        delete block;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return block;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
    Block* block = blockOf(memory);
    if (block == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++block->locks;
    return block->bytes;
}

BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
    Block* block = blockOf(memory);
    if (block == nullptr || block->locks == 0) {
        SetLastError(block == nullptr ? ERROR_INVALID_HANDLE : ERROR_SUCCESS);
        return FALSE;
    }
    --block->locks;
    if (block->locks == 0) SetLastError(ERROR_SUCCESS);
    return block->locks != 0 ? TRUE : FALSE;
}

SIZE_T WINAPI GlobalSize(HGLOBAL memory) {
    Block* block = blockOf(memory);
    return block == nullptr ? 0 : block->size;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
    Block* block = blockOf(memory);
    if (block == nullptr) return nullptr;
    std::free(block->bytes);
    delete block;
    return nullptr;
}
