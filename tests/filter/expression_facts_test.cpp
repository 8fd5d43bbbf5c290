// What the reader takes from an expression's text: the literals every match needs, and the
// facts the matcher acts on, checked against what PCRE2's compiled code knows.
#include "filter/expression_facts.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <gtest/gtest.h>
#include <pcre2.h>

#include <algorithm>
#include <string>
#include <vector>

#include "random_filters.h"

namespace huecast {
namespace {

using testing::shown;

std::vector<std::string> shown_sorted(const std::vector<std::u16string>& literals) {
    std::vector<std::string> out;
    for (const std::u16string& l : literals) out.push_back(shown(l));
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::u16string> required_of(std::u16string_view expression) {
    return read_expression(expression).required.any_of;
}

struct literals_case {
    std::u16string expression;
    std::vector<std::string> any_of;  // sorted; empty: nothing known
};

TEST(RequiredLiterals, ReadFromTheExpression) {
    const std::vector<literals_case> cases = {
        // Sequences: the longest run of literal characters wins, folded.
        {u"error", {"error"}},
        {u"ERROR: disk", {"error: disk"}},
        {u"\\d+\\.\\d+\\.\\d+\\.\\d+", {"."}},
        {u"user=\\w+ id=\\d+", {"user="}},
        {u"\\dabc\\d", {"abc"}},
        {u"a\\.b\\-c\\/d\\\\e", {"a.b-c/d\\e"}},
        {u"\\bok\\b", {"ok"}},
        {u"^start|end$", {"end", "start"}},
        {u"foo\\Kbar", {"foobar"}},
        {u"a(?#note)b", {"ab"}},
        {std::u16string(u"a\0b", 3), {"a\\u0000b"}},
        // Quantifiers.
        {u"warn(ing)?", {"warn"}},
        {u"colou?r", {"colo"}},
        {u"ab+c", {"ab"}},
        {u"x+", {"x"}},
        {u"x*|y", {}},
        {u"(abc)*def", {"def"}},
        {u"(?:abc){2,}x", {"abcx"}},
        {u"(?:abc){0,3}x", {"x"}},
        {u"ab{2}c", {"ab"}},
        {u"a+?b*+c??d", {"a"}},
        // Alternations: the union, each branch giving its best; a branch with nothing spoils it.
        {u"ok|okay|rror", {"ok", "rror"}},
        {u"(error|warn)ing", {"error", "warn"}},
        {u"(?>abc|abd)", {"abc", "abd"}},
        {u"(?|(a)|(b))cd", {"cd"}},
        {u"abc|", {}},
        {u"abc|.*", {}},
        {u"ERROR|Warn", {"error", "warn"}},
        // Groups of every kind.
        {u"(?<name>user) logged", {"user logged"}},
        {u"(?P<n>sess)ion", {"session"}},
        {u"(?'n'sess)ion", {"session"}},
        {u"(?i)Kelvin", {"kelvin"}},
        {u"(?-i:Error)", {"error"}},
        {u"(?i-sm:abc)d", {"abcd"}},
        // Lookarounds: a positive one's text must be in the line too; a negative one's need not.
        {u"(?=.*error)", {"error"}},
        {u"(?<=user=)\\w+", {"user="}},
        {u"(?!error)warn", {"warn"}},
        {u"(?<!x)abc", {"abc"}},
        {u"(?=abc)?d", {"d"}},
        // Classes and other single characters are not literals; their extent is read exactly.
        {u"[abc]def", {"def"}},
        {u"[^]]xy", {"]xy"}},
        {u"[\\]]ok", {"ok"}},
        {u"[\\Q]\\E]ok", {"ok"}},
        {u"[[:alpha:]]+ok", {"ok"}},
        {u"[[:<:]]ok", {"ok"}},
        {u"\\x41bc", {"bc"}},
        {u"\\u0041bc", {"bc"}},
        {u"\\p{Lu}rror", {"rror"}},
        {u"\\pLrror", {"rror"}},
        {u"\\12345", {}},
        {u"(a)\\1bc", {"bc"}},
        {u"\\Qa.b\\E", {"a.b"}},
        {u"x\\Qa(b", {"xa(b"}},
        // Characters outside ASCII match in ways of their own, some as ASCII letters.
        {u"caf\u00e9", {"caf"}},
        {u"\u212Aey", {"ey"}},
        {u"\u017Fession", {"ession"}},
        {u"\U0001F600ok", {"ok"}},
        {u"ошибка", {}},
        // What the reader does not understand gives nothing.
        {u"a{,3}b", {}},
        {u"a{x}bc", {}},
        {u"a{2bc", {}},
        {u"{2}abc", {}},
        {u"abc{2}{3}", {}},
        {u"a(?#c)+bc", {}},
        {u"(?i)+abc", {}},
        {u"\\Qab\\E+cd", {}},
        {u"ab\\Ecd", {}},
        {u"(*ACCEPT)abc", {}},
        {u"abc(*ACCEPT)def", {}},
        {u"(*UTF)abc", {}},
        {u"a(*SKIP)(*F)|b", {}},
        {u"(*pla:abc)abc", {}},
        {u"(?(1)abc|abd)", {}},
        {u"(a)(?1)bc", {}},
        {u"(?R)?abc", {}},
        {u"(?&n)abc", {}},
        {u"(?P=n)abc", {}},
        {u"(?P>n)abc", {}},
        {u"(?C1)abc", {}},
        {u"(?x) a b c", {}},
        {u"\\g1abc", {}},
        {u"\\k<n>abc", {}},
        {u"\\cAabc", {}},
        {u"\\x{41}bc", {}},
        {u"\\xzbc", {}},
        {u"\\u{41}bc", {}},
        {u"\\N{U+41}bc", {}},
        {u"\\o{101}bc", {}},
        {u"\\Ubc", {}},
        {u"[[:alpha]]abc", {}},
        {u"[[.a.]]abc", {}},
        {u"[abc", {}},
        {u"abc)", {}},
        {u"(abc", {}},
        {u"abc\\", {}},
        {u"\\éabc", {}},
    };
    for (const literals_case& c : cases) {
        EXPECT_EQ(shown_sorted(required_of(c.expression)), c.any_of) << shown(c.expression);
    }
}

TEST(RequiredLiterals, TooManyOrTooDeepGivesNothing) {
    std::u16string many;
    for (int i = 0; i < 80; ++i) {
        if (i > 0) many += u'|';
        many += static_cast<char16_t>(u'a' + i % 26);
        many += static_cast<char16_t>(u'a' + i / 26);
    }
    EXPECT_TRUE(required_of(many).empty());
    EXPECT_EQ(required_of(u"(?:" + many.substr(0, 8 * 3 - 1) + u")").size(), 8u);

    const std::u16string deep = std::u16string(300, u'(') + u"abc" + std::u16string(300, u')');
    EXPECT_TRUE(required_of(deep).empty());
    const std::u16string shallow = std::u16string(20, u'(') + u"abc" + std::u16string(20, u')');
    EXPECT_EQ(shown_sorted(required_of(shallow)), std::vector<std::string>{"abc"});
}

// The facts that are true, in a fixed order, to compare in one line.
std::string shown_facts(const expression_facts& f) {
    std::string s;
    const auto add = [&](bool fact, const char* name) {
        if (fact) s += s.empty() ? name : std::string(" ") + name;
    };
    add(f.reaches_behind_start, "reaches");
    add(f.sees_start_of_text, "sees");
    add(f.same_without_utf_on_ascii, "same");
    add(f.gains_without_utf, "gains");
    add(f.may_begin_with_dot_star, "dotstar");
    add(f.asserts_search_start, "G");
    return s;
}

struct facts_case {
    std::u16string expression;
    std::string plain_literal;
    std::string facts;
};

// Each fact where it holds, and where a scan of the text would take an escaped, quoted,
// commented or classed character for it. Extended mode is not followed: all facts are safe.
TEST(ExpressionFacts, ReadFromTheExpression) {
    const std::vector<facts_case> cases = {
        {u"error", "error", "same"},
        {u"GET /api=1, ok; #2", "get /api=1, ok; #2", "same"},
        {u"", "", "same"},
        {u"a]b", "", "same"},
        {u"a}b", "", "same"},
        {u"a\\.b", "", "same"},
        {u"a|b", "", "same"},
        {u"ab?", "", "same"},
        {u"(ab)", "", "same"},
        {u"\\Qab\\E", "", "same"},
        {u"caf\u00e9", "", ""},
        // Where a text starts, and what lies behind it.
        {u"^a", "", "sees same"},
        {u"\\Aa", "", "sees same"},
        {u"\\Ga", "", "sees same G"},
        {u"\\bok\\b", "", "sees same gains"},
        {u"\\Bk", "", "sees same gains"},
        {u"[[:<:]]ok", "", "sees same gains"},
        {u"ok[[:>:]]", "", "sees same gains"},
        {u"(?<=x)foo", "", "reaches sees same"},
        {u"(?<!x)foo", "", "reaches sees same"},
        {u"(?(?<=a)b|c)", "", "reaches sees same"},
        {u"a(*SKIP)(*F)|b", "", "reaches sees"},
        {u"(*plb:x)a", "", "reaches sees"},
        {u"(*UTF)a", "", "reaches sees"},
        {u"a$|b\\z|c\\Z|d\\K", "", "same"},
        {u"\\^a", "", "same"},
        {u"[\\^a]b", "", "same gains"},
        {u"[^a]b", "", "same gains"},
        {u"[\\b]a", "", "same gains"},
        {u"\\Q^\\b(?<=\\E", "", "same"},
        {u"(?#^\\b(?<=)a", "", "same"},
        {u"(?C\"^(*\")a", "", "same"},
        {u"\\\\G", "", "same"},
        {u"\\\\b", "", "same"},
        // Runs of any character at the front.
        {u".*x", "", "same gains dotstar"},
        {u"\\N*x", "", "gains dotstar"},
        {u"\\d+\\.\\d+", "", "same gains"},
        {u"[.]x", "", "same gains"},
        // Escapes that may name a character above U+007F.
        {u"\\x41", "", ""},
        {u"\\u0041", "", ""},
        {u"[\\x41-\\x5a]", "", "gains"},
        {u"\\p{Lu}", "", ""},
        {u"\\X", "", ""},
        {u"\\o{101}", "", ""},
        {u"\\101", "", ""},
        {u"(a)\\1", "", "same"},
        {u"\\cA", "", "same"},
        // Literals given up, every other fact still read.
        {u"a{,3}\\b", "", "sees same gains"},
        {u"(a)(?1)\\G", "", "sees same G"},
        {u"(?P=n)(?<n>x)", "", "same"},
        // Extended mode is not followed.
        {u"(?x)^a", "", "reaches sees dotstar"},
        {u"(?x) \\G # (", "", "reaches sees dotstar G"},
    };
    for (const facts_case& c : cases) {
        const expression_facts facts = read_expression(c.expression);
        EXPECT_EQ(shown(facts.plain_literal), c.plain_literal) << shown(c.expression);
        EXPECT_EQ(shown_facts(facts), c.facts) << shown(c.expression);
    }
}

// PCRE2's compiled code knows how far an expression looks behind and where it tries its
// starts; the reader must never claim less. A plain word is its own and only literal.
TEST(ExpressionFacts, NeverClaimLessThanTheCompiledCode) {
    // The matcher's options, less those that only change how it matches.
    constexpr std::uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_CASELESS | PCRE2_ALT_BSUX |
                                      PCRE2_DOLLAR_ENDONLY | PCRE2_ALLOW_EMPTY_CLASS;
    const auto compiled = [&](const std::u16string& e, std::uint32_t extra) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
        pcre2_set_compile_extra_options(context, PCRE2_EXTRA_ALT_BSUX);
        pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(e.data()), e.size(), options | extra, &error,
                                         &offset, context);
        pcre2_compile_context_free(context);
        return code;
    };
    const auto info = [](const pcre2_code* code, std::uint32_t what) {
        std::uint32_t value = 0;
        pcre2_pattern_info(code, what, &value);
        return value;
    };
    int looking_behind = 0, dot_star_starts = 0, plain = 0;
    for (std::uint32_t seed = 1, seeds = testing::seed_count(3000); seed <= seeds; ++seed) {
        testing::random_filters random(seed);
        static const char16_t* const in_front[] = {u"", u"\\b", u"[[:>:]]", u".*", u"\\N*", u"ab", u"(?s)"};
        const std::u16string e = in_front[seed % 7] + random.expression();
        pcre2_code* code = compiled(e, 0);
        if (code == nullptr) continue;
        pcre2_code* any_start = compiled(e, PCRE2_NO_DOTSTAR_ANCHOR);
        const expression_facts facts = read_expression(e);
        const std::uint32_t behind = info(code, PCRE2_INFO_MAXLOOKBEHIND);
        const bool fewer_starts = info(code, PCRE2_INFO_FIRSTCODETYPE) != info(any_start, PCRE2_INFO_FIRSTCODETYPE) ||
                                  ((info(code, PCRE2_INFO_ALLOPTIONS) ^ info(any_start, PCRE2_INFO_ALLOPTIONS)) &
                                   PCRE2_ANCHORED) != 0;
        pcre2_code_free(code);
        pcre2_code_free(any_start);
        EXPECT_TRUE(behind == 0 || facts.sees_start_of_text) << shown(e);
        EXPECT_TRUE(behind <= 1 || facts.reaches_behind_start) << shown(e);
        EXPECT_TRUE(!fewer_starts || facts.may_begin_with_dot_star) << shown(e);
        if (!facts.plain_literal.empty()) {
            EXPECT_EQ(facts.required.any_of, std::vector<std::u16string>{facts.plain_literal}) << shown(e);
        }
        looking_behind += behind > 0;
        dot_star_starts += fewer_starts;
        plain += !facts.plain_literal.empty();
    }
    EXPECT_GT(looking_behind, 500);
    EXPECT_GT(dot_star_starts, 100);
    EXPECT_GT(plain, 50);
}

}  // namespace
}  // namespace huecast
