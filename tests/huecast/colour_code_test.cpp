#include <gtest/gtest.h>

#include "colour/colour_code.h"
#include "print/console_writer.h"
#include "qel/colour_attribute.h"

namespace {

using qel::HexDigitValue;

TEST(HexDigitValue, DigitsInEitherCaseAndNothingElse) {
    const std::pair<char16_t, int> cases[] = {{u'0', 0},    {u'9', 9},    {u'a', 10},   {u'f', 15},  {u'A', 10},
                                              {u'F', 15},   {u'g', 0xFF}, {u'G', 0xFF}, {u'/', 0xFF}, {u':', 0xFF},
                                              {u'\0', 0xFF}, {u'`', 0xFF}, {u'@', 0xFF},
                                              // Fullwidth digits and letters are not digits here.
                                              {u'\xFF10', 0xFF}, {u'\xFF41', 0xFF}, {u'\x0130', 0xFF}};
    for (const auto& [c, value] : cases) EXPECT_EQ(HexDigitValue(c), value) << static_cast<int>(c);
}

// What the console is given for a code: the word the digits make, the rest spread unmasked.
TEST(ColourCode, TwoDigitsMakeTheAttributeAndTheRestSpreadsUnmasked) {
    const struct {
        std::string_view code;
        int attribute;
        bool two_digits;
    } cases[] = {
        {"1f", 0x1F, true},     {"1F", 0x1F, true},      {"F0", 0xF0, true},   {"07", 0x07, true},
        {"7", 0xFF, false},     {"x7", 0x0FF7, false},   {"7x", 0xFF, false},  {"xx", 0x0FFF, false},
        {"1fz", 0x1F, true},    {"1f,abc", 0x1F, true},  {"", 0x0FFF, false}, {"-help", 0x0FFF, false},
        // The rule reads 16-bit units: a character outside ASCII is one, or two above U+FFFF,
        // and so is a byte that is no character, escaped or not.
        {"\xC3\xA9" "1", 0x0FF1, false}, {"\xF0\x9F\x98\x80" "1", 0x0FFF, false}, {"\xFF" "1", 0x0FF1, false},
        {"\xED\xB2\x81" "1", 0x0FF1, false},
    };
    for (const auto& c : cases) {
        const huecast::colour_code read = huecast::read_colour_code(c.code);
        EXPECT_EQ(huecast::console_attribute(read.colour), c.attribute) << std::string(c.code.begin(), c.code.end());
        EXPECT_EQ(read.two_digits, c.two_digits) << std::string(c.code.begin(), c.code.end());
    }
}

}  // namespace
