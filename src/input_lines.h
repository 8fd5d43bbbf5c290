// The reading loop that every mode shares: each input line handed on as it was read,
// until input ends or output has failed (a reader that went away ends the run).
#pragma once

#include <string>
#include <string_view>

#include "program_streams.h"

namespace huecast {

// Calls `each(line)` per input line: with the line's bytes (std::string_view) when the code
// page round-trips every byte, so that a copied line is never decoded; otherwise with its
// text (std::u16string_view).
template <class Each>
void for_each_input_line(program_streams& streams, Each each) {
    io::text_output& out = streams.output;
    if (out.text_codec().lossless()) {
        std::string_view line;
        while (out.good() && streams.input.next(line)) each(line);
    } else {
        std::u16string line;
        while (out.good() && streams.input.read_line(line, out.text_codec())) each(std::u16string_view(line));
    }
}

// Copies every input line to the output as it is, apart from its line end: the mode's work
// where no colour can show. Lines go in whole runs when the code page round-trips every
// byte, otherwise one by one through the codec.
inline void copy_input_lines(program_streams& streams) {
    io::text_output& out = streams.output;
    if (out.text_codec().lossless()) {
        std::string_view lines;
        while (out.good() && streams.input.next_lines(lines)) out.write_lines(lines);
        return;
    }
    std::u16string line;
    while (out.good() && streams.input.read_line(line, out.text_codec())) {
        out.write(line);
        out.end_line();
    }
}

// Writes a line as handed on by for_each_input_line.
inline void write_line_body(io::text_output& out, std::string_view bytes) { out.write_encoded(bytes); }
inline void write_line_body(io::text_output& out, std::u16string_view text) { out.write(text); }

}  // namespace huecast
