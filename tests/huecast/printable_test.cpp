// User text echoed in a message: what a terminal would act on is escaped, and a long piece
// is cut without splitting a character.
#include "printable.h"

#include <gtest/gtest.h>

namespace {

TEST(Printable, EscapesWhatATerminalActsOnAndCutsLongText) {
    const std::u16string pair = u"\U0001F600", a99(99, u'a'), a100(100, u'a');
    std::u16string escapes;
    for (int i = 0; i < 100; ++i) escapes += u"\\e";
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"0c,\\d+\\.\\w \"x\" \u00e9\u00a0", u"0c,\\d+\\.\\w \"x\" \u00e9\u00a0"},
        {u"(\x1b]0;pwned\x07|\r\n\t", u"(\\e]0;pwned\\x07|\\r\\n\\t"},
        {{0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0x9B, 0x9F, 0xA0}, u"\\x00\\x1f ~\\x7f\\x80\\x9b\\x9f\u00a0"},
        // Bytes that did not decode, and halves of pairs standing alone.
        {{u'x', 0xDC80, 0xDCFF, 0xDC7F, 0xD83D, u'y', 0xDE00}, u"x\\x80\\xff\\x7f\\ud83dy\\ude00"},
        {{0x061B, 0x061C, 0x200D, 0x200E, 0x200F, 0x2027, 0x2028, 0x2029, 0x202A, 0x202E, 0x202F, 0x2065, 0x2066,
          0x2069, 0x206A},
         u"\u061b\\u061c\u200d\\u200e\\u200f\u2027\\u2028\\u2029\\u202a\\u202e\u202f\u2065\\u2066\\u2069\u206a"},
        {a100, a100},
        {a100 + u"b", a100 + u"..."},
        {a99 + pair + u"b", a99 + pair + u"..."},
        {u"a" + a99 + pair, a100 + u"..."},
        // The cut counts the text, not its escapes.
        {std::u16string(150, u'\x1b'), escapes + u"..."},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(huecast::printable(text), shown) << shown.size();
}

}  // namespace
