// The console of a POSIX terminal: colours travel as SGR escape sequences in the same
// byte stream as the text, so they fall exactly between the characters they separate.
// Applying the attribute already in effect writes nothing. On anything that is not a
// colour terminal the query fails and nothing is ever written.
#pragma once

#include <array>
#include <string>

#include "io/text_output.h"
#include "qel/console_color.h"

namespace platform {

// The terminal's own colours, as the query reports them; no colour code produces it.
constexpr qel::ColourAttribute terminal_default_attribute = 0xFF00;

// The SGR sequence for a console attribute word.
std::string sgr_sequence(qel::ColourAttribute attribute);

class terminal_console final : public qel::console_device {
public:
    terminal_console(io::text_output& output, bool is_terminal)
        : output_(output), is_terminal_(is_terminal) {}
    bool query(qel::ColourAttribute& attribute) override;
    bool apply(qel::ColourAttribute attribute) override;

private:
    io::text_output& output_;
    const bool is_terminal_;
    qel::ColourAttribute in_effect_ = terminal_default_attribute;
    std::array<std::string, 256> sequences_;  // for the attributes of two colour digits
};

}  // namespace platform
