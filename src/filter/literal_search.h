// A plain word ("timeout", "GET /api") found in a text without the regular-expression engine:
// what PCRE2 would find for it, folded as it folds case (case_folding.h).
#pragma once

#include <cstddef>
#include <string_view>

namespace huecast {

// The first place at or after `from` where the folded `literal` begins in `text`, comparing
// as the prefilter folds (folded_unit); npos when there is none. `literal` is not empty.
std::size_t find_folded(std::u16string_view text, std::size_t from, std::u16string_view literal);

// True when the folded `literal` begins exactly at `at`.
bool folded_at(std::u16string_view text, std::size_t at, std::u16string_view literal);

}  // namespace huecast
