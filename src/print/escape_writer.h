// Colour as SGR escape sequences, written into the same byte stream as the text, so that
// every change falls exactly between the characters it separates. The colour in force at
// the start is the terminal's own; going back to it is the reset sequence. A change to the
// colour already in effect writes nothing.
#pragma once

#include <array>
#include <string>

#include "print/colour_writer.h"

namespace huecast {

// The sequence that shows text in `colour`.
std::string sgr_sequence(text_colour colour);

class escape_writer final : public colour_writer {
public:
    explicit escape_writer(io::text_output& output) : output_(output) {}
    void begin() override {}
    void set(text_colour colour) override;
    void restore() override { set(text_colour::terminal_default()); }
    void end() override { restore(); }

private:
    io::text_output& output_;
    text_colour in_effect_ = text_colour::terminal_default();
    const std::string reset_ = sgr_sequence(text_colour::terminal_default());
    // Made once each: one for every look that escapes can show (sixteen text colours,
    // sixteen backgrounds, with or without underscore and reverse video).
    std::array<std::string, 16 * 16 * 4> sequences_;
};

}  // namespace huecast
