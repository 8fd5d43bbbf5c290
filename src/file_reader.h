// Whole files by name: the platform's way to the few small files huecast reads (filter files).
#pragma once

#include <string>
#include <string_view>

#include "value_or_error.h"

namespace huecast {

// Why a file cannot be read: the system's words, in the process code page.
struct unreadable {
    std::string reason;
};

class file_reader {
public:
    virtual ~file_reader() = default;
    // The file's bytes, or why they cannot be read.
    virtual value_or_error<std::string, unreadable> read(std::u16string_view name) = 0;
};

}  // namespace huecast
