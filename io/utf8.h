// What a run of bytes of the program's text is: UTF-8 exactly as the regular-expression
// engine reads it (RFC 3629: no overlong forms, no surrogates, nothing past U+10FFFF), or
// bytes that are not. Hard-wired, branch-light, and the one place these ranges are written.
// A byte of a legacy code page that does not decode is carried in the text as the UTF-8
// form of U+DC00 + the byte (an "escaped byte"), which is invalid UTF-8 too, so that it is
// never matched and is written back as itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace io::utf8 {

constexpr bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the valid sequence at the front of `left` bytes at `p` (left > 0), or 0 when
// the byte there begins none (a stray continuation, a bad lead, an overlong or surrogate
// form, a sequence cut short).
constexpr std::size_t sequence_length(const unsigned char* p, std::size_t left) {
    const unsigned char b = p[0];
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return left >= 2 && is_continuation(p[1]) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const unsigned char lo = b == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = b == 0xED ? 0x9F : 0xBF;
        return left >= 3 && p[1] >= lo && p[1] <= hi && is_continuation(p[2]) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const unsigned char lo = b == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = b == 0xF4 ? 0x8F : 0xBF;
        return left >= 4 && p[1] >= lo && p[1] <= hi && is_continuation(p[2]) && is_continuation(p[3]) ? 4 : 0;
    }
    return 0;
}

inline std::size_t sequence_length(std::string_view text, std::size_t at) {
    return sequence_length(reinterpret_cast<const unsigned char*>(text.data()) + at, text.size() - at);
}

// The code point of the valid sequence of `length` bytes at `p`.
constexpr std::uint32_t code_point(const unsigned char* p, std::size_t length) {
    switch (length) {
        case 1:
            return p[0];
        case 2:
            return (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
        case 3:
            return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        default:
            return (p[0] & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu);
    }
}

// Appends the UTF-8 form of `cp` (any value below U+110000, surrogates included: the
// escaped bytes are written so).
inline void append_code_point(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        const char s[2] = {static_cast<char>(0xC0 | cp >> 6), static_cast<char>(0x80 | (cp & 0x3F))};
        out.append(s, 2);
    } else if (cp < 0x10000) {
        const char s[3] = {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | (cp >> 6 & 0x3F)),
                           static_cast<char>(0x80 | (cp & 0x3F))};
        out.append(s, 3);
    } else {
        const char s[4] = {static_cast<char>(0xF0 | cp >> 18), static_cast<char>(0x80 | (cp >> 12 & 0x3F)),
                           static_cast<char>(0x80 | (cp >> 6 & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
        out.append(s, 4);
    }
}

// An escaped byte: ED B0-B3 80-BF.
constexpr std::size_t escaped_byte_length = 3;
inline void append_escaped_byte(std::string& out, unsigned char byte) { append_code_point(out, 0xDC00u + byte); }
// True when an escaped byte begins at `at`; `byte` is then the byte it stands for.
inline bool escaped_byte_at(std::string_view text, std::size_t at, unsigned char& byte) {
    if (text.size() - at < escaped_byte_length) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
    if (p[0] != 0xED || (p[1] & 0xFC) != 0xB0 || !is_continuation(p[2])) return false;
    byte = static_cast<unsigned char>((p[1] & 0x03) << 6 | (p[2] & 0x3F));
    return true;
}

// True when every byte is below 0x80.
bool is_ascii(std::string_view text) noexcept;

// The first byte at or after `from` that is not below 0x80, or text.size().
std::size_t ascii_end(std::string_view text, std::size_t from) noexcept;

// The first byte at or after `from` that is part of no valid sequence, or text.size().
std::size_t first_invalid(std::string_view text, std::size_t from = 0) noexcept;

// How many 16-bit units `text`, which is valid UTF-8, takes in UTF-16: the unit in which
// messages give a place in an expression.
std::size_t utf16_length(std::string_view text) noexcept;

}  // namespace io::utf8
