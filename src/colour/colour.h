// A style as the modes, the painter and the printer pass it on: a text colour and a
// background, each the terminal's own, one of the sixteen basic colours, a palette number or
// 24-bit, with the attributes that go with them. It is a value of its own: only a colour
// writer turns it into output (escape sequences, or the Windows console's attribute word),
// and it is made from such a word only where one comes in (a colour code, the console).
#pragma once

#include <cstdint>

#include "qel/colour_attribute.h"

namespace huecast {

// The sixteen colours in the console's order: bit 0 blue, bit 1 green, bit 2 red, bit 3 bright.
enum class console_colour : std::uint8_t {
    black, blue, green, aqua, red, purple, yellow, white,
    gray, light_blue, light_green, light_aqua, light_red, light_purple, light_yellow, bright_white,
};

// Ways of showing text besides its two colours, any number at once.
//
// The first seven are the console word's own marks, which only a colour code sets (one
// whose characters are not both digits, colour_code.h) and which reach the console as they
// came: underscore and reverse video, which escapes show too, after the colours, where a
// colour code has always put them; the grid lines and the double-byte marks, which only the
// console shows. The rest are a style's words, written before the colours in escapes; the
// console shows underline and reverse through the same bits as its own marks, and cannot
// show the others.
enum class text_attribute : std::uint16_t {
    none = 0,
    underscore = 1 << 0,
    reverse_video = 1 << 1,
    grid_top = 1 << 2,
    grid_left = 1 << 3,
    grid_right = 1 << 4,
    leading_byte = 1 << 5,
    trailing_byte = 1 << 6,
    bold = 1 << 7,
    dim = 1 << 8,
    italic = 1 << 9,
    underline = 1 << 10,
    blink = 1 << 11,
    reverse = 1 << 12,
    strike = 1 << 13,
};

constexpr text_attribute operator|(text_attribute a, text_attribute b) {
    return static_cast<text_attribute>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr text_attribute operator&(text_attribute a, text_attribute b) {
    return static_cast<text_attribute>(static_cast<unsigned>(a) & static_cast<unsigned>(b));
}

// A style's attributes, in the order of their escape numbers.
constexpr text_attribute style_attributes[] = {
    text_attribute::bold,  text_attribute::dim,     text_attribute::italic, text_attribute::underline,
    text_attribute::blink, text_attribute::reverse, text_attribute::strike,
};
constexpr text_attribute any_style_attribute = text_attribute::bold | text_attribute::dim | text_attribute::italic |
                                               text_attribute::underline | text_attribute::blink |
                                               text_attribute::reverse | text_attribute::strike;

// One of the two colours of a style. Of the sixteen there are two kinds, because a colour
// code's black background has always been the terminal's own in escapes and black on the
// console, where the word black means black everywhere.
class colour_value {
public:
    enum class kind : std::uint8_t {
        terminal,  // the terminal's own (the console's: the colour found at the start)
        code,      // one of the sixteen as a colour code gives it, in the console's order
        basic,     // one of the sixteen by name, in ANSI order: black, red, green, yellow,
                   // blue, magenta, cyan, white, then their bright forms
        palette,   // 0-255 of the 256-colour palette
        rgb,       // 24-bit
    };

    // The terminal's own.
    constexpr colour_value() = default;
    static constexpr colour_value code(console_colour c) { return {kind::code, static_cast<std::uint8_t>(c)}; }
    // `ansi` is 0-15.
    static constexpr colour_value basic(std::uint8_t ansi) { return {kind::basic, ansi}; }
    static constexpr colour_value palette(std::uint8_t number) { return {kind::palette, number}; }
    static constexpr colour_value rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return {kind::rgb, std::uint32_t{red} << 16 | std::uint32_t{green} << 8 | blue};
    }

    constexpr kind what() const { return static_cast<kind>(bits_ >> 24); }
    constexpr bool is_set() const { return bits_ != 0; }
    // For `code`.
    constexpr console_colour console() const { return static_cast<console_colour>(bits_ & 0xFF); }
    // For `basic` (0-15) and `palette` (0-255).
    constexpr std::uint8_t number() const { return static_cast<std::uint8_t>(bits_); }
    // For `rgb`.
    constexpr std::uint8_t red() const { return static_cast<std::uint8_t>(bits_ >> 16); }
    constexpr std::uint8_t green() const { return static_cast<std::uint8_t>(bits_ >> 8); }
    constexpr std::uint8_t blue() const { return static_cast<std::uint8_t>(bits_); }

    friend constexpr bool operator==(colour_value, colour_value) = default;

private:
    friend class text_colour;
    constexpr colour_value(kind k, std::uint32_t value) : bits_(static_cast<std::uint32_t>(k) << 24 | value) {}
    explicit constexpr colour_value(std::uint32_t bits) : bits_(bits) {}

    std::uint32_t bits_ = 0;
};

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

// A style. Styles are laid over one another where filters meet (`over`).
class text_colour {
public:
    // The colours the terminal had before anything was written: what "back to normal" means
    // where there is no attribute to save.
    static constexpr text_colour terminal_default() { return text_colour(); }

    constexpr text_colour() = default;
    constexpr text_colour(colour_value text, colour_value background, text_attribute attributes = text_attribute::none)
        : colours_(text.bits_ | std::uint64_t{background.bits_} << 32), attributes_(attributes) {}
    // The colours of a colour code.
    constexpr text_colour(console_colour text, console_colour background,
                          text_attribute attributes = text_attribute::none)
        : text_colour(colour_value::code(text), colour_value::code(background), attributes) {}

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

    constexpr bool is_terminal_default() const { return *this == text_colour(); }
    constexpr colour_value text() const { return colour_value(static_cast<std::uint32_t>(colours_)); }
    constexpr colour_value background() const { return colour_value(static_cast<std::uint32_t>(colours_ >> 32)); }
    constexpr text_attribute attributes() const { return attributes_; }
    constexpr bool has(text_attribute attribute) const { return (attributes_ & attribute) != text_attribute::none; }

    // This style laid over `lower`: a colour this one leaves to the terminal comes from
    // `lower`, and the attributes of both add up.
    constexpr text_colour over(text_colour lower) const {
        return text_colour(text().is_set() ? text() : lower.text(),
                           background().is_set() ? background() : lower.background(), attributes_ | lower.attributes_);
    }

    friend constexpr bool operator==(text_colour, text_colour) = default;

private:
    // The text colour in the low half, the background in the high: the writers compare
    // styles for every piece, and two words compare faster than ten bytes.
    std::uint64_t colours_ = 0;
    text_attribute attributes_ = text_attribute::none;
};

}  // namespace huecast
