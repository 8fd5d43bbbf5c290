// The prefilter on chosen lines, its scan methods against each other (what they let through
// and where each filter's first literal begins), and the promise the
// painter will rest on, checked against the matcher: a filter that matches anywhere in a
// line is never ruled out.
#include "filter/literal_prefilter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "filter/case_folding.h"
#include "filter/matcher.h"
#include "random_filters.h"

namespace huecast {
namespace {

using testing::random_filters;
using testing::seed_count;
using testing::shown;

std::vector<scan_method> supported_methods() {
    std::vector<scan_method> methods;
    for (const scan_method m : {scan_method::portable, scan_method::ssse3, scan_method::avx2, scan_method::neon}) {
        if (literal_prefilter::supported(m)) methods.push_back(m);
    }
    return methods;
}

const char* name_of(scan_method m) {
    switch (m) {
        case scan_method::portable:
            return "portable";
        case scan_method::ssse3:
            return "ssse3";
        case scan_method::avx2:
            return "avx2";
        case scan_method::neon:
            return "neon";
    }
    return "?";
}

// The plain answer: a filter may match where one of its literals occurs in the folded line,
// and the first of them begins at its first place; npos for a filter with nothing known.
std::vector<char> expected_answers(const std::vector<required_literals>& filters, std::u16string_view line,
                                   std::vector<std::size_t>* first_places = nullptr) {
    std::u16string folded;
    for (const char16_t c : line) folded += folded_unit(c);
    std::vector<char> answers;
    if (first_places != nullptr) first_places->clear();
    for (const required_literals& f : filters) {
        std::size_t first = std::u16string::npos;
        for (const std::u16string& l : f.any_of) first = std::min(first, folded.find(l));
        answers.push_back(f.any_of.empty() || first != std::u16string::npos ? 1 : 0);
        if (first_places != nullptr) first_places->push_back(f.any_of.empty() ? std::u16string::npos : first);
    }
    return answers;
}

std::vector<required_literals> literal_sets(const std::vector<std::vector<std::u16string>>& sets) {
    std::vector<required_literals> filters;
    for (const auto& s : sets) filters.push_back({s});
    return filters;
}

struct scan_case {
    std::vector<std::vector<std::u16string>> filters;
    std::u16string line;
    std::vector<char> expected;
};

TEST(LiteralPrefilter, AnswersForChosenLines) {
    const std::vector<std::vector<std::u16string>> levels = {{u"error"}, {u"warn"}, {u"ok"}};
    const std::u16string x14(14, u'x');
    const std::u16string x30(30, u'x');
    const std::u16string lone(1, char16_t(0xDC80));
    const std::vector<scan_case> cases = {
        {levels, u"2026 ERROR disk", {1, 0, 0}},
        {levels, u"Warning: ok", {0, 1, 1}},
        {levels, u"", {0, 0, 0}},
        {levels, u"er ror wa rn o k", {0, 0, 0}},
        // The Kelvin sign and the long s are k and s; the Turkish i's are not i.
        {levels, u"o\u212A", {0, 0, 1}},
        {{{u"slow"}}, u"\u017FLOW", {1}},
        {{{u"info"}}, u"\u0131nfo \u0130NFO", {0}},
        {{{u"info"}}, u"\u0131nfo INFO", {1}},
        // Units that pack to the byte of a letter, or that are no character at all.
        {{{u"error"}}, u"\u0165rror \u8065rror \u00E5rror", {0}},
        {{{u"ok"}}, u"o" + lone + u"k", {0}},
        {{{u"ok"}}, u"o\U0001F600k", {0}},
        {{{u"ok"}}, lone + u"OK" + lone, {1}},
        // Short lines and literals at either end.
        {{{u"ab"}}, u"a", {0}},
        {{{u"ab"}}, u"ab", {1}},
        {{{u"ab"}}, u"xxab", {1}},
        {{{u"k"}}, u"xxxxK", {1}},
        {{{u"k"}}, u"\u212A", {1}},
        {{{u"abcdef"}}, u"abcde", {0}},
        // Across the blocks of the SIMD methods, and far past them.
        {levels, x14 + u"error", {1, 0, 0}},
        {levels, x14 + u"xwarn", {0, 1, 0}},
        {levels, x30 + u"ok", {0, 0, 1}},
        {levels, x30 + u"xxok", {0, 0, 1}},
        {levels, x30 + u"xok", {0, 0, 1}},
        {levels, std::u16string(5000, u'x') + u"warn", {0, 1, 0}},
        {levels, std::u16string(5000, u'x'), {0, 0, 0}},
        // Nothing known: always searched.
        {{{}, {u"ok"}}, u"", {1, 0}},
        // Shared literals, and several literals for one filter.
        {{{u"ok"}, {u"ok", u"fail"}}, u"FAILED", {0, 1}},
        {{{u"ok"}, {u"ok", u"fail"}}, u"ok", {1, 1}},
        // Control characters are literal characters like any other.
        {{{std::u16string(u"a\0b", 3)}, {u"x\r"}}, std::u16string(u"A\0B X\r", 6), {1, 1}},
        {{{std::u16string(u"a\0b", 3)}}, u"ab", {0}},
    };
    for (const scan_method m : supported_methods()) {
        for (const scan_case& c : cases) {
            const literal_prefilter prefilter(literal_sets(c.filters), m);
            std::vector<char> may_match = {1, 1, 1, 1, 1, 1, 1};
            prefilter.scan(c.line, may_match);
            EXPECT_EQ(may_match, c.expected) << name_of(m) << " on \"" << shown(c.line.substr(0, 80)) << "\"";
        }
    }
}

TEST(LiteralPrefilter, UsefulOnlyWithLiterals) {
    EXPECT_FALSE(literal_prefilter(literal_sets({})).useful());
    EXPECT_FALSE(literal_prefilter(literal_sets({{}, {}})).useful());
    EXPECT_TRUE(literal_prefilter(literal_sets({{}, {u"ok"}})).useful());
}

// Every method against the plain answer, on lines and literals made to collide often: a
// small alphabet, units that pack to the same bytes as letters, literals of one unit and
// literals far longer than the tables look at, lines longer than any block.
TEST(LiteralPrefilter, MethodsAgreeOnRandomInput) {
    static const std::vector<char16_t> units = {u'a',    u'b',    u'A',    u'B',    u'k',    u'K',    u's',
                                                u'S',    u'e',    u'0',    u' ',    u'\r',   u'\0',   0x212A,
                                                0x017F,  0x0080,  0x00E1,  0x00FF,  0x0100,  0x0161,  0x7FFF,
                                                0x8000,  0xD83D,  0xDE00,  0xDC80,  0xFFFF,  0x0131,  0x0130};
    static const std::u16string letters = u"abkse0 \r";
    const std::vector<scan_method> methods = supported_methods();
    std::mt19937 rng(7);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    for (std::uint32_t round = 0, rounds = seed_count(300); round < rounds; ++round) {
        std::vector<required_literals> filters(1 + pick(round % 10 == 0 ? 64 : 8));
        for (required_literals& f : filters) {
            if (pick(8) == 0) continue;  // nothing known
            for (std::size_t n = 1 + pick(round % 7 == 0 ? 12 : 3); n > 0; --n) {
                std::u16string literal;
                const std::size_t length = 1 + pick(pick(4) == 0 ? 12 : 4);
                while (literal.size() < length) literal += letters[pick(letters.size())];
                f.any_of.push_back(literal);
            }
        }
        std::vector<literal_prefilter> prefilters;
        for (const scan_method m : methods) prefilters.emplace_back(filters, m);
        std::vector<char> may_match;
        std::vector<std::uint32_t> first_at;
        std::vector<std::size_t> first_places;
        for (int l = 0; l < 20; ++l) {
            std::u16string line;
            for (std::size_t n = pick(l % 10 == 0 ? 3000 : 80); n > 0; --n) line += units[pick(units.size())];
            const std::vector<char> expected = expected_answers(filters, line, &first_places);
            for (const literal_prefilter& p : prefilters) {
                p.scan(line, may_match, first_at);
                ASSERT_EQ(may_match, expected) << name_of(p.method()) << ", round " << round << ", line \""
                                               << shown(line.substr(0, 200)) << "\"";
                // The painter takes a plain word's first place for its first match.
                for (std::size_t f = 0; f < filters.size(); ++f) {
                    if (first_places[f] == std::u16string::npos) continue;
                    ASSERT_EQ(first_at[f], first_places[f]) << name_of(p.method()) << ", round " << round
                                                            << ", filter " << f << ", line \""
                                                            << shown(line.substr(0, 200)) << "\"";
                }
            }
        }
    }
}

// Expressions full of literals, in every form the reader follows and many that it does not,
// built on the differential test's generator.
class literal_expressions {
public:
    explicit literal_expressions(std::uint32_t seed) : random_(seed) {}

