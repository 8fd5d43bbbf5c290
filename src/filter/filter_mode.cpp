#include "filter/filter_mode.h"

#include <chrono>
#include <string>
#include <vector>

#include "filter/paint/compiled_filter.h"
#include "filter/paint/painter.h"
#include "messages.h"
#include "print/printer.h"

namespace huecast {

// What has waited 50 ms for more, long enough that a line written in a few blocks close
// together is painted whole; a redraw in place (up to its carriage return) as soon as input
// pauses; and a line that never ends in pieces of 16 MiB, so that memory does not grow with it.
const io::piece_policy painting_pieces = {std::chrono::milliseconds{50}, true, std::size_t{16} << 20};

exit_code filter_mode(const FilterList& filters, program_streams& streams) {
    // Every expression is compiled before any input is read, so that a bad one stops the
    // run before anything is consumed or written.
    auto compiled = compile_filters(filters);
    if (!compiled) {
        report_error(streams, compiled.error());
        return exit_code::usage_error;
    }
    if (!streams.policy.colours()) {
        // No colour can show, so the lines go through as they are, at copy speed.
        streams.input.copy_to(streams.output);
        return exit_code::done;
    }

    painter painter(std::move(compiled).value());
    const std::unique_ptr<colour_writer> colours = make_colour_writer(streams);
    printer print(streams.output, *colours);
    std::size_t line_number = 0;
    bool rest_of_line = false;
    bool warned = false;
    streams.input.hand_on_pieces(painting_pieces);
    streams.input.for_each(streams.output, [&](const io::input_line& line) {
        if (!rest_of_line) ++line_number;
        rest_of_line = line.continues();
        // Each piece is written as the painter finds it: a line with millions of matches
        // never holds them all.
        print.print(line, [&](auto emit) {
            segment_sink_of pieces(emit);
            painter.paint(line.text(), pieces);
        });
        if (!warned && !painter.gave_up().empty()) {
            const std::size_t f = painter.gave_up().front();
            report_error(streams, messages::gave_up(painter.filter(f).label, line_number, painter.reached_by(f)));
            warned = true;
        }
    });
    return exit_code::done;
}

}  // namespace huecast
