// Writes lines with colour through a colour writer: the pieces of a line as the painter
// cuts them, each written as it comes, or a whole line in one colour. A line end is always
// written in the colour that was in force before the line; a piece of a line whose rest is
// still to come (input_line::continues) gets none.
#pragma once

#include <vector>

#include "io/input_lines.h"
#include "io/text_output.h"
#include "print/colour_writer.h"
#include "print/segment.h"

namespace huecast {

class printer {
public:
    printer(io::text_output& output, colour_writer& colours) : output_(output), colours_(colours) {}

    // `line` in the pieces that `cut(emit)` hands to `emit(const segment&)`, which cover it
    // once, in order; then its line end. Each piece is written when it is handed over. The
    // line's colour changes are a scope of their own, ended after the line end.
    template <class Cut>
    void print(const io::input_line& line, Cut cut) {
        colour_scope scope(colours_);
        cut([&](const segment& piece) { write(line, piece, scope); });
        end(line);
    }
    // `line` cut into `segments`.
    void print(const io::input_line& line, const std::vector<segment>& segments) {
        print(line, [&](auto emit) {
            for (const segment& piece : segments) emit(piece);
        });
    }
    // `line` whole in `colour`, then its line end, inside the caller's scope; a piece of a
    // long line whose rest is coming keeps the colour on for it.
    void print(const io::input_line& line, text_colour colour, colour_scope& scope);

private:
    void write(const io::input_line& line, const segment& piece, colour_scope& scope);
    void end(const io::input_line& line);

    io::text_output& output_;
    colour_writer& colours_;
};

}  // namespace huecast
