// Whether colour goes out, how, and how a line ends: one small value, decided once at
// start-up by the platform's entry from what standard output is and what the environment
// says. Modes never ask the platform again; they choose a colour writer from this.
#pragma once

#include <optional>
#include <string>

#include "io/line_ends.h"

namespace huecast {

// How colour reaches the output.
enum class colour_method {
    none,                // text only
    escapes,             // SGR escape sequences in the byte stream
    console_attributes,  // the Windows console's text-attribute service
};

struct output_policy {
    colour_method colour;
    io::line_end line_end;

    bool colours() const { return colour != colour_method::none; }
    friend bool operator==(const output_policy&, const output_policy&) = default;
};

// What standard output leads to.
enum class output_kind {
    terminal,         // a terminal that takes escape sequences
    windows_console,  // a Windows console, coloured through its attribute service
    file_or_pipe,     // anything else: a file, a pipe, a device
};

// What the environment says about colour, read once by the entry; an unset variable is absent.
struct colour_environment {
    std::optional<std::string> term;  // TERM
};

// The variables as the process has them.
colour_environment read_colour_environment();

output_policy decide_output_policy(output_kind kind, const colour_environment& environment);

}  // namespace huecast
