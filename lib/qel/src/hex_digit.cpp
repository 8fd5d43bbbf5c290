#include <cctype>

#include "qel/colour_attribute.h"

namespace qel {

std::uint8_t HexDigitValue(char16_t c) {
    // The narrow tolower is defined only up to 0xFF; nothing above reads as a digit.
    if (c > 0xFF) return 0xFF;
    const auto d = static_cast<std::uint16_t>(std::tolower(c));
    if (static_cast<std::uint16_t>(d - u'0') <= 9) return static_cast<std::uint8_t>(d - u'0');
    if (static_cast<std::uint16_t>(d - u'a') <= 5) return static_cast<std::uint8_t>(d - 0x57);
    return 0xFF;
}

}  // namespace qel
