// Colour through a console's text-attribute service, by way of the support library's
// guard: `begin` saves the console's attribute, `set` applies a colour's attribute word,
// `restore` and `end` apply the saved word again. A colour becomes a console word here and
// nowhere else.
#pragma once

#include <optional>

#include "print/colour_writer.h"
#include "qel/console_color.h"

namespace huecast {

// The console's attribute word for `colour`, which is not the terminal default; for a colour
// read from a word (text_colour::from_attribute), that word again.
constexpr qel::ColourAttribute console_attribute(text_colour colour) {
    auto word = static_cast<qel::ColourAttribute>(static_cast<unsigned>(colour.text().console()) |
                                                  static_cast<unsigned>(colour.background().console())
                                                      << console_word::background_shift);
    for (const auto& [attribute, bit] : console_word::attribute_bits) {
        if (colour.has(attribute)) word |= bit;
    }
    return word;
}

class console_writer final : public colour_writer {
public:
    explicit console_writer(qel::console_device& console) : console_(console) {}
    void begin() override { guard_.emplace(console_); }
    // The console's own colours are the ones `begin` found.
    void set(text_colour colour) override {
        if (colour.is_terminal_default()) {
            guard_->restore();
        } else {
            guard_->set(console_attribute(colour));
        }
    }
    void restore() override { guard_->restore(); }
    void end() override { guard_.reset(); }

private:
    qel::console_device& console_;
    std::optional<qel::console_color> guard_;
};

}  // namespace huecast
