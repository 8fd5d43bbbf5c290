// The library's heap on Windows: the process heap, whose blocks know their own size.
// Exhaustion is turned into std::bad_alloc rather than raised as a structured exception,
// which C++ code could not unwind through.
#include <windows.h>

#include <new>

#include "qel/memory.h"

namespace qel {

void* MemAlloc(std::size_t size) {
    // A zero-byte request still gets a block of its own.
    void* block = HeapAlloc(GetProcessHeap(), 0, size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* MemRealloc(void* block, std::size_t size) {
    if (block == nullptr) return MemAlloc(size);
    void* moved = HeapReAlloc(GetProcessHeap(), 0, block, size);
    if (moved == nullptr) throw std::bad_alloc();
    return moved;
}

std::uint32_t MemFree(void* block) {
    if (block == nullptr) return 0;
    return HeapFree(GetProcessHeap(), 0, block) ? 0 : static_cast<std::uint32_t>(GetLastError());
}

std::size_t MemSize(const void* block) noexcept {
    if (block == nullptr) return 0;
    const SIZE_T size = HeapSize(GetProcessHeap(), 0, block);
    return size == static_cast<SIZE_T>(-1) ? 0 : size;
}

}  // namespace qel
