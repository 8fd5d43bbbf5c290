#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/shown_colour.h"

namespace {

// Bytes that reach the terminal in several writes, cut anywhere, and what they leave showing.
TEST(ShownColour, FollowsTheLastSgrSequenceAcrossWrites) {
    const std::string red = "\x1b[0;91;49m";
    const std::string long_sgr = "\x1b[" + std::string(70, '1') + "m";
    // The longest that a style gives: every attribute, a 24-bit text colour and background.
    const std::string longest_style = "\x1b[0;1;2;3;4;5;7;9;38;2;255;255;255;48;2;255;255;255m";
    struct row {
        std::vector<std::string> writes;
        std::string sequence;
        std::string unfinished;
    };
    const std::vector<row> rows = {
        {{"text"}, "", ""},
        {{"an " + red + "error"}, red, ""},
        {{red + "x\x1b[0m\n"}, "", ""},
        {{red + "x\x1b[m"}, "", ""},
        {{red, "x\x1b[0;0m"}, "", ""},
        {{"\x1b[0;91;4", "9mx"}, red, ""},
        {{"\x1b", "[0;91;", "49m"}, red, ""},
        {{red + "x\x1b[0;9"}, red, "\x1b[0;9"},
        {{red + "x\x1b"}, red, "\x1b"},
        {{red + "x\x1b[0;9", "3;49m"}, "\x1b[0;93;49m", ""},
        // Sequences that set no colour leave it as it was.
        {{red + "ab\x1b[Kcd\x1b[2J"}, red, ""},
        {{red, "\x1b[>4;2m", "\x1b[?25h"}, red, ""},
        {{red + "\x1b]0;title\x07x"}, red, ""},
        // An ESC abandons the sequence before it.
        {{red + "x\x1b[0;9", "\x1b[0m"}, "", ""},
        {{red + "x\x1b[1\x1b[0m"}, "", ""},
        {{red + "x\x1b[1\x1b[Kx"}, red, ""},
        {{"\x1b[32mx" + red}, red, ""},
        {{red, longest_style.substr(0, 30), longest_style.substr(30)}, longest_style, ""},
        {{red + "x" + longest_style.substr(0, 51)}, red, longest_style.substr(0, 51)},
        // Too long to follow: neither taken nor kept.
        {{red, long_sgr}, red, ""},
        {{red, long_sgr.substr(0, 40), long_sgr.substr(40)}, red, ""},
    };
    for (const row& r : rows) {
        io::shown_colour shown;
        std::string all;
        for (const std::string& w : r.writes) {
            shown.passed(w.data(), w.size());
            all += w;
        }
        EXPECT_EQ(shown.sequence(), r.sequence) << testing::PrintToString(all);
        EXPECT_EQ(shown.unfinished(), r.unfinished) << testing::PrintToString(all);
    }
}

}  // namespace
