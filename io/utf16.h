// What a 16-bit code unit is: a character of the Basic Multilingual Plane, half of a
// surrogate pair, or (standing alone) a byte that did not decode. Hard-wired, branch-light,
// and the one place these ranges are written; and the conversions between UTF-16 and the
// program's UTF-8, for the edges that speak 16-bit text (the Windows API, the support
// library).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// Appends the UTF-8 form of `text`. A lone surrogate keeps its value, so that U+DC00 + b,
// a byte that did not decode, becomes the escaped byte b (io/utf8.h).
void append_utf8(std::u16string_view text, std::string& out);
std::string to_utf8(std::u16string_view text);
// Appends the UTF-16 form of `text`; an escaped byte, and any byte that is part of no
// character, becomes U+DC00 + the byte.
void append_utf16(std::string_view text, std::u16string& out);
std::u16string to_utf16(std::string_view text);

}  // namespace io::utf16
