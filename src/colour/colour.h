// A colour as the modes, the painter and the printer pass it on: a text colour and a
// background, each one of the console's sixteen, with the attributes that go with them; or
// the terminal's own colours. It is a value of its own: only a colour writer turns it into
// output (escape sequences, or the Windows console's attribute word), and it is made from
// such a word only where one comes in (a colour code, the console).
#pragma once

#include <cstdint>

#include "qel/colour_attribute.h"

namespace huecast {

// The sixteen colours in the console's order: bit 0 blue, bit 1 green, bit 2 red, bit 3 bright.
enum class console_colour : std::uint8_t {
    black, blue, green, aqua, red, purple, yellow, white,
    gray, light_blue, light_green, light_aqua, light_red, light_purple, light_yellow, bright_white,
};

// Ways of showing text besides its two colours, any number at once. Underscore and reverse
// video any terminal shows. The grid lines and the double-byte marks are the Windows
// console's own: a colour code whose characters are not both digits sets some of them
// (colour_code.h), and they reach the console as they came.
enum class text_attribute : std::uint8_t {
    none = 0,
    underscore = 1 << 0,
    reverse_video = 1 << 1,
    grid_top = 1 << 2,
    grid_left = 1 << 3,
    grid_right = 1 << 4,
    leading_byte = 1 << 5,
    trailing_byte = 1 << 6,
};

constexpr text_attribute operator|(text_attribute a, text_attribute b) {
    return static_cast<text_attribute>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr text_attribute operator&(text_attribute a, text_attribute b) {
    return static_cast<text_attribute>(static_cast<unsigned>(a) & static_cast<unsigned>(b));
}

// The console attribute word's layout, named once: what reads a word into a colour and the
// console writer, which turns a colour back into one, share it.
namespace console_word {
constexpr qel::ColourAttribute text_bits = 0x000F;
constexpr qel::ColourAttribute background_bits = 0x00F0;
constexpr unsigned background_shift = 4;
// Each attribute's bit. Bit 13 means nothing to the console and is not kept.
struct attribute_bit {
    text_attribute attribute;
    qel::ColourAttribute bit;
};
constexpr attribute_bit attribute_bits[] = {
    {text_attribute::leading_byte, 0x0100}, {text_attribute::trailing_byte, 0x0200},
    {text_attribute::grid_top, 0x0400},     {text_attribute::grid_left, 0x0800},
    {text_attribute::grid_right, 0x1000},   {text_attribute::reverse_video, 0x4000},
    {text_attribute::underscore, 0x8000},
};
}  // namespace console_word

class text_colour {
public:
    // The colours the terminal had before anything was written: what "back to normal" means
    // where there is no attribute to save.
    static constexpr text_colour terminal_default() { return text_colour(); }

    constexpr text_colour(console_colour text, console_colour background,
                          text_attribute attributes = text_attribute::none)
        : text_(text), background_(background), attributes_(attributes), terminal_default_(false) {}

    // The colour of a console attribute word, for where a word comes in.
    static constexpr text_colour from_attribute(qel::ColourAttribute word) {
        text_attribute attributes = text_attribute::none;
        for (const auto& [attribute, bit] : console_word::attribute_bits) {
            if ((word & bit) != 0) attributes = attributes | attribute;
        }
        return text_colour(static_cast<console_colour>(word & console_word::text_bits),
                           static_cast<console_colour>((word & console_word::background_bits) >>
                                                       console_word::background_shift),
                           attributes);
    }

    constexpr bool is_terminal_default() const { return terminal_default_; }
    // What follows holds only for a colour that is not the terminal default.
    constexpr console_colour text() const { return text_; }
    constexpr console_colour background() const { return background_; }
    constexpr text_attribute attributes() const { return attributes_; }
    constexpr bool has(text_attribute attribute) const { return (attributes_ & attribute) != text_attribute::none; }

    friend constexpr bool operator==(text_colour, text_colour) = default;

private:
    constexpr text_colour()
        : text_(console_colour::black), background_(console_colour::black), attributes_(text_attribute::none),
          terminal_default_(true) {}

    console_colour text_;
    console_colour background_;
    text_attribute attributes_;
    bool terminal_default_;
};

}  // namespace huecast
