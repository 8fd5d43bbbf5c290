// How a filter folds case, as far as literals are concerned: which bytes of a line an ASCII
// character of a filter matches when case is ignored (PCRE2 with UTF, caseless, without
// UCP): the character in either case, and for two letters one character outside ASCII of
// several bytes. Every literal search and every prefilter table is built from these rules.
#pragma once

#include <cstddef>
#include <string_view>

namespace huecast {

// The characters outside ASCII that an ASCII character of a filter matches: all of them, as
// the library's own brute-force test confirms.
struct ascii_case_equivalent {
    std::string_view bytes;  // its UTF-8 form
    char letter;             // lower case
};
inline constexpr ascii_case_equivalent ascii_case_equivalents[] = {
    {"\xC5\xBF", 's'},      // U+017F LATIN SMALL LETTER LONG S
    {"\xE2\x84\xAA", 'k'},  // U+212A KELVIN SIGN
};
// The lead bytes of the equivalents, and the longest of them.
inline constexpr unsigned char equivalent_leads[] = {0xC5, 0xE2};
inline constexpr std::size_t longest_equivalent = 3;

// What every byte at or above 0x80 folds to; no literal holds it.
inline constexpr unsigned char folded_elsewhere = 0x80;

// A byte of a line as literals are compared with it: an ASCII letter in lower case, any
// other ASCII byte as it is, any other byte as folded_elsewhere.
constexpr unsigned char folded_byte(unsigned char b) {
    if (b >= 0x80) return folded_elsewhere;
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 0x20) : b;
}

// The letter an equivalent at `at` in `text` stands for, with its length; 0 when none is there.
constexpr std::size_t equivalent_at(std::string_view text, std::size_t at, char& letter) {
    for (const ascii_case_equivalent& e : ascii_case_equivalents) {
        if (text.substr(at, e.bytes.size()) == e.bytes) {
            letter = e.letter;
            return e.bytes.size();
        }
    }
    return 0;
}

// True when the folded ASCII character `c` has an equivalent outside ASCII.
constexpr bool has_equivalent(char c) {
    for (const ascii_case_equivalent& e : ascii_case_equivalents) {
        if (e.letter == c) return true;
    }
    return false;
}

// How many bytes of `text` from `at` the folded `literal` matches, or 0 when it does not
// begin there. Equivalents are taken where they stand.
constexpr std::size_t folded_match_length(std::string_view text, std::size_t at, std::string_view literal) {
    std::size_t i = at;
    for (const char c : literal) {
        if (i < text.size() && folded_byte(static_cast<unsigned char>(text[i])) == static_cast<unsigned char>(c)) {
            ++i;
            continue;
        }
        char letter = 0;
        const std::size_t n = i < text.size() ? equivalent_at(text, i, letter) : 0;
        if (n == 0 || letter != c) return 0;
        i += n;
    }
    return i - at;
}

}  // namespace huecast
