#include "out_of_memory.h"

#include <cstdlib>
#include <new>

namespace huecast {
namespace {

// Enough for the exception, a block of output handed to the writing thread, and the unwinding
// of the stacks between.
constexpr std::size_t set_aside_bytes = 64 * 1024;

void* set_aside = nullptr;

// Called by operator new before it fails: with the memory given up, the exception it throws
// and the way out have room; the next failure throws at once.
void on_running_out() {
    give_up_memory_set_aside();
    throw std::bad_alloc();
}

}  // namespace

bool set_aside_memory_for_the_way_out() {
    set_aside = std::malloc(set_aside_bytes);
    if (set_aside == nullptr) return false;
    std::set_new_handler(on_running_out);
    return true;
}

void give_up_memory_set_aside() noexcept {
    std::set_new_handler(nullptr);
    std::free(set_aside);
    set_aside = nullptr;
}

}  // namespace huecast
