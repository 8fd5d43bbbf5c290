// User text echoed in a message: what a terminal would act on is escaped, and a long piece
// is cut without splitting a character.
#include "printable.h"

#include <gtest/gtest.h>

namespace {

TEST(Printable, EscapesWhatATerminalActsOnAndCutsLongText) {
    const std::string pair = "\U0001F600", a99(99, 'a'), a100(100, 'a');
    std::string escapes;
    for (int i = 0; i < 100; ++i) escapes += "\\e";
    const std::pair<std::string, std::string> cases[] = {
        {"0c,\\d+\\.\\w \"x\" \u00e9\u00a0", "0c,\\d+\\.\\w \"x\" \u00e9\u00a0"},
        {"(\x1b]0;pwned\x07|\r\n\t", "(\\e]0;pwned\\x07|\\r\\n\\t"},
        {std::string("\0\x1f ~\x7f\u0080\u009b\u009f\u00a0", 13), "\\x00\\x1f ~\\x7f\\x80\\x9b\\x9f\u00a0"},
        // Bytes that are no character, escaped bytes of another code page, and the UTF-8
        // forms of surrogates.
        {"x\x80\xFF\xC3(\xED\xB2\x80\xED\xB3\xBF\xED\xA0\xBDy\xED\xB8\x80", "x\\x80\\xff\\xc3(\\x80\\xff\\ud83dy\\ude00"},
        {"\u061b\u061c\u200d\u200e\u200f\u2027\u2028\u2029\u202a\u202e\u202f\u2065\u2066\u2069\u206a",
         "\u061b\\u061c\u200d\\u200e\\u200f\u2027\\u2028\\u2029\\u202a\\u202e\u202f\u2065\\u2066\\u2069\u206a"},
        {a100, a100},
        {a100 + "b", a100 + "..."},
        {a99 + pair + "b", a99 + pair + "..."},
        {"a" + a99 + pair, a100 + "..."},
        // The cut counts the text, not its escapes.
        {std::string(150, '\x1b'), escapes + "..."},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(huecast::printable(text), shown) << shown.size();
}

}  // namespace
