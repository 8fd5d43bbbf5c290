// A colour code: two hexadecimal digits, background first and text colour second, as in
// the console's COLOR command. A character that is not a digit is never rejected: its 0xFF
// spreads into the attribute unmasked (so "7x" gives 0x00FF and "xx" gives 0x0FFF).
#pragma once

#include "colour/colour.h"
#include "qel/colour_attribute.h"

namespace huecast {

using qel::ColourAttribute;

// The one rule for a hexadecimal digit, in a colour code and in the filter form alike.
inline bool is_hex_digit(char16_t c) { return qel::HexDigitValue(c) <= 0x0F; }

ColourAttribute colour_from_code(char16_t background, char16_t text);

// The colour of an argument's first two characters; an argument shorter than two
// characters reads as ending in NULs.
text_colour colour_of_argument(const char16_t* argument);

}  // namespace huecast
