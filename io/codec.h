// Conversion between the bytes of the process code page and UTF-8, the program's text.
// Every codec round-trips: encode(decode(b)) == b for every byte string b, so text that is
// only copied need never be decoded. In a UTF-8 code page nothing is converted at all: the
// text is the bytes, and bytes that are not UTF-8 stay in it as they are (the engine never
// matches them). In any other code page a run of bytes counts as a character only when
// encoding that character gives back exactly those bytes; any other byte becomes an escaped
// byte (io/utf8.h) and is written back as itself. Encoding never stops: a character that
// the code page cannot represent is written as "?".
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace io {

class codec {
public:
    virtual ~codec() = default;
    // True when the code page is UTF-8: decode and encode copy, and callers may skip them.
    virtual bool is_utf8() const { return false; }
    // Appends the text of `bytes` to `text`.
    virtual void decode(std::string_view bytes, std::string& text) const = 0;
    // Appends the bytes of `text` to `bytes`.
    virtual void encode(std::string_view text, std::string& bytes) const = 0;
    // How much of `bytes`, which begin at a character's start, ends on a character's end:
    // all but the bytes of a last character that more bytes would still complete.
    virtual std::size_t complete_prefix(std::string_view bytes) const { return bytes.size(); }
};

// UTF-8, also the C and POSIX locale's code page: text is the bytes.
std::unique_ptr<codec> make_utf8_codec();
// Byte n is the character U+00nn: the fallback where a system names no code page.
std::unique_ptr<codec> make_byte_codec();

// Appends to `bytes` what encoding `text` in a legacy code page gives where the code page
// has no say: ASCII as it is, an escaped byte as its byte, and any other byte that is not
// UTF-8 as itself; each character above U+007F goes to `encode_character(code point)`,
// which appends its bytes or the substitute.
template <class EncodeCharacter>
void encode_with(std::string_view text, std::string& bytes, EncodeCharacter encode_character);

constexpr char substitute_byte = '?';

}  // namespace io

#include "io/utf8.h"

namespace io {

template <class EncodeCharacter>
void encode_with(std::string_view text, std::string& bytes, EncodeCharacter encode_character) {
    const auto* const p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t ascii = utf8::ascii_end(text, i);
        bytes.append(text.data() + i, ascii - i);
        i = ascii;
        if (i == text.size()) break;
        unsigned char byte = 0;
        if (utf8::escaped_byte_at(text, i, byte)) {
            bytes.push_back(static_cast<char>(byte));
            i += utf8::escaped_byte_length;
            continue;
        }
        const std::size_t n = utf8::sequence_length(p + i, text.size() - i);
        if (n == 0) {
            bytes.push_back(text[i++]);
            continue;
        }
        encode_character(utf8::code_point(p + i, n));
        i += n;
    }
}

}  // namespace io
