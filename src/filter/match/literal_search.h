// A plain word ("timeout", "GET /api") found in a text without the regular-expression engine:
// what PCRE2 would find for it, folded as it folds case (case_folding.h).
#pragma once

#include <cstddef>
#include <string_view>

namespace huecast {

// A place where a literal was found, and how many bytes it covers there: more than the
// literal's length where an equivalent outside ASCII stands for one of its letters.
struct literal_place {
    std::size_t at;
    std::size_t length;
};
inline constexpr literal_place no_place = {static_cast<std::size_t>(-1), 0};

// The first place at or after `from` where the folded `literal` begins in `text`, comparing
// as case_folding.h folds; no_place when there is none. `literal` is not empty. Where
// `may_hold_equivalents` is false, the text holds none of the equivalents (a faster search).
literal_place find_folded(std::string_view text, std::size_t from, std::string_view literal,
                          bool may_hold_equivalents);

}  // namespace huecast
