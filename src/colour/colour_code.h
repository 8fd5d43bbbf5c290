// A colour code: two hexadecimal digits, background first and text colour second, as in
// the console's COLOR command, at the front of an argument or a filter. Read here and
// nowhere else. A character that is not a digit is never rejected: its 0xFF spreads into
// the attribute word unmasked (so "7x" gives 0x00FF and "xx" gives 0x0FFF).
#pragma once

#include <string_view>

#include "colour/colour.h"

namespace huecast {

struct colour_code {
    text_colour colour;
    bool two_digits;  // both characters are hexadecimal digits, as the filter form needs
};

// The code at the front of `text`; a text shorter than two characters reads as ending in NULs.
colour_code read_colour_code(std::string_view text);

}  // namespace huecast