    std::u16string expression(int depth = 0) {
        static const std::vector<std::u16string> words = {
            u"ok", u"OK", u"Error", u"warn", u"kis", u"sk", u"Ki", u"is", u"k", u"s", u"i", u"I", u"a b", u"x-y",
            u"\\.", u"\\-", u"\\/", u"\\\\", u"\\x4B", u"\\u0053", u"\\t", u"\r", u"\u212A", u"\u017F", u"\u0131",
            u"\u0130", u"é", u"\\Qk.s\\E", u"[ks]", u"[[:alpha:]]", u"[^]]", u"\\w", u".", u"\\d", u"]", u"}"};
        static const std::vector<std::u16string> opens = {u"(",    u"(?:",  u"(?>",   u"(?|",   u"(?i:",
                                                          u"(?-i:", u"(?=",  u"(?!",   u"(?<=",  u"(?<!"};
        static const std::vector<std::u16string> quantifiers = {u"",     u"?",  u"*",    u"+",    u"{2}",  u"{1,}",
                                                                u"{0,2}", u"{1,3}?", u"++", u"{,2}", u"{x}", u"?+"};
        static const std::vector<std::u16string> specials = {
            u"(*ACCEPT)", u"k(*ACCEPT)s", u"(?(?=k)ks|s)", u"(k)\\1", u"(k)(?1)", u"(?#c)", u"(?i)", u"\\K",
            u"\\b", u"^", u"$", u"(?i)s(?-i)K", u"(*SKIP)(*F)|", u"\\Q\\E", u"a\\E"};
        const int choice = depth > 3 ? random_.pick(30) : random_.pick(100);
        if (choice < 30) return random_.one_of(words);
        if (choice < 40) return random_.expression(depth + 1);
        if (choice < 55) return expression(depth + 1) + expression(depth + 1);
        if (choice < 65) return expression(depth + 1) + u"|" + expression(depth + 1);
        if (choice < 85) {
            std::u16string open = random_.one_of(opens);
            if (random_.pick(6) == 0) open = u"(?<g" + std::u16string(1, char16_t(u'a' + names_++ % 26)) + u">";
            return open + expression(depth + 1) + u")" + random_.one_of(quantifiers);
        }
        return random_.one_of(specials) + expression(depth + 1);
    }

