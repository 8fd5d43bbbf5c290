// Writes lines with colour through a colour writer: the pieces of a line as the painter
// cut them, or a whole line in one colour. A line end is always written in the colour
// that was in force before the line.
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

    // `line` cut into `segments`, which cover it once, in order; then its line end. The
    // line's colour changes are a scope of their own, ended after the line end.
    void print(const io::input_line& line, const std::vector<segment>& segments);
    // `line` whole in `colour`, then its line end, inside the caller's scope.
    void print(const io::input_line& line, text_colour colour, colour_scope& scope);

private:
    io::text_output& output_;
    colour_writer& colours_;
};

}  // namespace huecast
