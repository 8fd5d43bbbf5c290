#include "whole_stream_mode.h"

#include "input_lines.h"

namespace huecast {

int whole_stream_mode(text_colour colour, program_streams& streams) {
    qel::console_color guard(streams.console);
    io::text_output& out = streams.output;
    if (qel::ColourAttribute current; !streams.console.query(current)) {
        // Not a console: setting and restoring the colour would change nothing.
        copy_input_lines(streams);
        return 0;
    }
    for_each_input_line(streams, [&](auto line) {
        guard.set(colour.attribute());
        write_line_body(out, line);
        guard.restore();
        out.end_line();
    });
    return 0;
}

}  // namespace huecast