    std::u16string line() {
        static const std::vector<std::u16string> pieces = {
            u"ok",  u"OK",     u"o\u212A", u"\u017Fk", u"kis", u"K",     u"S",      u"s",       u"i",
            u"I",   u"\u0131", u"\u0130",  u"\u212A",  u"\u017F", u"é", u"x-y",    u"a b",     u".",
            u"/",   u"\\",     u"\t",      u"\r",      u"error",  u"WARN", u"]",   u"}",       u" ",
            u"\U0001F600", std::u16string(1, char16_t(0xDC80)), std::u16string(1, char16_t(0xD83D)), u"5"};
        std::u16string text;
        for (int n = random_.pick(random_.pick(10) == 0 ? 200 : 16); n > 0; --n) text += random_.one_of(pieces);
        return text;
    }

    int pick(int n) { return random_.pick(n); }

private:
    random_filters random_;
    int names_ = 0;
};

// The guarantee: wherever the matcher finds a match, from any place in a line, the line
// holds one of the expression's literals and the prefilter lets the filter through.
TEST(LiteralPrefilter, NeverRulesOutAFilterThatMatches) {
    const std::vector<scan_method> methods = supported_methods();
    int matches_behind_literals = 0;
    int filters_with_literals = 0;
    for (std::uint32_t seed = 1, seeds = seed_count(300); seed <= seeds; ++seed) {
        literal_expressions random(seed);
        const int count = seed % 25 == 0 ? 64 : 1 + random.pick(6);
        std::vector<std::u16string> texts;
        std::vector<matcher> matchers;
        std::vector<required_literals> literals;
        for (int tries = 0; static_cast<int>(matchers.size()) < count && tries < 50 * count; ++tries) {
            std::u16string text = random.expression();
            auto compiled = matcher::compile(text);
            if (!compiled) continue;
            literals.push_back(read_expression(text).required);
            filters_with_literals += !literals.back().any_of.empty();
            matchers.push_back(std::move(compiled).value());
            texts.push_back(std::move(text));
        }
        std::vector<literal_prefilter> prefilters;
        for (const scan_method m : methods) prefilters.emplace_back(literals, m);
        std::vector<char> may_match;
        for (int l = 0; l < 6; ++l) {
            const std::u16string line = random.line();
            const search_text text(line);
            const std::vector<char> expected = expected_answers(literals, line);
            for (const literal_prefilter& p : prefilters) {
                p.scan(line, may_match);
                ASSERT_EQ(may_match, expected) << name_of(p.method()) << ", line \"" << shown(line) << "\"";
            }
            for (std::size_t f = 0; f < matchers.size(); ++f) {
                // A match from one place is found from every place before it too, unless the
                // expression sees the start of its text: all are tried, the first is enough.
                for (std::size_t from = 0; from <= line.size(); ++from) {
                    found_match match;
                    if (matchers[f].search(text, from, anchor::unanchored, match) != search_result::found) continue;
                    ASSERT_EQ(expected[f], 1) << "expression \"" << shown(texts[f]) << "\" matches [" << match.begin
                                              << "," << match.end << ") from " << from << " of line \""
                                              << shown(line) << "\"";
                    matches_behind_literals += !literals[f].any_of.empty();
                    break;
                }
            }
        }
    }
    EXPECT_GT(filters_with_literals, 500);
    EXPECT_GT(matches_behind_literals, 600);
}

}  // namespace
}  // namespace huecast
