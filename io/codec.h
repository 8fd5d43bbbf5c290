// Conversion between the bytes of the process code page and 16-bit text. Every codec
// round-trips: encode(decode(b)) == b for every byte string b, so text that is only copied
// need never be decoded. A run of bytes counts as a character only when encoding that
// character gives back exactly those bytes; any other byte becomes a lone surrogate
// U+DC00-U+DCFF (escaped_byte) and is written back as itself. Encoding never stops: a
// character that the code page cannot represent is written as "?".
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace io {

class codec {
public:
    virtual ~codec() = default;
    // Appends the text of `bytes` to `text`.
    virtual void decode(std::string_view bytes, std::u16string& text) const = 0;
    // Appends the bytes of `text` to `bytes`.
    virtual void encode(std::u16string_view text, std::string& bytes) const = 0;
    // True when unit i of `text`, decoded from `bytes`, stands for byte i alone, so that any
    // piece of the text can be copied as the bytes at its offsets. False is never wrong: it
    // only costs encoding the piece.
    virtual bool units_are_bytes(std::string_view bytes, std::u16string_view text) const {
        return bytes.size() == text.size();
    }
    // How much of `bytes`, which begin at a character's start, ends on a character's end:
    // all but the bytes of a last character that more bytes would still complete.
    virtual std::size_t complete_prefix(std::string_view bytes) const { return bytes.size(); }
};

// UTF-8 with surrogate pairs above U+FFFF; malformed bytes pass through as lone surrogates.
// Also the C and POSIX locale's code page.
std::unique_ptr<codec> make_utf8_codec();
// Byte n is the character U+00nn: the fallback where a system names no code page.
std::unique_ptr<codec> make_byte_codec();

// A byte that is no character of the code page, as text, and back.
constexpr char16_t escaped_byte_base = 0xDC00;
constexpr char16_t escaped_byte(unsigned char byte) { return static_cast<char16_t>(escaped_byte_base + byte); }
constexpr bool is_escaped_byte(char16_t c) { return c >= escaped_byte_base && c <= escaped_byte_base + 0xFF; }
constexpr char byte_of_escape(char16_t c) { return static_cast<char>(c - escaped_byte_base); }

constexpr char substitute_byte = '?';

}  // namespace io
