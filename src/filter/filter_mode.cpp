#include "filter/filter_mode.h"

#include <string>
#include <vector>

#include "filter/filter_arguments.h"
#include "filter/painter.h"
#include "input_lines.h"

namespace huecast {
namespace {

std::u16string decimal(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string describe_filter(std::size_t index, const char16_t* argument) {
    return u"filter " + decimal(index) + u" \"" + argument + u"\"";
}

// Every expression is compiled before any input is read, so that a bad one stops the run
// before anything is consumed or written.
bool compile_filters(const FilterList& filters, const char16_t* const argv[], program_streams& streams,
                     std::vector<painter_filter>& compiled) {
    std::size_t index = 1;
    for (const Filter& filter : filters) {
        value_or_error<matcher, compile_error> expression = matcher::compile(filter.text);
        if (!expression) {
            report_error(streams, describe_filter(index, argv[index]) + u": " + expression.error().message +
                                      u" at offset " + decimal(expression.error().offset));
            return false;
        }
        compiled.push_back({text_colour::from_attribute(filter.attribute), std::move(expression).value()});
        ++index;
    }
    return true;
}

void paint_lines(painter& painter, const char16_t* const argv[], program_streams& streams) {
    io::text_output& out = streams.output;
    std::u16string line;
    std::vector<segment> segments;
    std::size_t line_number = 0;
    bool warned = false;
    const io::codec& codec = out.text_codec();
    std::string_view bytes;
    while (out.good() && streams.input.next(bytes)) {
        line.clear();
        codec.decode(bytes, line);
        ++line_number;
        qel::console_color guard(streams.console);
        painter.paint(line, segments);
        const std::u16string_view text(line);
        // Under a code page that round-trips every byte, a line with as many units as bytes
        // has one unit per byte (ASCII, or a byte that is not UTF-8), unit i standing for
        // byte i: its pieces are written as the bytes they came from, with no encoding.
        const bool one_unit_per_byte = codec.lossless() && line.size() == bytes.size();
        const auto write = [&](const segment& piece) {
            if (one_unit_per_byte) {
                out.write_encoded(bytes.substr(piece.begin, piece.end - piece.begin));
            } else {
                out.write(text.substr(piece.begin, piece.end - piece.begin));
            }
        };
        for (const segment& piece : segments) {
            if (piece.colour) {
                guard.set(piece.colour->attribute());
                write(piece);
                guard.restore();
            } else {
                write(piece);
            }
        }
        out.end_line();
        if (!warned && !painter.gave_up().empty()) {
            const std::size_t index = painter.gave_up().front() + 1;
            report_error(streams, u"warning: " + describe_filter(index, argv[index]) + u" gave up on line " +
                                      decimal(line_number) +
                                      u" (too much backtracking) and colours nothing from there to the line's end;"
                                      u" later cases are not reported");
            warned = true;
        }
    }
}

}  // namespace

int filter_mode(const FilterList& filters, const char16_t* const argv[], program_streams& streams) {
    std::vector<painter_filter> compiled;
    if (!compile_filters(filters, argv, streams, compiled)) return invalid_filter;

    io::text_output& out = streams.output;
    if (!out.terminal()) {
        // Colours change nothing here, so the lines go through as they are, at copy speed.
        copy_input_lines(streams);
        return 0;
    }
    painter painter(std::move(compiled));
    paint_lines(painter, argv, streams);
    return 0;
}

}  // namespace huecast
