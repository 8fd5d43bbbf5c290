#include <gtest/gtest.h>

#include "colour/colour_code.h"
#include "print/console_writer.h"
#include "qel/colour_attribute.h"

namespace {

using huecast::colour_of_argument;
using qel::HexDigitValue;

TEST(HexDigitValue, DigitsInEitherCaseAndNothingElse) {
    const std::pair<char16_t, int> cases[] = {{u'0', 0},    {u'9', 9},    {u'a', 10},   {u'f', 15},  {u'A', 10},
                                              {u'F', 15},   {u'g', 0xFF}, {u'G', 0xFF}, {u'/', 0xFF}, {u':', 0xFF},
                                              {u'\0', 0xFF}, {u'`', 0xFF}, {u'@', 0xFF},
                                              // Fullwidth digits and letters are not digits here.
                                              {u'\xFF10', 0xFF}, {u'\xFF41', 0xFF}, {u'\x0130', 0xFF}};
    for (const auto& [c, value] : cases) EXPECT_EQ(HexDigitValue(c), value) << static_cast<int>(c);
}

TEST(ColourCode, TwoDigitsMakeTheAttributeAndTheRestSpreadsUnmasked) {
    const std::pair<const char16_t*, int> cases[] = {
        {u"1f", 0x1F},  {u"1F", 0x1F},  {u"F0", 0xF0},  {u"07", 0x07},    {u"7", 0xFF},   {u"x7", 0x0FF7},
        {u"7x", 0xFF},  {u"xx", 0x0FFF}, {u"1fz", 0x1F}, {u"1f,abc", 0x1F}, {u"", 0x0FFF}, {u"-help", 0x0FFF},
    };
    for (const auto& [code, attribute] : cases) {
        EXPECT_EQ(huecast::console_attribute(colour_of_argument(code)), attribute) << std::string(code, code + std::char_traits<char16_t>::length(code));
    }
}

}  // namespace
