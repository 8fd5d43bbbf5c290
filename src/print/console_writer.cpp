#include "print/console_writer.h"

namespace huecast {
namespace {

bool shown_as_it_is(colour_value c) {
    return c.what() != colour_value::kind::rgb && (c.what() != colour_value::kind::palette || c.number() < 16);
}

}  // namespace

bool console_shows(text_colour colour) {
    const text_attribute beyond_the_word = text_attribute::bold | text_attribute::dim | text_attribute::italic |
                                           text_attribute::blink | text_attribute::strike;
    return shown_as_it_is(colour.text()) && shown_as_it_is(colour.background()) && !colour.has(beyond_the_word);
}

void console_writer::set(text_colour colour) {
    if (colour.is_terminal_default()) {
        restore();
        return;
    }
    qel::ColourAttribute found = 0x07;
    guard_->saved(found);
    if (escapes_ && !console_shows(colour)) {
        // What the style leaves to the terminal is what the console showed at the start, as
        // it is for a word.
        escapes_->set(colour.over(
            text_colour::from_attribute(found & (console_word::text_bits | console_word::background_bits))));
        escaping_ = true;
        return;
    }
    leave_escapes();
    guard_->set(console_attribute(colour, found));
}

void console_writer::leave_escapes() {
    if (!escaping_) return;
    escapes_->restore();
    escaping_ = false;
}

}  // namespace huecast
