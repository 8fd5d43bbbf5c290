// The console text attribute word: bits 0-3 the text colour (blue, green, red,
// intensity), bits 4-7 the background in the same order, handed on unchanged.
#pragma once

#include <cstdint>

namespace qel {

using ColourAttribute = std::uint16_t;

// The value of one hexadecimal-digit character: 0-15, or 0xFF for anything else.
// Letters are lower-cased with the C library's `tolower` under the current C locale;
// no character above U+00FF reads as a digit.
std::uint8_t HexDigitValue(char16_t c);

}  // namespace qel
