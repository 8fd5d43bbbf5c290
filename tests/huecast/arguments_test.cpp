#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry.h"
#include "filter/sources/filter_arguments.h"
#include "qel/compare.h"
#include "qel/strings.h"

namespace {

using huecast::text_colour;

bool help(std::initializer_list<const char*> args) {
    return huecast::is_help_request(std::vector<const char*>(args));
}

TEST(HelpRequest, OnlyTheFourSwitchesAloneOrNothing) {
    EXPECT_TRUE(help({}));
    for (const char* s : {"-?", "/?", "-h", "-H", "/h", "/H"}) EXPECT_TRUE(help({s}));
    for (const char* s : {"-help", "--h", "-h ", " -h", "h", "?", "-", ""}) EXPECT_FALSE(help({s}));
    EXPECT_FALSE(help({"-?", "x"}));
    EXPECT_FALSE(help({"-h", "-h"}));
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
    const std::vector<const char*> arguments{"0a,error", "1F,warn", "1f,warn", "Ab,x",   "00,x",   "0a,",
                                             "0a,x,y",   "0c,\"abc\"", "0c,\"",   "0c,\"\"", "0c,\"\"\""};
    const auto parsed = huecast::parse_filters(arguments);
    ASSERT_TRUE(parsed);
    const std::vector<std::pair<int, std::string>> expected{
        {0x0A, "error"}, {0x1F, "warn"}, {0x1F, "warn"}, {0xAB, "x"},  {0x00, "x"},
        {0x0A, ""},      {0x0A, "x,y"},  {0x0C, "abc"},  {0x0C, "\""}, {0x0C, ""}, {0x0C, "\""}};
    ASSERT_EQ(parsed->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const huecast::Filter& f = (*parsed)[i];
        EXPECT_EQ(f.colour, text_colour::from_attribute(static_cast<std::uint16_t>(expected[i].first)));
        EXPECT_EQ(f.text, expected[i].second);
        EXPECT_EQ(f.label, "filter " + std::to_string(i + 1) + " \"" + arguments[i] + "\"");
    }
}

TEST(ParseFilters, AnyArgumentNotOfTheFilterFormEndsTheParse) {
    for (const char* bad : {"0a", "0a x", " 0a,x", "0g,x", "a,x", "0a;x", "0a,x\ny", "0a,x\r", "\xEF\xBC\x90" "a,x"}) {
        EXPECT_FALSE(huecast::parse_filter(bad)) << std::string(bad, bad + 3);
    }
    const std::vector<const char*> arguments{"0a,x", "hello", "0c,y"};
    const auto parsed = huecast::parse_filters(arguments);
    ASSERT_FALSE(parsed);
    EXPECT_EQ(parsed.error().index, 1u);
    EXPECT_TRUE(huecast::parse_filters({})) << "no arguments: no filters, and no argument that is not one";
}

// Each row: a text, and either the shape of its styles (the match's, then each group's: "s" a
// style, "_" an empty one) with its expression, or the fault, the part and the word refused.
TEST(ParseStyledFilter, TheClassicFormOrStylesToTheFirstComma) {
    using fault = huecast::filter_form_error::fault;
    const struct {
        const char* text;
        std::string shape, expression;
        fault what = fault::no_comma;
        std::size_t part = 0;
        std::string word = {};
    } cases[] = {
        {"0c,a;b", "s", "a;b"},
        {"0c,bold,x", "s", "bold,x"},
        {"bold red;cyan,error: (\\w+)", "ss", "error: (\\w+)"},
        {"red;;bold,(a)(b)", "s_s", "(a)(b)"},
        {";green,x(y)", "_s", "x(y)"},
        {",abc", "_", "abc"},
        {"red,a,b;c", "s", "a,b;c"},
        {"bold red", "", "", fault::no_comma},
        {"red,a\nb", "", "", fault::line_end},
        {"purpel,x", "", "", fault::bad_style, 0, "purpel"},
        {"red;bold;300,x", "", "", fault::bad_style, 2, "300"},
        // Only the very front is the classic form.
        {" 0c,x", "", "", fault::bad_style, 0, "0c"},
    };
    for (const auto& c : cases) {
        const auto parsed = huecast::parse_styled_filter(c.text);
        ASSERT_EQ(parsed.has_value(), !c.shape.empty()) << c.text;
        if (!parsed) {
            EXPECT_EQ(parsed.error().what, c.what) << c.text;
            EXPECT_EQ(parsed.error().part, c.part) << c.text;
            EXPECT_EQ(parsed.error().style.word, c.word) << c.text;
            continue;
        }
        std::string shape(1, parsed->colour ? 's' : '_');
        for (const huecast::group_style& g : parsed->group_styles) shape += g.style ? 's' : '_';
        EXPECT_EQ(shape, c.shape) << c.text;
        EXPECT_EQ(parsed->text, c.expression) << c.text;
    }
}

}  // namespace
