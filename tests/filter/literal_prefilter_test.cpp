// The prefilter on chosen lines, its scan methods against each other (what they let through
// and where each filter's first literal begins), and the promise the
// painter will rest on, checked against the matcher: a filter that matches anywhere in a
// line is never ruled out.
#include "filter/prefilter/literal_prefilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "filter/match/case_folding.h"
#include "filter/match/matcher.h"
#include "filter/match/search_text.h"
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

// Where a filter let through unscanned has its first literal.
constexpr std::size_t unknown = literal_prefilter::unknown_place;

bool has_letter_with_equivalent(const std::string& literal) {
    return std::any_of(std::begin(ascii_case_equivalents), std::end(ascii_case_equivalents),
                       [&](const ascii_case_equivalent& e) { return literal.find(e.letter) != std::string::npos; });
}

// The plain answer: a filter may match where one of its literals occurs in the folded line
// (each equivalent outside ASCII read as its letter), and the first of them begins at its
// first place. Where the line `may_hold_equivalents`, a filter with a literal that holds a
// letter with an equivalent is let through unscanned, at an unknown place. The place is npos
// for a filter with nothing known or with no literal in the line.
std::vector<char> expected_answers(const std::vector<required_literals>& filters, std::string_view line,
                                   bool may_hold_equivalents, std::vector<std::size_t>* first_places = nullptr) {
    std::string folded;
    std::vector<std::size_t> from;  // where in the line each folded byte stands
    for (std::size_t i = 0; i < line.size();) {
        from.push_back(i);
        const auto equivalent =
            std::find_if(std::begin(ascii_case_equivalents), std::end(ascii_case_equivalents),
                         [&](const ascii_case_equivalent& e) { return line.substr(i).starts_with(e.bytes); });
        if (equivalent != std::end(ascii_case_equivalents)) {
            folded += equivalent->letter;
            i += equivalent->bytes.size();
        } else {
            folded += static_cast<char>(folded_byte(static_cast<unsigned char>(line[i++])));
        }
    }
    std::vector<char> answers;
    if (first_places != nullptr) first_places->clear();
    for (const required_literals& f : filters) {
        const bool unscanned =
            may_hold_equivalents && std::any_of(f.any_of.begin(), f.any_of.end(), has_letter_with_equivalent);
        std::size_t first = std::string::npos;
        for (const std::string& l : f.any_of) first = std::min(first, folded.find(l));
        answers.push_back(f.any_of.empty() || unscanned || first != std::string::npos ? 1 : 0);
        if (first_places == nullptr) continue;
        first_places->push_back(unscanned ? unknown : first == std::string::npos ? std::string::npos : from[first]);
    }
    return answers;
}

std::vector<required_literals> literal_sets(const std::vector<std::vector<std::string>>& sets) {
    std::vector<required_literals> filters;
    for (const auto& s : sets) filters.push_back({s});
    return filters;
}

struct scan_case {
    std::vector<std::vector<std::string>> filters;
    std::string line;
    std::vector<char> expected;
};

