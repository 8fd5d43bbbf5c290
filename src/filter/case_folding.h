// How a filter folds case, as far as literals are concerned: which units of a line an ASCII
// character of a filter matches when case is ignored (PCRE2 with UTF, caseless, without UCP).
// Every literal search and every prefilter table is built from these rules alone.
#pragma once

#include <array>
#include <cstddef>

namespace huecast {

// The code units outside ASCII that an ASCII character of a filter matches: all of them, as
// the library's own brute-force test confirms; no character above U+FFFF matches one.
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

// The searches compare a unit with one equivalent at most, so no letter may have two.
constexpr bool one_equivalent_each() {
    for (const ascii_case_equivalent& a : ascii_case_equivalents) {
        for (const ascii_case_equivalent& b : ascii_case_equivalents) {
            if (&a != &b && a.letter == b.letter) return false;
        }
    }
    return true;
}
static_assert(one_equivalent_each());

// The unit outside ASCII that folds to the folded unit `c`, or `c` itself when none does.
constexpr char16_t equivalent_of(char16_t c) {
    for (const ascii_case_equivalent& e : ascii_case_equivalents) {
        if (e.letter == c) return e.unit;
    }
    return c;
}

// The units of a line that fold to the folded ASCII unit `c`: those in ASCII first (`c`, and
// its upper case for a letter), then its equivalent outside ASCII, if any.
struct units_folding_to {
    std::array<char16_t, 3> units{};
    std::size_t ascii = 0;  // how many of them are ASCII
    std::size_t count = 0;

    constexpr explicit units_folding_to(char16_t c) {
        units[count++] = c;
        if (c >= u'a' && c <= u'z') units[count++] = static_cast<char16_t>(c - 0x20);
        ascii = count;
        if (const char16_t e = equivalent_of(c); e != c) units[count++] = e;
    }
    constexpr const char16_t* begin() const { return units.data(); }
    constexpr const char16_t* end() const { return units.data() + count; }
};

}  // namespace huecast
