// Colour as SGR escape sequences, written into the same byte stream as the text, so that
// every change falls exactly between the characters it separates. The colour in force at
// the start is the terminal's own; going back to it is the reset sequence. A change to the
// colour already in effect writes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "print/colour_writer.h"

namespace huecast {

// The sequence that shows text in `colour`: ESC [ 0, a style's attributes, the text colour
// and the background (39 and 49 for the terminal's own), a colour code's underscore and
// reverse video where they have always been, m. A 24-bit colour is the palette's nearest
// unless `depth` allows 24-bit.
std::string sgr_sequence(text_colour colour, colour_depth depth = colour_depth::palette_256);

// The most bytes that sgr_sequence gives: ESC[0;1;2;3;4;5;7;9;38;2;255;255;255;48;2;255;255;255m.
// What follows the terminal's colour for putting it back (io::shown_colour) must take it.
constexpr std::size_t longest_sgr_sequence = 52;

class escape_writer final : public colour_writer {
public:
    explicit escape_writer(io::text_output& output, colour_depth depth = colour_depth::palette_256)
        : output_(output), depth_(depth) {}
    void begin() override {}
    void set(text_colour colour) override;
    void restore() override { set(text_colour::terminal_default()); }
    void end() override { restore(); }

private:
    // The sequence of a colour code not written yet, or of any other style; kept out of
    // line, away from the few instructions that a colour code takes.
    [[gnu::noinline]] const std::string& first_sequence(text_colour colour);

    io::text_output& output_;
    const colour_depth depth_;
    text_colour in_effect_ = text_colour::terminal_default();
    const std::string reset_ = sgr_sequence(text_colour::terminal_default());
    // Made once each: one for every look of a colour code that escapes can show (sixteen
    // text colours, sixteen backgrounds, with or without underscore and reverse video).
    std::array<std::string, 16 * 16 * 4> code_sequences_;
    // The other styles, as they come: a run has few (its filters' and where they meet),
    // and those beyond the first few dozen are made afresh each time.
    std::vector<std::pair<text_colour, std::string>> style_sequences_;
    std::string uncached_;
};

}  // namespace huecast
