// How lines are cut into pieces: the winner rule, the search range, and the places where a
// match remembered from an earlier position no longer holds.
#include "filter/paint/painter.h"

#include <gtest/gtest.h>

#include "reference_painter.h"

namespace huecast {
namespace {

using testing::filter_text;
using testing::colour_of;
using testing::make_painter;

constexpr auto plain = std::nullopt;

std::vector<segment> paint(const std::vector<filter_text>& filters, std::string_view line) {
    painter p = make_painter(filters);
    std::vector<segment> segments;
    p.paint(line, segments);
    EXPECT_TRUE(p.gave_up().empty());
    return segments;
}

TEST(Painter, EarliestStartWinsAndTheFrontFilterTakesTies) {
    EXPECT_EQ(paint({{0x0C, "error"}}, "An Error and an ERROR"),
              (std::vector<segment>{{0, 3, plain}, {3, 8, colour_of(0x0C)}, {8, 16, plain}, {16, 21, colour_of(0x0C)}}));
    EXPECT_EQ(paint({{0x0A, "ab"}, {0x0C, "abcd"}}, "abcd"),
              (std::vector<segment>{{0, 2, colour_of(0x0A)}, {2, 4, plain}}));
    EXPECT_EQ(paint({{0x0C, "abcd"}, {0x0A, "ab"}}, "abcd"), (std::vector<segment>{{0, 4, colour_of(0x0C)}}));
    EXPECT_EQ(paint({{0x0A, "bc"}, {0x0C, "ab"}}, "abc"),
              (std::vector<segment>{{0, 2, colour_of(0x0C)}, {2, 3, plain}}));
    // The first alternative that matches, not the longest.
    EXPECT_EQ(paint({{0x0A, "a|ab"}}, "ab"), (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, plain}}));
    // Adjacent matches stay separate pieces.
    EXPECT_EQ(paint({{0x0A, "a"}}, "aa"), (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, colour_of(0x0A)}}));
    // A word of one byte, which the prefilter is not given, beside one that it is.
    EXPECT_EQ(paint({{0x0A, "bb"}, {0x0C, "x"}}, "axbb"),
              (std::vector<segment>{{0, 1, plain}, {1, 2, colour_of(0x0C)}, {2, 4, colour_of(0x0A)}}));
}

TEST(Painter, EachRoundSeesTheRestOfTheLineAsATextOfItsOwn) {
    EXPECT_EQ(paint({{0x0A, "^a"}}, "aaa"), (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, colour_of(0x0A)}, {2, 3, colour_of(0x0A)}}));
    EXPECT_EQ(paint({{0x0A, "x"}, {0x0C, "\\bfoo"}}, "xfoo"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 4, colour_of(0x0C)}}));
    // Found from the line's start, then lost when the rest of the line starts there.
    EXPECT_EQ(paint({{0x0A, "x"}, {0x0C, "\\Bfoo"}}, "xfoo"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 4, plain}}));
    EXPECT_EQ(paint({{0x0A, "x"}, {0x0C, "(?<=x)foo"}}, "xfoo"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 4, plain}}));
    EXPECT_EQ(paint({{0x0A, "a"}, {0x0C, "(?<=ab)c"}}, "abc"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 3, plain}}));
    // Matching nothing from the line's start, then matching where the rest begins.
    EXPECT_EQ(paint({{0x0A, "a"}, {0x0C, "^b"}}, "abb"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, colour_of(0x0C)}, {2, 3, colour_of(0x0C)}}));
    EXPECT_EQ(paint({{0x0A, "a"}, {0x0C, "\\bb"}}, "ab ab"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, colour_of(0x0C)}, {2, 3, plain}, {3, 4, colour_of(0x0A)}, {4, 5, colour_of(0x0C)}}));
    // A lookahead sees no further than the line's end.
    EXPECT_EQ(paint({{0x0A, "a(?=b$)"}}, "aab"), (std::vector<segment>{{0, 1, plain}, {1, 2, colour_of(0x0A)}, {2, 3, plain}}));
}

TEST(Painter, AMatchOverlappingTheWinnerIsDropped) {
    // "bcd" of the second filter overlaps "ab"; from "c" on it no longer matches.
    EXPECT_EQ(paint({{0x0A, "ab"}, {0x0C, "bcd"}}, "abcd bcd"),
              (std::vector<segment>{{0, 2, colour_of(0x0A)}, {2, 5, plain}, {5, 8, colour_of(0x0C)}}));
    // \K: the attempt starts before the reported match.
    EXPECT_EQ(paint({{0x0A, "a"}, {0x0C, "a\\Kb"}}, "ab ab"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 3, plain}, {3, 4, colour_of(0x0A)}, {4, 5, plain}}));
}

