// Text the user gave (a filter, a file name, a line of a filter file, an option) made safe
// to echo in a message: nothing in it can move the cursor, retitle or reorder the terminal,
// and a long piece is cut so that the reason after it still shows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace huecast {

// How many characters of an echoed piece are kept before "..."; a byte that is part of no
// character counts as one.
constexpr std::size_t printable_length = 100;

// `text` (UTF-8) with control characters escaped (`\e`, `\r`, `\n`, `\t`, `\xHH` for the
// other C0 controls, DEL and C1 controls; a byte that is part of no character, or an escaped
// byte of another code page, as `\xHH` of that byte), bidi and line-separator format
// characters and the UTF-8 forms of other surrogates as `\uHHHH`, and cut after
// `longest` characters, with "..." in place of the rest. Backslashes stay as they are.
std::string printable(std::string_view text, std::size_t longest = printable_length);

}  // namespace huecast
