// What a mode works with: standard input as lines, standard output as text, the console
// that colours standard output, and the sink for error messages. main owns them; tests
// hand in their own.
#pragma once

#include <string_view>

#include "io/byte_stream.h"
#include "io/line_reader.h"
#include "io/text_output.h"
#include "qel/console_color.h"

namespace huecast {

struct program_streams {
    io::line_reader& input;
    io::text_output& output;
    qel::console_device& console;
    io::byte_sink& errors;
};

// Writes one line "huecast: <message>" to the error sink, in the output's code page.
void report_error(program_streams& streams, std::u16string_view message);

}  // namespace huecast
