#include "colour/colour_code.h"

#include "io/utf8.h"

namespace huecast {
namespace {

// The first two 16-bit units of `text` as the digit rule reads them: an ASCII character as
// itself, anything else (each half of a pair above U+FFFF, a byte that is no character) as
// no digit.
struct two_units {
    char16_t first = u'\0';
    char16_t second = u'\0';
};

two_units first_units(std::string_view text) {
    constexpr char16_t no_digit = 0xFFFF;
    two_units units;
    char16_t* const slots[2] = {&units.first, &units.second};
    std::size_t filled = 0;
    for (std::size_t i = 0; i < text.size() && filled < 2;) {
        unsigned char byte = 0;
        const std::size_t n = io::utf8::escaped_byte_at(text, i, byte) ? io::utf8::escaped_byte_length
                                                                       : io::utf8::sequence_length(text, i);
        if (n == 1) {
            *slots[filled++] = static_cast<char16_t>(text[i]);
        } else {
            *slots[filled++] = no_digit;
            if (n == 4 && filled < 2) *slots[filled++] = no_digit;
        }
        i += n == 0 ? 1 : n;
    }
    return units;
}

}  // namespace

colour_code read_colour_code(std::string_view text) {
    const two_units units = first_units(text);
    const std::uint8_t background = qel::HexDigitValue(units.first);
    const std::uint8_t foreground = qel::HexDigitValue(units.second);
    const auto word = static_cast<qel::ColourAttribute>(background << 4 | foreground);
    return {text_colour::from_attribute(word), background <= 0x0F && foreground <= 0x0F};
}

}  // namespace huecast
