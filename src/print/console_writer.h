// Colour through a console's text-attribute service, by way of the support library's
// guard: `begin` saves the console's attribute, `set` applies a colour's attribute word,
// `restore` and `end` apply the saved word again. A colour becomes a console word here and
// nowhere else. A colour the word cannot show is shown as the nearest it can, or, on a
// console that interprets escapes, written as escapes; colour codes always go as words.
#pragma once

#include <optional>

#include "colour/nearest_colour.h"
#include "print/colour_writer.h"
#include "print/escape_writer.h"
#include "qel/console_color.h"

namespace huecast {

// The console's attribute word for `colour`, which is not the terminal default; a colour
// that the style leaves to the terminal is the one of `found`, the word in force at the
// start. For a colour read from a word (text_colour::from_attribute), that word again.
inline qel::ColourAttribute console_attribute(text_colour colour, qel::ColourAttribute found = 0x07) {
    const auto channel = [](colour_value c, unsigned otherwise) {
        return c.is_set() ? static_cast<unsigned>(nearest_console(c)) : otherwise;
    };
    auto word = static_cast<qel::ColourAttribute>(
        channel(colour.text(), found & console_word::text_bits) |
        channel(colour.background(), (found & console_word::background_bits) >> console_word::background_shift)
            << console_word::background_shift);
    // The console underlines and reverses a style's text with its own marks.
    text_attribute marks = colour.attributes();
    if (colour.has(text_attribute::underline)) marks = marks | text_attribute::underscore;
    if (colour.has(text_attribute::reverse)) marks = marks | text_attribute::reverse_video;
    for (const auto& [attribute, bit] : console_word::attribute_bits) {
        if ((marks & attribute) != text_attribute::none) word |= bit;
    }
    return word;
}

// Whether the attribute word shows `colour` as it is: the sixteen colours, underline and
// reverse video are all it has.
bool console_shows(text_colour colour);

class console_writer final : public colour_writer {
public:
    // With `escapes`, a colour the word cannot show is written there, as the console
    // interprets it, in `depth`.
    explicit console_writer(qel::console_device& console, io::text_output* escapes = nullptr,
                            colour_depth depth = colour_depth::palette_256)
        : console_(console) {
        if (escapes != nullptr) escapes_.emplace(*escapes, depth);
    }
    void begin() override { guard_.emplace(console_); }
    void set(text_colour colour) override;
    void restore() override {
        leave_escapes();
        guard_->restore();
    }
    void end() override {
        leave_escapes();
        guard_.reset();
    }

private:
    void leave_escapes();

    qel::console_device& console_;
    std::optional<qel::console_color> guard_;
    std::optional<escape_writer> escapes_;
    bool escaping_ = false;  // the colour in effect came as escapes
};

}  // namespace huecast
