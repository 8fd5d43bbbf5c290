// A colour as the printer and the terminal writer see it: a text colour and a background,
// each one of the console's sixteen, or the terminal's own colours. It is made from the
// console attribute word at the edge (a colour code, the Windows console) and keeps that
// word whole, so the console gets back exactly what it was given; the word's bits are named
// here and nowhere else.
#pragma once

#include <cstdint>

#include "qel/colour_attribute.h"

namespace huecast {

// The sixteen colours in the console's order: bit 0 blue, bit 1 green, bit 2 red, bit 3 bright.
enum class console_colour : std::uint8_t {
    black, blue, green, aqua, red, purple, yellow, white,
    gray, light_blue, light_green, light_aqua, light_red, light_purple, light_yellow, bright_white,
};

// The attribute word's bits.
namespace attribute_bits {
constexpr qel::ColourAttribute text = 0x000F;
constexpr qel::ColourAttribute background = 0x00F0;
constexpr unsigned background_shift = 4;
constexpr qel::ColourAttribute underscore = 0x8000;
constexpr qel::ColourAttribute reverse_video = 0x4000;
}  // namespace attribute_bits

class text_colour {
public:
    // The colours the terminal had before anything was written: what "back to normal" means
    // where there is no attribute to save.
    static constexpr text_colour terminal_default() { return text_colour(0, true); }
    // The colour of a console attribute word, taken whole (bits 8-15 included).
    static constexpr text_colour from_attribute(qel::ColourAttribute word) { return text_colour(word, false); }

    constexpr bool is_terminal_default() const { return terminal_default_; }
    // The word for the console; only for a colour that is not the terminal default.
    constexpr qel::ColourAttribute attribute() const { return word_; }
    constexpr console_colour text() const { return static_cast<console_colour>(word_ & attribute_bits::text); }
    constexpr console_colour background() const {
        return static_cast<console_colour>((word_ & attribute_bits::background) >> attribute_bits::background_shift);
    }
    constexpr bool underscored() const { return (word_ & attribute_bits::underscore) != 0; }
    constexpr bool reverse_video() const { return (word_ & attribute_bits::reverse_video) != 0; }

    friend constexpr bool operator==(text_colour, text_colour) = default;

private:
    constexpr text_colour(qel::ColourAttribute word, bool terminal_default)
        : word_(word), terminal_default_(terminal_default) {}

    qel::ColourAttribute word_;
    bool terminal_default_;
};

}  // namespace huecast
