// Whole files by name: the platform's way to the few small files huecast reads (filter
// files and sets). A reader never reads more than it was allowed, and never reads standard
// input.
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
        absent,          // a regular file was asked for, and the name gives none (see file_kind::regular)
    };
    std::string reason;  // for `system`: the system's words, in the process code page
    cause why = system;
    // For `system`: the directory the file would be in cannot be searched, so that whether
    // the file is there at all is not known; the reason is the directory's.
    bool directory_closed = false;
};

// What a name may open.
enum class file_kind {
    any,      // whatever it is: a pipe or a device is read until it ends (--file=<(...))
    regular,  // a regular file, or a link to one; anything else (nothing, a directory, a FIFO,
              // a device, a link that leads nowhere or in a loop) is `absent`, found without
              // waiting for it (a FIFO with no writer) and without reading from it
};

class file_reader {
public:
    virtual ~file_reader() = default;
    // The file's bytes, or why they cannot be read. Reading stops as soon as the file is
    // found to hold more than `limit` bytes; standard input is refused before a byte of it
    // is taken.
    virtual value_or_error<std::string, unreadable> read(std::string_view name, std::size_t limit,
                                                         file_kind kind) = 0;
};

}  // namespace huecast
