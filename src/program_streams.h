// What a mode works with: standard input as lines, standard output as text, the sink for
// error messages, and the output policy decided at start-up, with the console whose
// attribute service colours standard output where the policy says so. main owns them;
// tests hand in their own.
#pragma once

#include <string_view>

#include "colour/colour_policy.h"
#include "file_reader.h"
#include "filter/sources/named_sets.h"
#include "io/byte_stream.h"
#include "io/input_lines.h"
#include "io/text_output.h"
#include "print/colour_writer.h"
#include "qel/console_color.h"

namespace huecast {

struct command_streams;  // command/command_mode.h

struct program_streams {
    io::input_lines& input;
    io::text_output& output;
    io::byte_sink& errors;
    output_policy policy;
    qel::console_device* console = nullptr;  // for colour_method::console_attributes
    file_reader* files = nullptr;            // for filter files
    const set_shelf* sets = nullptr;         // for filter sets by name
    command_streams* command = nullptr;      // for --run
    // Writes messages::out_of_memory_line to the error stream as the platform ends its lines, needing
    // no memory on the way; none: the line goes to `errors`.
    void (*say_out_of_memory)() noexcept = nullptr;
};

// The colour writer that the policy chooses for standard output.
inline std::unique_ptr<colour_writer> make_colour_writer(program_streams& streams) {
    return make_colour_writer(streams.policy, streams.output, streams.console);
}

// Writes one line "huecast: <message>" to the error sink, in the output's code page.
void report_error(program_streams& streams, std::string_view message);

}  // namespace huecast
