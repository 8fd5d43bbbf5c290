// Conversion between the bytes of the process code page and 16-bit text.
// Decoding never fails: a byte that the code page does not define becomes the lone
// surrogate U+DC80-U+DCFF and is written back as the same byte. Encoding never stops:
// a character that the code page cannot represent is written as "?".
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
    // True when encode(decode(b)) == b for every byte string b, so that text that is only
    // copied need never be decoded.
    virtual bool lossless() const = 0;
};

// UTF-8 with surrogate pairs above U+FFFF; malformed bytes pass through as lone surrogates.
std::unique_ptr<codec> make_utf8_codec();
// Byte n is the character U+00nn: the C locale, and the fallback when no locale is set.
std::unique_ptr<codec> make_byte_codec();
// Any other character set, through the C library's multibyte conversion in the current
// C locale.
std::unique_ptr<codec> make_multibyte_codec();

constexpr char16_t escaped_byte_base = 0xDC00;
constexpr char substitute_byte = '?';

}  // namespace io
