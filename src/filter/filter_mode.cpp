#include "filter/filter_mode.h"

#include <chrono>
#include <string>
#include <vector>

#include "filter/paint/painter.h"
#include "print/printer.h"

namespace huecast {
namespace {

// What of a line is painted before its end has come: what has waited 50 ms for more, long
// enough that a line written in a few blocks close together is painted whole; a redraw in
// place (up to its carriage return) as soon as input pauses; and a line that never ends in
// pieces of 16 MiB, so that memory does not grow with it.
const io::piece_policy painting_pieces = {std::chrono::milliseconds{50}, true, std::size_t{16} << 20};

// Every expression is compiled before any input is read, so that a bad one stops the run
// before anything is consumed or written.
bool compile_filters(const labelled_filters& filters, program_streams& streams,
                     std::vector<painter_filter>& compiled) {
    for (const labelled_filter& f : filters) {
        value_or_error<matcher, compile_error> expression = matcher::compile(f.filter.text);
        if (!expression) {
            report_error(streams, f.label + ": " + expression.error().message + " at offset " +
                                      decimal(expression.error().offset));
            return false;
        }
        compiled.push_back({f.filter.colour, std::move(expression).value()});
    }
    return true;
}

}  // namespace

exit_code filter_mode(const labelled_filters& filters, program_streams& streams) {
    std::vector<painter_filter> compiled;
    if (!compile_filters(filters, streams, compiled)) return exit_code::usage_error;
    if (!streams.policy.colours()) {
        // No colour can show, so the lines go through as they are, at copy speed.
        streams.input.copy_to(streams.output);
        return exit_code::done;
    }

    painter painter(std::move(compiled));
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
            report_error(streams, "warning: " + filters[painter.gave_up().front()].label + " gave up on line " +
                                      decimal(line_number) +
                                      " (too much backtracking) and colours nothing from there to the line's end;"
                                      " later cases are not reported");
            warned = true;
        }
    });
    return exit_code::done;
}

}  // namespace huecast
