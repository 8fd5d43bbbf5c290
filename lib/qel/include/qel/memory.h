// The library's heap: blocks that know the size they were asked for. Exhaustion is never
// returned as null: it is raised as std::bad_alloc.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qel {

// A new block of `size` bytes (0 is allowed and gives a valid, distinct block).
void* MemAlloc(std::size_t size);
// Resizes `block`, keeping its contents up to the smaller size; a null `block` is
// MemAlloc(size). On exhaustion the old block stays valid and untouched.
void* MemRealloc(void* block, std::size_t size);
// Releases `block` (null is allowed). 0 on success, else the system's error code.
std::uint32_t MemFree(void* block);
// The size last asked for `block`; 0 for null.
std::size_t MemSize(const void* block) noexcept;

}  // namespace qel
