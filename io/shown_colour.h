// What the bytes written to a terminal leave it showing: the last SGR sequence (ESC [ params
// m) among them, and an escape sequence that the last bytes began and did not finish. That is
// what must be put back after the terminal was reset in the middle of the output.
#pragma once

#include <cstddef>
#include <string_view>

namespace io {

class shown_colour {
public:
    // The next bytes that reached the terminal.
    void passed(const char* bytes, std::size_t size);

    // The sequence that set the colour now showing; empty while the terminal shows its own
    // (nothing set yet, or the last SGR sequence reset everything).
    std::string_view sequence() const { return {sequence_, sequence_size_}; }
    // The start of an escape sequence whose end has not reached the terminal; usually empty.
    std::string_view unfinished() const { return {unfinished_, unfinished_size_}; }

    // Longer sequences are not followed (no colour needs them).
    static constexpr std::size_t longest = 64;

private:
    const char* go_on_with_unfinished(const char* p, const char* end);
    void set_sequence(const char* sgr, std::size_t size);

    // Plain arrays, so that a signal handler may read them while no write is in progress.
    char sequence_[longest] = {};
    std::size_t sequence_size_ = 0;
    char unfinished_[longest] = {};
    std::size_t unfinished_size_ = 0;
};

}  // namespace io
