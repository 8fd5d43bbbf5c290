// User text echoed in a message: what a terminal would act on is escaped, and a long piece
// is cut without splitting a character.
#include "printable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using huecast::printable;

std::u16string units(std::initializer_list<char16_t> list) { return std::u16string(list); }
std::u16string as(const char* ascii) { return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii)); }

TEST(Printable, EscapesWhatATerminalActsOnAndCutsLongText) {
    const std::u16string pair = u"\U0001F600";
    const std::u16string a99(99, u'a'), a100(100, u'a');
    const struct {
        std::u16string text;
        std::u16string shown;
    } cases[] = {
        {u"0c,\\d+\\.\\w \"x\" \u00e9\u00a0\u0416", u"0c,\\d+\\.\\w \"x\" \u00e9\u00a0\u0416"},
        {u"(\x1b]0;pwned\x07", u"(\\e]0;pwned\\x07"},
        {u"a\rb\nc\td", u"a\\rb\\nc\\td"},
        {units({0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0x85, 0x9B, 0x9F, 0xA0}), as("\\x00\\x1f ~\\x7f\\x80\\x85\\x9b\\x9f") + u"\u00a0"},
        // Bytes that did not decode, and halves of pairs standing alone.
        {units({u'x', 0xDC80, 0xDCFF, 0xDC7F, 0xD83D, u'y', 0xDE00}), as("x\\x80\\xff\\udc7f\\ud83dy\\ude00")},
        {u"a" + pair + u"b", u"a" + pair + u"b"},
        {units({0x2027, 0x2028, 0x2029, 0x202A, 0x202E, 0x202F, 0x2065, 0x2066, 0x2069, 0x206A}),
         std::u16string(u"\u2027") + as("\\u2028\\u2029\\u202a\\u202e") + u"\u202f\u2065" + as("\\u2066\\u2069") + u"\u206a"},
        {a100, a100},
        {a100 + u"b", a100 + u"..."},
        {a99 + pair, a99 + pair},
        {a99 + pair + u"b", a99 + pair + u"..."},
        {u"a" + a99 + pair, a100 + u"..."},
        // The cut counts the text, not its escapes.
        {std::u16string(150, u'\x1b'), [] { std::u16string s; for (int i = 0; i < 100; ++i) s += u"\\e"; return s + u"..."; }()},
    };
    for (const auto& c : cases) EXPECT_EQ(printable(c.text), c.shown) << std::string(c.shown.begin(), c.shown.end());
}

}  // namespace
