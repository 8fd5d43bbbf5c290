#include "print/printer.h"

namespace huecast {

void printer::write(const io::input_line& line, const segment& piece, colour_scope& scope) {
    if (piece.colour) {
        scope.set(*piece.colour);
        output_.write(line, piece.begin, piece.end);
        scope.restore();
    } else {
        output_.write(line, piece.begin, piece.end);
    }
}

void printer::end(const io::input_line& line) {
    if (!line.continues()) output_.end_line();
}

void printer::print(const io::input_line& line, text_colour colour, colour_scope& scope) {
    scope.set(colour);
    output_.write(line);
    scope.restore();
    end(line);
}

}  // namespace huecast
