#include "print/printer.h"

namespace huecast {

void printer::print(const io::input_line& line, const std::vector<segment>& segments) {
    colour_scope scope(colours_);
    for (const segment& piece : segments) {
        if (piece.colour) {
            scope.set(*piece.colour);
            output_.write(line, piece.begin, piece.end);
            scope.restore();
        } else {
            output_.write(line, piece.begin, piece.end);
        }
    }
    output_.end_line();
}

void printer::print(const io::input_line& line, text_colour colour, colour_scope& scope) {
    scope.set(colour);
    output_.write(line);
    scope.restore();
    output_.end_line();
}

}  // namespace huecast
