// How lines are cut into pieces: the winner rule, the search range, and the places where a
// match remembered from an earlier position no longer holds.
#include "filter/painter.h"

#include <gtest/gtest.h>

#include "reference_painter.h"

namespace huecast {
namespace {

using testing::filter_text;
using testing::colour_of;
using testing::make_painter;

constexpr auto plain = std::nullopt;

std::vector<segment> paint(const std::vector<filter_text>& filters, std::u16string_view line) {
    painter p = make_painter(filters);
    std::vector<segment> segments;
    p.paint(line, segments);
    EXPECT_TRUE(p.gave_up().empty());
    return segments;
}

TEST(Painter, EarliestStartWinsAndTheFrontFilterTakesTies) {
    EXPECT_EQ(paint({{0x0C, u"error"}}, u"An Error and an ERROR"),
              (std::vector<segment>{{0, 3, plain}, {3, 8, colour_of(0x0C)}, {8, 16, plain}, {16, 21, colour_of(0x0C)}}));
    EXPECT_EQ(paint({{0x0A, u"ab"}, {0x0C, u"abcd"}}, u"abcd"),
              (std::vector<segment>{{0, 2, colour_of(0x0A)}, {2, 4, plain}}));
    EXPECT_EQ(paint({{0x0C, u"abcd"}, {0x0A, u"ab"}}, u"abcd"), (std::vector<segment>{{0, 4, colour_of(0x0C)}}));
    EXPECT_EQ(paint({{0x0A, u"bc"}, {0x0C, u"ab"}}, u"abc"),
              (std::vector<segment>{{0, 2, colour_of(0x0C)}, {2, 3, plain}}));
    // The first alternative that matches, not the longest.
    EXPECT_EQ(paint({{0x0A, u"a|ab"}}, u"ab"), (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, plain}}));
    // Adjacent matches stay separate pieces.
    EXPECT_EQ(paint({{0x0A, u"a"}}, u"aa"), (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, colour_of(0x0A)}}));
}

TEST(Painter, EachRoundSeesTheRestOfTheLineAsATextOfItsOwn) {
    EXPECT_EQ(paint({{0x0A, u"^a"}}, u"aaa"), (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, colour_of(0x0A)}, {2, 3, colour_of(0x0A)}}));
    EXPECT_EQ(paint({{0x0A, u"x"}, {0x0C, u"\\bfoo"}}, u"xfoo"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 4, colour_of(0x0C)}}));
    // Found from the line's start, then lost when the rest of the line starts there.
    EXPECT_EQ(paint({{0x0A, u"x"}, {0x0C, u"\\Bfoo"}}, u"xfoo"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 4, plain}}));
    EXPECT_EQ(paint({{0x0A, u"x"}, {0x0C, u"(?<=x)foo"}}, u"xfoo"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 4, plain}}));
    EXPECT_EQ(paint({{0x0A, u"a"}, {0x0C, u"(?<=ab)c"}}, u"abc"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 3, plain}}));
    // Matching nothing from the line's start, then matching where the rest begins.
    EXPECT_EQ(paint({{0x0A, u"a"}, {0x0C, u"^b"}}, u"abb"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, colour_of(0x0C)}, {2, 3, colour_of(0x0C)}}));
    EXPECT_EQ(paint({{0x0A, u"a"}, {0x0C, u"\\bb"}}, u"ab ab"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, colour_of(0x0C)}, {2, 3, plain}, {3, 4, colour_of(0x0A)}, {4, 5, colour_of(0x0C)}}));
    // A lookahead sees no further than the line's end.
    EXPECT_EQ(paint({{0x0A, u"a(?=b$)"}}, u"aab"), (std::vector<segment>{{0, 1, plain}, {1, 2, colour_of(0x0A)}, {2, 3, plain}}));
}

TEST(Painter, AMatchOverlappingTheWinnerIsDropped) {
    // "bcd" of the second filter overlaps "ab"; from "c" on it no longer matches.
    EXPECT_EQ(paint({{0x0A, u"ab"}, {0x0C, u"bcd"}}, u"abcd bcd"),
              (std::vector<segment>{{0, 2, colour_of(0x0A)}, {2, 5, plain}, {5, 8, colour_of(0x0C)}}));
    // \K: the attempt starts before the reported match.
    EXPECT_EQ(paint({{0x0A, u"a"}, {0x0C, u"a\\Kb"}}, u"ab ab"),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 3, plain}, {3, 4, colour_of(0x0A)}, {4, 5, plain}}));
}

TEST(Painter, EmptyMatchesNeverWin) {
    EXPECT_TRUE(paint({{0x0A, u"x"}}, u"").empty());
    EXPECT_EQ(paint({{0x0A, u"$"}}, u"abc"), (std::vector<segment>{{0, 3, plain}}));
    EXPECT_EQ(paint({{0x0A, u""}, {0x0C, u"x*"}, {0x0E, u"^"}}, u"abc"), (std::vector<segment>{{0, 3, plain}}));
    EXPECT_EQ(paint({{0x0A, u"x*"}, {0x0C, u"b"}}, u"abxxb"),
              (std::vector<segment>{{0, 1, plain}, {1, 2, colour_of(0x0C)}, {2, 4, colour_of(0x0A)}, {4, 5, colour_of(0x0C)}}));
}

TEST(Painter, SurrogatesInTheLine) {
    const std::u16string lone = std::u16string(u"a") + char16_t(0xDC80) + u"b";
    EXPECT_EQ(paint({{0x0A, u"a.b"}}, lone), (std::vector<segment>{{0, 3, plain}}));
    EXPECT_EQ(paint({{0x0A, u"a"}, {0x0C, u"^b"}, {0x0E, u"b"}}, lone),
              (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 2, plain}, {2, 3, colour_of(0x0E)}}));
}

TEST(Painter, AFilterThatGivesUpColoursNothingMoreOnThatLine) {
    match_limits tight;
    tight.steps = 2000;
    painter p = make_painter({{0x0A, u"b"}, {0x0C, u"(a+)+$"}, {0x0E, u"c"}}, tight);
    const std::u16string line = u"b" + std::u16string(30, u'a') + u"bc";
    std::vector<segment> segments;
    p.paint(line, segments);
    EXPECT_EQ(p.gave_up(), std::vector<std::size_t>{1});
    EXPECT_EQ(segments, (std::vector<segment>{{0, 1, colour_of(0x0A)}, {1, 31, plain}, {31, 32, colour_of(0x0A)}, {32, 33, colour_of(0x0E)}}));
    // The next line starts afresh.
    p.paint(u"aa", segments);
    EXPECT_TRUE(p.gave_up().empty());
    EXPECT_EQ(segments, (std::vector<segment>{{0, 2, colour_of(0x0C)}}));
}

TEST(Painter, LongLines) {
    std::u16string line;
    for (int i = 0; i < 200'000; ++i) line += u"warn ok 10.0.0.1 ";
    painter p = make_painter({{0x0C, u"error"}, {0x0E, u"warn(ing)?"}, {0x0A, u"\\bok\\b"},
                              {0x0B, u"\\d+\\.\\d+\\.\\d+\\.\\d+"}});
    std::vector<segment> segments;
    p.paint(line, segments);
    ASSERT_EQ(segments.size(), 200'000u * 6);
    EXPECT_EQ(segments[0], (segment{0, 4, colour_of(0x0E)}));
    EXPECT_EQ(segments[4], (segment{8, 16, colour_of(0x0B)}));
    EXPECT_EQ(segments.back().end, line.size());
}

}  // namespace
}  // namespace huecast