TEST(LiteralPrefilter, AnswersForChosenLines) {
    const std::vector<std::vector<std::string>> levels = {{"error"}, {"warn"}, {"ok"}};
    const std::string x14(14, 'x');
    const std::string x30(30, 'x');
    const std::string escaped = "\xED\xB2\x80";  // the escaped byte 0x80
    const std::vector<scan_case> cases = {
        {levels, "2026 ERROR disk", {1, 0, 0}},
        {levels, "Warning: ok", {0, 1, 1}},
        {levels, "", {0, 0, 0}},
        {levels, "er ror wa rn o k", {0, 0, 0}},
        // The Kelvin sign and the long s are k and s: a line that holds one lets through
        // unscanned the filters that they could match, and only those. The Turkish i's are not i.
        {levels, "o\u212A", {0, 0, 1}},
        {{{"slow"}}, "\u017FLOW", {1}},
        {{{"ok"}, {"info"}}, "\u212A", {1, 0}},
        {{{"info"}}, "\u0131nfo \u0130NFO", {0}},
        {{{"info"}}, "\u0131nfo INFO", {1}},
        // Bytes that are a literal's but for the high bit, or that are no character at all.
        {{{"error"}}, "\xE5\xF2\xF2\xEF\xF2 \u5F00rror \u00E5rror", {0}},
        {{{"0x"}}, "\u00B0x \u2030x \xB0x", {0}},
        {{{"ok"}}, "o\x80k", {0}},
        {{{"ok"}}, "o" + escaped + "k", {0}},
        {{{"ok"}}, "o\U0001F600k", {0}},
        {{{"ok"}}, escaped + "OK\xFF", {1}},
        // Short lines and literals at either end.
        {{{"ab"}}, "a", {0}},
        {{{"ab"}}, "ab", {1}},
        {{{"ab"}}, "xxab", {1}},
        {{{"k"}}, "xxxxK", {1}},
        {{{"k"}}, "\u212A", {1}},
        {{{"abcdef"}}, "abcde", {0}},
        // Across the blocks of the SIMD methods, and far past them.
        {levels, x14 + "error", {1, 0, 0}},
        {levels, x14 + "xwarn", {0, 1, 0}},
        {levels, x30 + "ok", {0, 0, 1}},
        {levels, x30 + "xxok", {0, 0, 1}},
        {levels, x30 + "xok", {0, 0, 1}},
        {levels, std::string(5000, 'x') + "warn", {0, 1, 0}},
        {levels, std::string(5000, 'x'), {0, 0, 0}},
        // Nothing known: always searched.
        {{{}, {"ok"}}, "", {1, 0}},
        // Shared literals, and several literals for one filter.
        {{{"ok"}, {"ok", "fail"}}, "FAILED", {0, 1}},
        {{{"ok"}, {"ok", "fail"}}, "ok", {1, 1}},
        // Control characters are literal characters like any other.
        {{{std::string("a\0b", 3)}, {"x\r"}}, std::string("A\0B X\r", 6), {1, 1}},
        {{{std::string("a\0b", 3)}}, "ab", {0}},
    };
    for (const scan_method m : supported_methods()) {
        for (const scan_case& c : cases) {
            const literal_prefilter prefilter(literal_sets(c.filters), m);
            std::vector<char> may_match = {1, 1, 1, 1, 1, 1, 1};
            prefilter.scan(c.line, search_text(c.line).may_hold_equivalents(), may_match);
            EXPECT_EQ(may_match, c.expected) << name_of(m) << " on \"" << shown(c.line.substr(0, 80)) << "\"";
        }
    }
}

TEST(LiteralPrefilter, UsefulOnlyWithLiterals) {
    EXPECT_FALSE(literal_prefilter(literal_sets({})).useful());
    EXPECT_FALSE(literal_prefilter(literal_sets({{}, {}})).useful());
    EXPECT_TRUE(literal_prefilter(literal_sets({{}, {"ok"}})).useful());
}

