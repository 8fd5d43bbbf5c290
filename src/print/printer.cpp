#include "print/printer.h"

namespace huecast {

void printer::write(const io::input_line& line, const segment& piece, colour_scope& scope) {
    const std::string_view text = line.text().substr(piece.begin, piece.end - piece.begin);
    if (piece.colour) {
        scope.set(*piece.colour);
        output_.write_piece(text);
        scope.restore();
    } else {
        output_.write_piece(text);
    }
}

void printer::end(const io::input_line& line) {
    if (!line.continues()) output_.end_line();
}

void printer::print(const io::input_line& line, text_colour colour, colour_scope& scope) {
    scope.set(colour);
    if (line.copies_as_bytes(output_.text_codec())) {
        output_.write_bytes(line.bytes());
    } else {
        output_.write_piece(line.text());
    }
    // A piece of a long line leaves the colour on for its rest, which is already coming, so
    // that the line is written as it would be whole.
    if (!line.continues() || line.input_paused()) scope.restore();
    end(line);
}

}  // namespace huecast