TEST(Painter, EmptyMatchesNeverWin) {
    EXPECT_TRUE(paint({{0x0A, "x"}}, "").empty());
    EXPECT_EQ(paint({{0x0A, "$"}}, "abc"), (std::vector<segment>{{0, 3, plain}}));
    EXPECT_EQ(paint({{0x0A, ""}, {0x0C, "x*"}, {0x0E, "^"}}, "abc"), (std::vector<segment>{{0, 3, plain}}));
    EXPECT_EQ(paint({{0x0A, "x*"}, {0x0C, "b"}}, "abxxb"),
              (std::vector<segment>{{0, 1, plain}, {1, 2, colour_of(0x0C)}, {2, 4, colour_of(0x0A)}, {4, 5, colour_of(0x0C)}}));
}

TEST(Painter, BytesThatAreNoCharacterInTheLine) {
    const std::string stray = "a\x80" "b";
    EXPECT_EQ(paint({{0x0A, "a.b"}}, stray), (std::vector<segment>{{0, 3, plain}}));
    EXPECT_EQ(paint({{0x0A, "a"}, {0x0C, "^b"}, {0x0E, "b"}}, stray),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, plain}, {2, 3, colour_of(0x0E)}}));
    const std::string escaped = "a\xED\xB2\x80" "b";
    EXPECT_EQ(paint({{0x0A, "a.b"}}, escaped), (std::vector<segment>{{0, 5, plain}}));
    EXPECT_EQ(paint({{0x0A, "a"}, {0x0C, "^b"}, {0x0E, "b"}}, escaped),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 4, plain}, {4, 5, colour_of(0x0E)}}));
}

TEST(Painter, AFilterThatGivesUpColoursNothingMoreOnThatLine) {
    match_limits tight;
    tight.line_steps = 2000;
    tight.steps_per_byte = 0;
    painter p = make_painter({{0x0A, "b"}, {0x0C, "(a+)+$"}, {0x0E, "c"}}, tight);
    const std::string line = "b" + std::string(30, 'a') + "bc";
    std::vector<segment> segments;
    p.paint(line, segments);
    EXPECT_EQ(p.gave_up(), std::vector<std::size_t>{1});
    EXPECT_EQ(segments, (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 31, plain}, {31, 32, colour_of(0x0A)}, {32, 33, colour_of(0x0E)}}));
    // The next line starts afresh.
    p.paint("aa", segments);
    EXPECT_TRUE(p.gave_up().empty());
    EXPECT_EQ(segments, (std::vector<segment>{{0, 2, colour_of(0x0C)}}));
}

// What the random comparison with the plain loop reaches seldom.
TEST(Painter, StyledGroupsColourTheirPartOfTheMatch) {
    const text_colour red = colour_of(0x0C), green{colour_value::basic(2), colour_value()};
    const text_colour bold{colour_value(), colour_value(), text_attribute::bold};
    const struct {
        std::vector<filter_text> filters;
        std::string line;
        std::vector<segment> expected;
    } cases[] = {
        // The inner group shows, over the match's style alone.
        {{{0x0C, "(a(b)c)d", {green, bold}}}, "abcd",
         {{0, 1, green.over(red)}, {1, 2, bold.over(red)}, {2, 3, green.over(red)}, {3, 4, red}}},
        // Inner by where the groups lie, also where \K leaves both the same part of the match.
        {{{0x0C, "(?=a(bc))(ab\\Kc)", {green, bold}}}, "abc", {{0, 2, plain}, {2, 3, green.over(red)}}},
        // An empty match style: its plain text and the plain text around it are one piece.
        {{{0x0C, "x(a)y", {green}, true}}, "zxayz", {{0, 2, plain}, {2, 3, green}, {3, 5, plain}}},
        {{{0x0C, "b", {}, true}, {0x0A, "c"}}, "bcb", {{0, 1, plain}, {1, 2, colour_of(0x0A)}, {2, 3, plain}}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(paint(cases[i].filters, cases[i].line), cases[i].expected) << "case " << i;
    }
}

TEST(Painter, LongLines) {
    std::string line;
    for (int i = 0; i < 200'000; ++i) line += "warn ok 10.0.0.1 ";
    painter p = make_painter({{0x0C, "error"}, {0x0E, "warn(ing)?"}, {0x0A, "\\bok\\b"},
                              {0x0B, "\\d+\\.\\d+\\.\\d+\\.\\d+"}});
    std::vector<segment> segments;
    p.paint(line, segments);
    ASSERT_EQ(segments.size(), 200'000u * 6);
    EXPECT_EQ(segments[0], (segment{0, 4, colour_of(0x0E)}));
    EXPECT_EQ(segments[4], (segment{8, 16, colour_of(0x0B)}));
    EXPECT_EQ(segments.back().end, line.size());
}

}  // namespace
}  // namespace huecast
