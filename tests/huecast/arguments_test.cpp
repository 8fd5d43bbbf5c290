#include <gtest/gtest.h>

#include <vector>

#include "entry.h"
#include "filter/filter_arguments.h"
#include "qel/compare.h"
#include "qel/strings.h"

namespace {

using huecast::text_colour;

bool help(std::initializer_list<const char16_t*> args) {
    return huecast::is_help_request(std::vector<const char16_t*>(args));
}

TEST(HelpRequest, OnlyTheFourSwitchesAloneOrNothing) {
    EXPECT_TRUE(help({}));
    for (const char16_t* s : {u"-?", u"/?", u"-h", u"-H", u"/h", u"/H"}) EXPECT_TRUE(help({s}));
    for (const char16_t* s : {u"-help", u"--h", u"-h ", u" -h", u"h", u"?", u"-", u""}) EXPECT_FALSE(help({s}));
    EXPECT_FALSE(help({u"-?", u"x"}));
    EXPECT_FALSE(help({u"-h", u"-h"}));
}

TEST(CompareNoCase, FoldsCaseAndOrdersByUnitThenLength) {
    EXPECT_EQ(qel::CompareNoCase(u"ab", u"AB").Value(), 0);
    EXPECT_EQ(qel::CompareNoCase(u"a", u"ab").Value(), -1);
    EXPECT_EQ(qel::CompareNoCase(u"b", u"A").Value(), 1);
    EXPECT_EQ(qel::CompareNoCase(u"", u"").Value(), 0);
    // Units compare unsigned: a character above U+7FFF orders after ASCII.
    EXPECT_EQ(qel::CompareNoCase(u"\xE000", u"z").Value(), 1);
    EXPECT_EQ(qel::TCmpRes(-7).Value(), -1);
    EXPECT_EQ(qel::TCmpRes(12).Value(), 1);
    EXPECT_EQ(qel::TCmpRes(0).Value(), 0);
}

TEST(StripPairs, RemovesEnclosingPairsOncePerLevel) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"\"abc\"", u"abc"},  {u"\"\"abc\"\"", u"abc"}, {u"\"abc", u"\"abc"},   {u"abc\"", u"abc\""},
        {u"a\"b\"c", u"a\"b\"c"}, {u"\"\"", u""},          {u"\" a b \"", u" a b "}, {u"", u""},
        // A lone quote, or an odd run of them, has no partner: nothing is left.
        {u"\"", u""},          {u"\"\"\"", u""},
    };
    for (auto [text, expected] : cases) {
        EXPECT_EQ(qel::strip_pairs(text, u'"', 0), 0);
        EXPECT_EQ(text, expected);
    }
    std::u16string bracketed = u"[[x]]";
    qel::strip_pairs(bracketed, u'[', u']');
    EXPECT_EQ(bracketed, u"x");
}

TEST(ParseFilters, DecodesEveryFilterInOrder) {
    const std::vector<const char16_t*> arguments{u"0a,error", u"1F,warn", u"1f,warn", u"Ab,x",
                                                 u"00,x",     u"0a,",     u"0a,x,y",  u"0c,\"abc\""};
    const auto parsed = huecast::parse_filters(arguments);
    ASSERT_TRUE(parsed);
    const std::vector<std::pair<int, std::u16string>> expected{
        {0x0A, u"error"}, {0x1F, u"warn"}, {0x1F, u"warn"}, {0xAB, u"x"}, {0x00, u"x"}, {0x0A, u""}, {0x0A, u"x,y"}, {0x0C, u"abc"}};
    ASSERT_EQ(parsed->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const huecast::labelled_filter& f = (*parsed)[i];
        EXPECT_EQ(f.filter.colour, text_colour::from_attribute(static_cast<std::uint16_t>(expected[i].first)));
        EXPECT_EQ(f.filter.text, expected[i].second);
        EXPECT_EQ(f.label, u"filter " + huecast::decimal(i + 1) + u" \"" + arguments[i] + u"\"");
    }
}

TEST(ParseFilters, AnyArgumentNotOfTheFilterFormEndsTheParse) {
    for (const char16_t* bad : {u"0a", u"0a x", u" 0a,x", u"0g,x", u"a,x", u"0a;x", u"0a,x\ny", u"0a,x\r", u"\xFF10" u"a,x"}) {
        EXPECT_FALSE(huecast::parse_filter(bad)) << std::string(bad, bad + 3);
    }
    const std::vector<const char16_t*> arguments{u"0a,x", u"hello", u"0c,y"};
    const auto parsed = huecast::parse_filters(arguments);
    ASSERT_FALSE(parsed);
    EXPECT_EQ(parsed.error().index, 1u);
    EXPECT_TRUE(huecast::parse_filters({})) << "no arguments: no filters, and no argument that is not one";
}

}  // namespace
