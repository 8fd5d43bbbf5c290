// A style as users write it: a colour code of two hexadecimal digits, or words in the colour
// syntax of git's configuration. The words are separated by blanks (spaces and tabs) and
// read in any case; each is an attribute or a colour, in any order:
//   attributes  bold, dim, italic, ul (or underline), blink, reverse, strike
//   colours     normal or default (the terminal's own), black, red, green, yellow, blue,
//               magenta, cyan, white, brightblack ... brightwhite, a palette number 0-255,
//               #rrggbb or #rgb (24-bit)
// The first colour is the text's, the second the background's; a style has at most two.
// A style that is exactly two hexadecimal digits is always the colour code, as it has
// always been: so "12" is background 1 and text 2, and palette colour 12 is written with
// another word or a blank beside it ("12 normal", " 12").
#pragma once

#include <string>
#include <string_view>

#include "colour/colour.h"
#include "value_or_error.h"

namespace huecast {

struct style_error {
    enum class fault {
        no_words,      // nothing but blanks
        unknown_word,  // neither an attribute nor a colour
        out_of_range,  // a palette number above 255
        third_colour,  // a colour after the background
    };
    fault what;
    std::string word;  // the bad word as written; empty for no_words

    // Why the style is refused, naming the word as written: a message quotes it through
    // printable() before it reaches a terminal, as with everything else that users wrote.
    std::string reason() const;
};

// `text` (UTF-8) as a style.
value_or_error<text_colour, style_error> parse_style(std::string_view text);

}  // namespace huecast
