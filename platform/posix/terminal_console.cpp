#include "platform/posix/terminal_console.h"

namespace platform {
namespace {

// The console orders its colour bits blue, green, red; ANSI orders them red, green, blue.
unsigned ansi(unsigned console_colour) {
    return ((console_colour & 1u) << 2) | (console_colour & 2u) | ((console_colour & 4u) >> 2);
}

}  // namespace

std::string sgr_sequence(qel::ColourAttribute a) {
    const unsigned text = (a & 0x08u ? 90u : 30u) + ansi(a & 7u);
    const unsigned background_digit = (a >> 4) & 0x0Fu;
    const unsigned background = background_digit == 0 ? 49u : (a & 0x80u ? 100u : 40u) + ansi(background_digit & 7u);
    std::string s = "\x1b[0;" + std::to_string(text) + ';' + std::to_string(background);
    if (a & 0x8000u) s += ";4";
    if (a & 0x4000u) s += ";7";
    s += 'm';
    return s;
}

bool terminal_console::query(qel::ColourAttribute& attribute) {
    if (!is_terminal_) return false;
    attribute = terminal_default_attribute;
    return true;
}

bool terminal_console::apply(qel::ColourAttribute attribute) {
    if (!is_terminal_) return false;
    if (attribute != in_effect_) {
        if (attribute == terminal_default_attribute) {
            output_.write_control("\x1b[0m");
        } else if (attribute < sequences_.size()) {
            // Filters colour piece after piece in a few attributes: each sequence is made once.
            std::string& sequence = sequences_[attribute];
            if (sequence.empty()) sequence = sgr_sequence(attribute);
            output_.write_control(sequence);
        } else {
            output_.write_control(sgr_sequence(attribute));
        }
        in_effect_ = attribute;
    }
    return true;
}

}  // namespace platform
