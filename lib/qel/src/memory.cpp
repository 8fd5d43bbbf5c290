#include "qel/memory.h"

#include <cstdlib>
#include <limits>
#include <new>

namespace qel {
namespace {

// The C heap does not tell a block's size, so each block carries the size asked for in a
// header that keeps the caller's part as aligned as malloc's own.
struct alignas(std::max_align_t) block_header {
    std::size_t size;
};

constexpr std::size_t header_size = sizeof(block_header);

void* user_part(void* raw, std::size_t size) {
    auto* header = ::new (raw) block_header{size};
    return header + 1;
}

block_header* header_of(const void* block) {
    return const_cast<block_header*>(static_cast<const block_header*>(block)) - 1;
}

void check_size(std::size_t size) {
    if (size > std::numeric_limits<std::size_t>::max() - header_size) throw std::bad_alloc();
}

}  // namespace

void* MemAlloc(std::size_t size) {
    check_size(size);
    void* raw = std::malloc(header_size + size);
    if (raw == nullptr) throw std::bad_alloc();
    return user_part(raw, size);
}

void* MemRealloc(void* block, std::size_t size) {
    if (block == nullptr) return MemAlloc(size);
    check_size(size);
    void* raw = std::realloc(header_of(block), header_size + size);
    if (raw == nullptr) throw std::bad_alloc();
    return user_part(raw, size);
}

std::uint32_t MemFree(void* block) {
    // The C heap reports no failure of its own; a bad pointer is undefined, not an error code.
    if (block != nullptr) std::free(header_of(block));
    return 0;
}

std::size_t MemSize(const void* block) noexcept {
    return block == nullptr ? 0 : header_of(block)->size;
}

}  // namespace qel
