// The program on any system: what a platform's entry hands over (the process code page, the
// arguments as UTF-8, and the system's ends of the standard streams, files and filter sets),
// and the one run that does the rest: the options, the output policy, the text streams, the
// support library's start-up objects, the command line, and what the input and output came to.
#pragma once

#include <functional>
#include <span>

#include "colour/colour_policy.h"
#include "command/command_runner.h"
#include "file_reader.h"
#include "filter/sources/named_sets.h"
#include "io/byte_stream.h"
#include "io/codec.h"
#include "io/text_output.h"
#include "qel/console_color.h"

namespace huecast {

struct system_ends {
    const io::codec& codec;                   // the process code page
    std::span<const char* const> arguments;   // UTF-8, the program's name first
    output_kind standard_output;              // what standard output leads to
    io::byte_source& input;
    io::byte_sink& errors;
    file_reader& files;
    const set_shelf& sets;
    // The sink for standard output once the policy is decided: the platform may guard it
    // against signals, or have it written on a thread of its own.
    std::function<io::byte_sink&(const output_policy&)> output;
    // The console whose attribute service colours standard output, for
    // colour_method::console_attributes; it writes through `output`. None by default.
    std::function<qel::console_device*(io::text_output& output)> console = {};
    // Whether the support library's process-wide objects are made (a benchmark build that
    // measures what they cost leaves them out).
    bool library_objects = true;
    // For --run: the way to commands (none: they cannot be run), what standard error leads
    // to, the sink for it once its policy is decided (by default `errors`), which may be
    // guarded like standard output's, and the console that colours it, as for standard output.
    command_runner* commands = nullptr;
    output_kind standard_error = output_kind::file_or_pipe;
    std::function<io::byte_sink&(const output_policy&)> error_output = {};
    std::function<qel::console_device*(io::text_output& errors)> error_console = {};
    // Writes messages::out_of_memory_line to the error stream as the system ends its lines,
    // needing no memory on the way; none: the line goes to `errors`.
    void (*say_out_of_memory)() noexcept = nullptr;
};

// Runs the program; returns its exit status (with --run, the command's, where the platform
// does not end the program as the command ended).
int run(const system_ends& ends);

}  // namespace huecast
