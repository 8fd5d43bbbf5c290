// What every match of a filter expression must contain, read from the expression's text,
// and how a line's characters are folded before those texts are looked for in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace huecast {

struct required_literals {
    // Every text in which the expression finds a non-empty match (from any start, in any
    // line) contains at least one of these, compared as folded_unit folds. Empty: nothing
    // is known, and the expression must always be searched.
    std::vector<std::u16string> any_of;  // folded (lower-case ASCII), each non-empty
};

// Never wrong, often empty: what the reader does not understand for certain gives nothing.
required_literals find_required_literals(std::u16string_view expression);

// The code units outside ASCII that an ASCII character of a filter matches when case is
// ignored (PCRE2 with UTF, caseless, without UCP): all of them, as the library's own
// brute-force test confirms; no character above U+FFFF matches one.
struct ascii_case_equivalent {
    char16_t unit;
    char16_t letter;  // lower case
};
inline constexpr ascii_case_equivalent ascii_case_equivalents[] = {
    {u'\u017F', u's'},  // LATIN SMALL LETTER LONG S
    {u'\u212A', u'k'},  // KELVIN SIGN
};

// What every unit outside ASCII folds to, except the equivalents above; no literal holds it.
inline constexpr char16_t folded_elsewhere = 0x80;

// A unit of a line as literals are compared with it: an ASCII letter in lower case, any other
// ASCII unit as it is, an equivalent as its letter, anything else as folded_elsewhere.
constexpr char16_t folded_unit(char16_t c) {
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
    for (const ascii_case_equivalent& e : ascii_case_equivalents) {
        if (c == e.unit) return e.letter;
    }
    return folded_elsewhere;
}

}  // namespace huecast
