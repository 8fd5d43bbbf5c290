#include "whole_stream_mode.h"

#include <chrono>

#include "print/printer.h"

namespace huecast {

exit_code whole_stream_mode(text_colour colour, program_streams& streams) {
    if (!streams.policy.colours()) {
        streams.input.copy_to(streams.output);
        return exit_code::done;
    }
    const std::unique_ptr<colour_writer> colours = make_colour_writer(streams);
    printer print(streams.output, *colours);
    // One scope for the whole run: every line goes back to the colour found at the start.
    colour_scope scope(*colours);
    // What has come of a line shows at once when input pauses in it (a prompt, progress),
    // and a long line goes out in pieces, in bounded memory.
    streams.input.hand_on_pieces(io::piece_policy::copying(io::input_lines::copy_block));
    streams.input.for_each(streams.output, [&](const io::input_line& line) { print.print(line, colour, scope); });
    return exit_code::done;
}

}  // namespace huecast
