// Text the user gave (a filter, a file name, a line of a filter file, an option) made safe
// to echo in a message: nothing in it can move the cursor, retitle or reorder the terminal,
// and a long piece is cut so that the reason after it still shows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace huecast {

// How many characters of an echoed piece are kept before "..."; a surrogate pair is one.
constexpr std::size_t printable_length = 100;

// `text` with control characters escaped (`\e`, `\r`, `\n`, `\t`, `\xHH` for the other C0
// controls, DEL and C1 controls; a byte that did not decode, U+DC00-U+DCFF, as `\xHH` of
// that byte), bidi and line-separator format characters and unpaired surrogates as
// `\uHHHH`, and cut after printable_length characters, with "..." in place of the rest.
// Backslashes stay as they are.
std::u16string printable(std::u16string_view text);

}  // namespace huecast