// Every method against the plain answer, on lines and literals made to collide often: a
// small alphabet, bytes that are a letter's but for the high bit, the equivalents and their
// parts, literals of one byte and literals far longer than the tables look at, lines longer
// than any block.
TEST(LiteralPrefilter, MethodsAgreeOnRandomInput) {
    static const std::vector<std::string> pieces = {
        "a", "b", "A", "B", "k", "K", "s", "S", "e", "0", " ", "\r", std::string(1, '\0'), "\xE2\x84", "\xC5",
        "\xBF", "\xE1", "\xE2", "\xEB", "\xF3", "\xE5", "\xB0", "\xA0", "\x8D", "\x80", "\xFF", "\xED\xB2\x80",
        "\u00E1", "\u20AC", "\U0001F600", "\u0131", "\u0130",
        // The equivalents last, so that a line may be made without them.
        "\u212A", "\u017F"};
    static const std::string letters = "abkse0 \r";
    const std::vector<scan_method> methods = supported_methods();
    std::mt19937 rng(7);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    for (std::uint32_t round = 0, rounds = seed_count(300); round < rounds; ++round) {
        std::vector<required_literals> filters(1 + pick(round % 10 == 0 ? 64 : 8));
        for (required_literals& f : filters) {
            if (pick(8) == 0) continue;  // nothing known
            for (std::size_t n = 1 + pick(round % 7 == 0 ? 12 : 3); n > 0; --n) {
                std::string literal;
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
            std::string line;
            // Half the lines, long ones among them, made without the equivalents, so that all
            // their filters are scanned.
            const std::size_t choices = pieces.size() - (l % 4 < 2 ? 2 : 0);
            for (std::size_t n = pick(l % 10 == 0 ? 3000 : 80); n > 0; --n) line += pieces[pick(choices)];
            // A line that may hold an equivalent is scanned as the filter set scans it; one that
            // does not, also as one that may.
            const bool holds = search_text(line).may_hold_equivalents();
            for (const bool may_hold_equivalents : {holds, true}) {
                const std::vector<char> expected = expected_answers(filters, line, may_hold_equivalents, &first_places);
                for (const literal_prefilter& p : prefilters) {
                    p.scan(line, may_hold_equivalents, may_match, first_at);
                    ASSERT_EQ(may_match, expected) << name_of(p.method()) << ", round " << round << ", line \""
                                                   << shown(line.substr(0, 200)) << "\"";
                    // The painter takes a plain word's first place for its first match.
                    for (std::size_t f = 0; f < filters.size(); ++f) {
                        if (first_places[f] == std::string::npos) continue;
                        ASSERT_EQ(first_at[f], first_places[f]) << name_of(p.method()) << ", round " << round
                                                                << ", filter " << f << ", line \""
                                                                << shown(line.substr(0, 200)) << "\"";
                    }
                }
                if (holds) break;
            }
        }
    }
}

// Expressions full of literals, in every form the reader follows and many that it does not,
// built on the differential test's generator.
class literal_expressions {
public:
    explicit literal_expressions(std::uint32_t seed) : random_(seed) {}

    std::string expression(int depth = 0) {
        static const std::vector<std::string> words = {
            "ok", "OK", "Error", "warn", "kis", "sk", "Ki", "is", "k", "s", "i", "I", "a b", "x-y",
            "\\.", "\\-", "\\/", "\\\\", "\\x4B", "\\u0053", "\\t", "\r", "\u212A", "\u017F", "\u0131",
            "\u0130", "é", "\\Qk.s\\E", "[ks]", "[[:alpha:]]", "[^]]", "\\w", ".", "\\d", "]", "}"};
        static const std::vector<std::string> opens = {"(",    "(?:",  "(?>",   "(?|",   "(?i:",
                                                          "(?-i:", "(?=",  "(?!",   "(?<=",  "(?<!"};
        static const std::vector<std::string> quantifiers = {"",     "?",  "*",    "+",    "{2}",  "{1,}",
                                                                "{0,2}", "{1,3}?", "++", "{,2}", "{x}", "?+"};
        static const std::vector<std::string> specials = {
            "(*ACCEPT)", "k(*ACCEPT)s", "(?(?=k)ks|s)", "(k)\\1", "(k)(?1)", "(?#c)", "(?i)", "\\K",
            "\\b", "^", "$", "(?i)s(?-i)K", "(*SKIP)(*F)|", "\\Q\\E", "a\\E"};
        const int choice = depth > 3 ? random_.pick(30) : random_.pick(100);
        if (choice < 30) return random_.one_of(words);
        if (choice < 40) return random_.expression(depth + 1);
        if (choice < 55) return expression(depth + 1) + expression(depth + 1);
        if (choice < 65) return expression(depth + 1) + "|" + expression(depth + 1);
        if (choice < 85) {
            std::string open = random_.one_of(opens);
            if (random_.pick(6) == 0) open = "(?<g" + std::string(1, char('a' + names_++ % 26)) + ">";
            return open + expression(depth + 1) + ")" + random_.one_of(quantifiers);
        }
        return random_.one_of(specials) + expression(depth + 1);
    }

    std::string line() {
        static const std::vector<std::string> pieces = {
            "ok",  "OK",     "o\u212A", "\u017Fk", "kis", "K",     "S",      "s",       "i",
            "I",   "\u0131", "\u0130",  "\u212A",  "\u017F", "é", "x-y",    "a b",     ".",
            "/",   "\\",     "\t",      "\r",      "error",  "WARN", "]",   "}",       " ",
            "\U0001F600", "\x80", "\xED\xB2\x80", "\xF0\x9F\x98", "\xC5", "5"};
        std::string text;
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
        std::vector<std::string> texts;
        std::vector<matcher> matchers;
        std::vector<required_literals> literals;
        for (int tries = 0; static_cast<int>(matchers.size()) < count && tries < 50 * count; ++tries) {
            std::string text = random.expression();
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
            const std::string line = random.line();
            const search_text text(line);
            // The literals' own answer, and the prefilter's as the filter set asks for it, which
            // lets through more where the line may hold an equivalent.
            const std::vector<char> of_literals = expected_answers(literals, line, false);
            const std::vector<char> expected = expected_answers(literals, line, text.may_hold_equivalents());
            for (const literal_prefilter& p : prefilters) {
                p.scan(line, text.may_hold_equivalents(), may_match);
                ASSERT_EQ(may_match, expected) << name_of(p.method()) << ", line \"" << shown(line) << "\"";
            }
            for (std::size_t f = 0; f < matchers.size(); ++f) {
                // A match from one place is found from every place before it too, unless the
                // expression sees the start of its text: all are tried, the first is enough.
                for (std::size_t from = 0; from <= line.size(); ++from) {
                    found_match match;
                    if (matchers[f].search(text, from, anchor::unanchored, match) != search_result::found) continue;
                    ASSERT_EQ(of_literals[f], 1) << "expression \"" << shown(texts[f]) << "\" matches [" << match.begin
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
