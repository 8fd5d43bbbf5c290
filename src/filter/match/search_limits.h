// What a search may spend, and which limit it reached when it gave up: the ceilings on time
// and memory that hold for every line, whatever the line or the expression.
#pragma once

#include <cstddef>
#include <cstdint>

namespace huecast {

// Bounds on what one filter may spend on one line, whatever the line: time grows with the
// line's length, and so does memory, within a ceiling. A line that reaches them costs a
// small, fixed multiple of what an ordinary line of its length costs; tests lower them.
struct match_limits {
    // PCRE2's steps (its match limit: backtracking moves): a base for every line, and more
    // for each byte of it. An ordinary search takes a handful; every search of the line
    // draws on the same budget.
    std::uint64_t line_steps = 20'000;
    std::uint64_t steps_per_byte = 256;
    std::uint32_t depth = 1'000'000;  // backtracking depth without JIT
    // Backtracking memory (the interpreter's heap, JIT's stack): this many bytes for each byte
    // of the line, within [least, most]. A repeat of an alternative over the whole line
    // takes 24 bytes a byte: it is searched whole in lines of up to about 350 KB.
    std::size_t memory_per_byte = 4;
    std::size_t least_memory = std::size_t{8} << 20;
    std::size_t most_memory = std::size_t{256} << 20;
};

// Which limit a search that gave up reached.
enum class limit_reached {
    none,
    steps,   // the line's budget of steps: too much backtracking
    memory,  // backtracking memory for the line
    stack,   // JIT's stack for the line
    depth,   // backtracking depth
    other,   // an error of the engine's own
};

// What one filter may still spend on the line being searched: searches draw on it.
struct search_budget {
    std::uint64_t steps = 0;
    limit_reached reached = limit_reached::none;  // set when a search gives up
};

}  // namespace huecast
