// A filter expression that is one plain word and nothing else ("timeout", "GET /api"), found
// without the regular-expression engine: what PCRE2 would find, folded as it folds case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace huecast {

// The expression's text, folded, when every character of it is an ASCII character that an
// expression reads as itself (letters, digits, blanks and punctuation that is no operator);
// otherwise empty.
std::u16string plain_literal_of(std::u16string_view expression);

// The first place at or after `from` where the folded `literal` begins in `text`, comparing
// as the prefilter folds (folded_unit); npos when there is none. `literal` is not empty.
std::size_t find_folded(std::u16string_view text, std::size_t from, std::u16string_view literal);

// True when the folded `literal` begins exactly at `at`.
bool folded_at(std::u16string_view text, std::size_t at, std::u16string_view literal);

}  // namespace huecast
