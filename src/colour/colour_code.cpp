#include "colour/colour_code.h"

namespace huecast {

ColourAttribute colour_from_code(char16_t background, char16_t text) {
    return static_cast<ColourAttribute>((qel::HexDigitValue(background) << 4) | qel::HexDigitValue(text));
}

text_colour colour_of_argument(const char16_t* argument) {
    const char16_t first = argument[0];
    const char16_t second = first == 0 ? char16_t{0} : argument[1];
    return text_colour::from_attribute(colour_from_code(first, second));
}

}  // namespace huecast
