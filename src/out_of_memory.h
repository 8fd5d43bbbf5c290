// Running out of memory ends a run with one line, messages::out_of_memory_line, and exit
// code 1, or 2 when no input had been read yet. Neither the line nor the way to it may need
// memory: a little is set aside at start-up for the way out (the exception, the last of the
// output), and given up once memory runs out.
#pragma once

namespace huecast {

// Sets the memory aside, and has operator new give it up before it fails. The platform's
// entry calls this first; false when there is not even that much, and the run cannot begin.
bool set_aside_memory_for_the_way_out();

// Gives the memory set aside up now, once memory has run out another way (a buffer's realloc,
// PCRE2's allocations) and the way out begins.
void give_up_memory_set_aside() noexcept;

}  // namespace huecast
