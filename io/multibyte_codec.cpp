#include <climits>
#include <cwchar>

#include "io/codec.h"
#include "io/utf16.h"

namespace io {
namespace {

void append_code_point(std::u16string& text, std::uint32_t cp) {
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
        text.push_back(utf16::high_surrogate_of(cp));
        text.push_back(utf16::low_surrogate_of(cp));
    } else {
        text.push_back(static_cast<char16_t>(cp));
    }
}

// A byte below 0x80 that starts a character stands for the ASCII character of that value,
// whatever the character set's table says: SHIFT_JIS tables read 0x5C as the yen sign and
// 0x7E as an overline, which would leave a filter no backslash to escape with, and text
// typed and shown as "\" and "~" would match neither. Windows reads these two bytes as
// ASCII in its Japanese code page too.
class multibyte_codec final : public codec {
public:
    void decode(std::string_view bytes, std::u16string& text) const override {
        std::mbstate_t state{};
        std::size_t i = 0;
        while (i < bytes.size()) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (byte < 0x80) {
                text.push_back(byte);
                ++i;
                continue;
            }
            wchar_t wc = 0;
            const std::size_t n = std::mbrtowc(&wc, bytes.data() + i, bytes.size() - i, &state);
            if (n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2) ||
                !utf16::is_scalar_value(static_cast<std::uint32_t>(wc))) {
                text.push_back(static_cast<char16_t>(escaped_byte_base + static_cast<unsigned char>(bytes[i])));
                state = std::mbstate_t{};
                ++i;
            } else {
                append_code_point(text, static_cast<std::uint32_t>(wc));
                i += n == 0 ? 1 : n;
            }
        }
    }

    void encode(std::u16string_view text, std::string& bytes) const override {
        std::mbstate_t state{};
        char buffer[MB_LEN_MAX];
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c < 0x80) {
                bytes.push_back(static_cast<char>(c));
                continue;
            }
            std::uint32_t cp = c;
            if (utf16::is_high_surrogate(c) && i + 1 < text.size() && utf16::is_low_surrogate(text[i + 1])) {
                cp = utf16::code_point_of(c, text[i + 1]);
                ++i;
            } else if (c >= escaped_byte_base + 0x80 && c <= escaped_byte_base + 0xFF) {
                bytes.push_back(static_cast<char>(c - escaped_byte_base));
                continue;
            } else if (utf16::is_surrogate(c)) {
                bytes.push_back(substitute_byte);
                continue;
            }
            const std::size_t n = std::wcrtomb(buffer, static_cast<wchar_t>(cp), &state);
            if (n == static_cast<std::size_t>(-1)) {
                state = std::mbstate_t{};
                bytes.push_back(substitute_byte);
            } else {
                bytes.append(buffer, n);
            }
        }
    }

    bool lossless() const override { return false; }
};

}  // namespace

std::unique_ptr<codec> make_multibyte_codec() { return std::make_unique<multibyte_codec>(); }

}  // namespace io
