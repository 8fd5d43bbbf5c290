#include "print/escape_writer.h"

#include "colour/nearest_colour.h"
#include "io/shown_colour.h"

namespace huecast {
namespace {

static_assert(longest_sgr_sequence <= io::shown_colour::longest,
              "a style's sequence must be put back after a stop like any other");

constexpr std::size_t style_cache_size = 64;

// The console orders its colour bits blue, green, red; ANSI orders them red, green, blue.
unsigned ansi_hue(console_colour c) {
    const auto v = static_cast<unsigned>(c);
    return ((v & 1u) << 2) | (v & 2u) | ((v & 4u) >> 2);
}

bool bright(console_colour c) { return (static_cast<unsigned>(c) & 8u) != 0; }

bool is_code(text_colour colour) {
    return colour.text().what() == colour_value::kind::code && colour.background().what() == colour_value::kind::code &&
           !colour.has(any_style_attribute);
}

// The console's own marks (grid lines, double-byte halves) show nothing in escapes, so a
// colour code that differs only in them shares its slot.
std::size_t slot_of(text_colour colour) {
    return static_cast<std::size_t>(colour.text().console()) |
           static_cast<std::size_t>(colour.background().console()) << 4 |
           std::size_t{colour.has(text_attribute::underscore)} << 8 |
           std::size_t{colour.has(text_attribute::reverse_video)} << 9;
}

constexpr unsigned style_attribute_numbers[] = {1, 2, 3, 4, 5, 7, 9};

// `colour`'s parameters for the text (`base` 30) or the background (40).
void append_colour(std::string& s, colour_value colour, unsigned base, colour_depth depth) {
    const auto number = [&](unsigned n) { s += std::to_string(n); };
    switch (colour.what()) {
        case colour_value::kind::terminal:
            number(base + 9);
            return;
        case colour_value::kind::code: {
            const console_colour c = colour.console();
            // A colour code's black background is the terminal's own background.
            if (base == 40 && c == console_colour::black) {
                number(49);
            } else {
                number((bright(c) ? base + 60 : base) + ansi_hue(c));
            }
            return;
        }
        case colour_value::kind::basic:
            number((colour.number() >= 8 ? base + 60 : base) + (colour.number() & 7u));
            return;
        case colour_value::kind::palette:
            number(base + 8);
            s += ";5;";
            number(colour.number());
            return;
        case colour_value::kind::rgb:
            number(base + 8);
            if (depth == colour_depth::true_colour) {
                s += ";2;";
                number(colour.red());
                s += ';';
                number(colour.green());
                s += ';';
                number(colour.blue());
            } else {
                s += ";5;";
                number(nearest_palette(colour.red(), colour.green(), colour.blue()));
            }
            return;
    }
}

}  // namespace

std::string sgr_sequence(text_colour colour, colour_depth depth) {
    if (colour.is_terminal_default()) return "\x1b[0m";
    std::string s = "\x1b[0;";
    for (std::size_t i = 0; i < std::size(style_attributes); ++i) {
        if (colour.has(style_attributes[i])) s += std::to_string(style_attribute_numbers[i]) + ';';
    }
    append_colour(s, colour.text(), 30, depth);
    s += ';';
    append_colour(s, colour.background(), 40, depth);
    if (colour.has(text_attribute::underscore) && !colour.has(text_attribute::underline)) s += ";4";
    if (colour.has(text_attribute::reverse_video) && !colour.has(text_attribute::reverse)) s += ";7";
    s += 'm';
    return s;
}

void escape_writer::set(text_colour colour) {
    if (colour == in_effect_) return;
    in_effect_ = colour;
    // Colour codes, the common case, and the reset come straight from their slots.
    if (is_code(colour)) {
        const std::string& sequence = code_sequences_[slot_of(colour)];
        if (!sequence.empty()) {
            output_.write_control(sequence);
            return;
        }
    } else if (colour.is_terminal_default()) {
        output_.write_control(reset_);
        return;
    }
    output_.write_control(first_sequence(colour));
}

const std::string& escape_writer::first_sequence(text_colour colour) {
    if (is_code(colour)) return code_sequences_[slot_of(colour)] = sgr_sequence(colour);
    for (const auto& [style, sequence] : style_sequences_) {
        if (style == colour) return sequence;
    }
    if (style_sequences_.size() < style_cache_size) {
        return style_sequences_.emplace_back(colour, sgr_sequence(colour, depth_)).second;
    }
    uncached_ = sgr_sequence(colour, depth_);
    return uncached_;
}

}  // namespace huecast
