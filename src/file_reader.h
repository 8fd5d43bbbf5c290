// Whole files by name: the platform's way to the few small files huecast reads (filter
// files). A reader never reads more than it was allowed, and never reads standard input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "value_or_error.h"

namespace huecast {

// Why a file cannot be read.
struct unreadable {
    enum cause {
        system,          // the system's words are in `reason`
        too_large,       // more bytes than the limit: the file may never end (/dev/zero, a pipe)
        standard_input,  // the file is the program's own standard input, which holds the text to colour
    };
    std::string reason;  // for `system`: the system's words, in the process code page
    cause why = system;
};

class file_reader {
public:
    virtual ~file_reader() = default;
    // The file's bytes, or why they cannot be read. Reading stops as soon as the file is
    // found to hold more than `limit` bytes; standard input is refused before a byte of it
    // is taken.
    virtual value_or_error<std::string, unreadable> read(std::string_view name, std::size_t limit) = 0;
};

}  // namespace huecast
