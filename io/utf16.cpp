#include "io/utf16.h"

#include "io/utf8.h"

namespace io::utf16 {

void append_utf8(std::u16string_view text, std::string& out) {
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            utf8::append_code_point(out, code_point_of(c, text[++i]));
        } else {
            utf8::append_code_point(out, c);
        }
    }
}

std::string to_utf8(std::u16string_view text) {
    std::string out;
    append_utf8(text, out);
    return out;
}

void append_utf16(std::string_view text, std::u16string& out) {
    out.reserve(out.size() + text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        unsigned char byte = 0;
        if (utf8::escaped_byte_at(text, i, byte)) {
            out.push_back(static_cast<char16_t>(first_low_surrogate + byte));
            i += utf8::escaped_byte_length;
            continue;
        }
        const std::size_t n = utf8::sequence_length(p + i, text.size() - i);
        if (n == 0) {
            out.push_back(static_cast<char16_t>(first_low_surrogate + p[i++]));
            continue;
        }
        const std::uint32_t cp = utf8::code_point(p + i, n);
        if (cp >= 0x10000) {
            out.push_back(high_surrogate_of(cp));
            out.push_back(low_surrogate_of(cp));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += n;
    }
}

std::u16string to_utf16(std::string_view text) {
    std::u16string out;
    append_utf16(text, out);
    return out;
}

}  // namespace io::utf16
