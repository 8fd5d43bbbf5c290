// What a 16-bit code unit is: a character of the Basic Multilingual Plane, half of a
// surrogate pair, or (standing alone) a byte that did not decode. Hard-wired, branch-light,
// and the one place these ranges are written.
#pragma once

#include <cstdint>

namespace io::utf16 {

constexpr char16_t first_high_surrogate = 0xD800;
constexpr char16_t first_low_surrogate = 0xDC00;
constexpr char16_t last_low_surrogate = 0xDFFF;

constexpr bool is_surrogate(char16_t c) { return c >= first_high_surrogate && c <= last_low_surrogate; }
constexpr bool is_high_surrogate(char16_t c) { return c >= first_high_surrogate && c < first_low_surrogate; }
constexpr bool is_low_surrogate(char16_t c) { return c >= first_low_surrogate && c <= last_low_surrogate; }

// A code point that UTF-16 can carry: no surrogate, nothing past U+10FFFF.
constexpr bool is_scalar_value(std::uint32_t cp) {
    return cp <= 0x10FFFF && (cp < first_high_surrogate || cp > last_low_surrogate);
}

// The pair for a code point above U+FFFF.
constexpr char16_t high_surrogate_of(std::uint32_t cp) {
    return static_cast<char16_t>(first_high_surrogate + ((cp - 0x10000) >> 10));
}
constexpr char16_t low_surrogate_of(std::uint32_t cp) {
    return static_cast<char16_t>(first_low_surrogate + ((cp - 0x10000) & 0x3FF));
}
// The code point of a high and a low surrogate.
constexpr std::uint32_t code_point_of(char16_t high, char16_t low) {
    return 0x10000 + ((static_cast<std::uint32_t>(high) - first_high_surrogate) << 10) +
           (static_cast<std::uint32_t>(low) - first_low_surrogate);
}

}  // namespace io::utf16
