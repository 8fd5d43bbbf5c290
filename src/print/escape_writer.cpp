#include "print/escape_writer.h"

namespace huecast {
namespace {

// The console orders its colour bits blue, green, red; ANSI orders them red, green, blue.
unsigned ansi_hue(console_colour c) {
    const auto v = static_cast<unsigned>(c);
    return ((v & 1u) << 2) | (v & 2u) | ((v & 4u) >> 2);
}

bool bright(console_colour c) { return (static_cast<unsigned>(c) & 8u) != 0; }

// The console's own marks (grid lines, double-byte halves) show nothing in escapes, so a
// colour that differs only in them shares its slot.
std::size_t slot_of(text_colour colour) {
    return static_cast<std::size_t>(colour.text().console()) | static_cast<std::size_t>(colour.background().console()) << 4 |
           std::size_t{colour.has(text_attribute::underscore)} << 8 |
           std::size_t{colour.has(text_attribute::reverse_video)} << 9;
}

}  // namespace

std::string sgr_sequence(text_colour colour) {
    if (colour.is_terminal_default()) return "\x1b[0m";
    const unsigned text = (bright(colour.text().console()) ? 90u : 30u) + ansi_hue(colour.text().console());
    // A black background is the terminal's own background.
    const console_colour back = colour.background().console();
    const unsigned background = back == console_colour::black ? 49u : (bright(back) ? 100u : 40u) + ansi_hue(back);
    std::string s = "\x1b[0;" + std::to_string(text) + ';' + std::to_string(background);
    if (colour.has(text_attribute::underscore)) s += ";4";
    if (colour.has(text_attribute::reverse_video)) s += ";7";
    s += 'm';
    return s;
}

void escape_writer::set(text_colour colour) {
    if (colour == in_effect_) return;
    in_effect_ = colour;
    if (colour.is_terminal_default()) {
        output_.write_control(reset_);
        return;
    }
    std::string& sequence = sequences_[slot_of(colour)];
    if (sequence.empty()) sequence = sgr_sequence(colour);
    output_.write_control(sequence);
}

}  // namespace huecast
