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
    std::array<std::string, 256> sequences_;  // made once each, for the colours of two digits
};

}  // namespace huecast
