// What the reader takes from an expression's text: the facts the matcher acts on, checked
// against what PCRE2's compiled code knows.
#include "filter/match/expression_facts.h"

#include "filter/match/matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <gtest/gtest.h>
#include <pcre2.h>

#include <string>
#include <vector>

#include "random_filters.h"

namespace huecast {
namespace {

using testing::shown;

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
    std::string expression;
    std::string plain_literal;
    std::string facts;
};

// Each fact where it holds, and where a scan of the text would take an escaped, quoted,
// commented or classed character for it. Extended mode is not followed: all facts are safe.
TEST(ExpressionFacts, ReadFromTheExpression) {
    const std::vector<facts_case> cases = {
        {"error", "error", "same"},
        {"GET /api=1, ok; #2", "get /api=1, ok; #2", "same"},
        {"", "", "same"},
        {"a]b", "", "same"},
        {"a}b", "", "same"},
        {"a\\.b", "", "same"},
        {"a|b", "", "same"},
        {"ab?", "", "same"},
        {"(ab)", "", "same"},
        {"\\Qab\\E", "", "same"},
        {"caf\u00e9", "", ""},
        // Where a text starts, and what lies behind it.
        {"^a", "", "sees same"},
        {"\\Aa", "", "sees same"},
        {"\\Ga", "", "sees same G"},
        {"\\bok\\b", "", "sees same gains"},
        {"\\Bk", "", "sees same gains"},
        {"[[:<:]]ok", "", "sees same gains"},
        {"ok[[:>:]]", "", "sees same gains"},
        {"(?<=x)foo", "", "reaches sees same"},
        {"(?<!x)foo", "", "reaches sees same"},
        {"(?(?<=a)b|c)", "", "reaches sees same"},
        {"a(*SKIP)(*F)|b", "", "reaches sees"},
        {"(*plb:x)a", "", "reaches sees"},
        {"(*UTF)a", "", "reaches sees"},
        {"a$|b\\z|c\\Z|d\\K", "", "same"},
        {"\\^a", "", "same"},
        {"[\\^a]b", "", "same gains"},
        {"[^a]b", "", "same gains"},
        {"[\\b]a", "", "same gains"},
        {"\\Q^\\b(?<=\\E", "", "same"},
        {"(?#^\\b(?<=)a", "", "same"},
        {"(?C\"^(*\")a", "", "same"},
        {"\\\\G", "", "same"},
        {"\\\\b", "", "same"},
        // Runs of any character at the front.
        {".*x", "", "same gains dotstar"},
        {"\\N*x", "", "gains dotstar"},
        {"\\d+\\.\\d+", "", "same gains"},
        {"[.]x", "", "same gains"},
        // Escapes that may name a character above U+007F.
        {"\\x41", "", ""},
        {"\\u0041", "", ""},
        {"[\\x41-\\x5a]", "", "gains"},
        {"\\p{Lu}", "", ""},
        {"\\X", "", ""},
        {"\\o{101}", "", ""},
        {"\\101", "", ""},
        {"(a)\\1", "", "same"},
        {"\\cA", "", "same"},
        // Literals given up, every other fact still read.
        {"a{,3}\\b", "", "sees same gains"},
        {"(a)(?1)\\G", "", "sees same G"},
        {"(?P=n)(?<n>x)", "", "same"},
        // Extended mode is not followed.
        {"(?x)^a", "", "reaches sees dotstar"},
        {"(?x) \\G # (", "", "reaches sees dotstar G"},
    };
    for (const facts_case& c : cases) {
        const expression_facts facts = read_expression(c.expression);
        EXPECT_EQ(shown(facts.plain_literal), c.plain_literal) << shown(c.expression);
        EXPECT_EQ(shown_facts(facts), c.facts) << shown(c.expression);
    }
}

// Where the compiled code tells how far back an expression looks and where PCRE2 starts its
// attempts, the matcher's facts are more exact than the text's; PCRE2 counts each lookbehind
// alone, so what looks behind or for the front from inside one is still read from the text.
TEST(ExpressionFacts, SharpenedByTheCompiledCode) {
    const std::vector<facts_case> cases = {
        {"(?<=x)foo", "", "sees same"},
        {"(?<=)foo", "", "same"},
        {"(?<=ab)c", "", "reaches sees same"},
        {"(?<=\\ba)x", "", "reaches sees same gains"},
        {"(?<=[[:<:]]a)x", "", "reaches sees same gains"},
        {"(?<=(?<=b)a)x", "", "reaches sees same"},
        {"(?<=^a)b", "", "reaches sees same"},
        {"(?<=(?1))(\\ba)", "", "reaches sees same gains"},
        {"(?(?<=a)b|c)", "", "sees same"},
        {"\\bok(*SKIP)", "", "reaches sees gains"},
        // Only where every branch begins with a run of any characters.
        {".*a|b", "", "same gains"},
        {"a.*", "", "same gains"},
        {".*a|.*b", "", "same gains dotstar"},
        {"(?s).*a", "", "same gains dotstar"},
        {"(?x)a.*", "", "reaches sees"},
        {"(?x).*a", "", "reaches sees dotstar"},
    };
    for (const facts_case& c : cases) {
        const auto compiled = matcher::compile(c.expression);
        ASSERT_TRUE(compiled.has_value()) << shown(c.expression);
        EXPECT_EQ(shown_facts(compiled->facts()), c.facts) << shown(c.expression);
    }
}

// PCRE2's compiled code knows how far an expression looks behind and where it tries its
// starts; the reader must never claim less. A plain word is its own and only literal.
TEST(ExpressionFacts, NeverClaimLessThanTheCompiledCode) {
    // The matcher's options, less those that only change how it matches.
    constexpr std::uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_CASELESS | PCRE2_ALT_BSUX |
                                      PCRE2_DOLLAR_ENDONLY | PCRE2_ALLOW_EMPTY_CLASS;
    const auto compiled = [&](const std::string& e, std::uint32_t extra) {
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
        static const char* const in_front[] = {"", "\\b", "[[:>:]]", ".*", "\\N*", "ab", "(?s)"};
        const std::string e = std::string(in_front[seed % 7]).append(random.expression());
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
            EXPECT_EQ(facts.required.any_of, std::vector<std::string>{facts.plain_literal}) << shown(e);
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
