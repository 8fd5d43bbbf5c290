#include "colour/colour_code.h"

namespace huecast {

colour_code read_colour_code(std::u16string_view text) {
    const std::uint8_t background = qel::HexDigitValue(text.size() > 0 ? text[0] : u'\0');
    const std::uint8_t foreground = qel::HexDigitValue(text.size() > 1 ? text[1] : u'\0');
    const auto word = static_cast<qel::ColourAttribute>(background << 4 | foreground);
    return {text_colour::from_attribute(word), background <= 0x0F && foreground <= 0x0F};
}

}  // namespace huecast
