// The filter dialect as the matcher compiles it, and the questions it answers.
#include "filter/match/matcher.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <tuple>

#include "filter/match/case_folding.h"
#include "random_filters.h"

namespace huecast {
namespace {

std::optional<matcher> compiled(std::string_view expression, const match_limits& limits = {}) {
    auto m = matcher::compile(expression, limits);
    EXPECT_TRUE(m) << "did not compile";
    if (!m) return std::nullopt;
    return std::move(m).value();
}

// A search of the whole of `text`.
search_result find(matcher& m, std::string_view text, found_match& found, anchor where = anchor::unanchored) {
    return m.search(search_text(text), 0, where, found);
}

// [begin, end) of the first non-empty match, or nothing.
std::optional<std::pair<std::size_t, std::size_t>> first(std::string_view expression, std::string_view text) {
    auto m = compiled(expression);
    found_match found;
    if (!m || find(*m, text, found) != search_result::found) return std::nullopt;
    return std::pair{found.begin, found.end};
}

using span = std::pair<std::size_t, std::size_t>;

TEST(Matcher, InvalidExpressionsReportPcre2sMessageAndOffset) {
    const struct {
        std::string expression, message;
        std::size_t offset;
    } cases[] = {
        {"(abc", "missing closing parenthesis", 4},
        {"a{2,1}", "numbers out of order in {} quantifier", 5},
        // Messages give offsets in 16-bit units, not in bytes, whatever the text.
        {"\U0001F600\u00e9(", "missing closing parenthesis", 4},
        // A byte that is no character cannot be part of an expression.
        {"a\x80", "invalid character in the locale's encoding", 1},
        // One byte: a piece could end inside a character.
        {"x(a|\\C)", "\\C is not allowed (it can match half of a character)", 6},
    };
    for (const auto& c : cases) {
        const auto m = matcher::compile(c.expression);
        ASSERT_FALSE(m) << c.offset;
        EXPECT_EQ(m.error().message, c.message);
        EXPECT_EQ(m.error().offset, c.offset) << c.offset;
    }
}

// Bytes that are not UTF-8, and the escaped bytes of another code page, reach the
// expression as they are; the user is told that, with where they are (in 16-bit units, as
// every offset in an expression is given), rather than PCRE2's words about UTF-8.
TEST(Matcher, BytesThatAreNoCharacterInTheExpressionAreAnInvalidCharacter) {
    const std::string escaped_80 = "\xED\xB2\x80", escaped_ff = "\xED\xB3\xBF";
    const std::string pair = "\U0001F600";
    const struct {
        std::string expression;
        std::size_t offset;
    } cases[] = {
        {escaped_ff, 0},
        {"ab" + escaped_80 + "c", 2},
        {"[x\xFF]", 2},
        {"(\x80", 1},  // found before the missing parenthesis
        {"ab\xF0\x9F\x98", 2},  // cut short
        {"\xC0\xAFx", 0},  // overlong
        {"\xED\xA0\xBDx", 0},  // an encoded surrogate
        {pair + escaped_80, 2},  // after a character of two units
        {"caf\u00e9\xC3", 4},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto m = matcher::compile(cases[i].expression);
        ASSERT_FALSE(m) << "case " << i;
        EXPECT_EQ(m.error().message, "invalid character in the locale's encoding") << "case " << i;
        EXPECT_EQ(m.error().offset, cases[i].offset) << "case " << i;
    }
    EXPECT_TRUE(matcher::compile("x" + pair + "y"));
}

TEST(Matcher, CaseIsFoldedBeyondAscii) {
    EXPECT_EQ(first("error", "An ERROR"), (span{3, 8}));
    EXPECT_EQ(first("ошибка", "ОШИБКА!"), (span{0, 12}));
    EXPECT_EQ(first("é", "CAFÉ"), (span{3, 5}));
}

TEST(Matcher, DotEndAndWordRulesFollowTheDialect) {
    // `.` matches neither CR nor LF, but does take a whole character of four bytes.
    EXPECT_EQ(first("a.b", "a\rb"), std::nullopt);
    EXPECT_EQ(first("a.b", "a\nb"), std::nullopt);
    EXPECT_EQ(first("a.b", "a\tb"), (span{0, 3}));
    EXPECT_EQ(first("^.$", "\U0001F600"), (span{0, 4}));
    // `$` only at the very end, not before a final line end.
    EXPECT_EQ(first("a$", "a\n"), std::nullopt);
    EXPECT_EQ(first("a$", "xa"), (span{1, 2}));
    // \w, \d and \b are ASCII only.
    EXPECT_EQ(first("\\w", "é"), std::nullopt);
    EXPECT_EQ(first("\\d", "\u0663"), std::nullopt);
    EXPECT_EQ(first("x\\b", "xé"), (span{0, 1}));
}

TEST(Matcher, EcmascriptEscapesAndClasses) {
    EXPECT_EQ(first("\\u0041", "xa"), (span{1, 2}));
    EXPECT_EQ(first("\\x41", "A"), (span{0, 1}));
    EXPECT_EQ(first("\\u{1F600}", "x\U0001F600"), (span{1, 5}));
    // An empty class matches nothing; its negation matches any character, CR included.
    EXPECT_EQ(first("a[]", "a"), std::nullopt);
    EXPECT_EQ(first("a[^]b", "a\rb"), (span{0, 3}));
    // A back-reference to a group that did not take part matches the empty string.
    EXPECT_EQ(first("(x)?\\1b", "b"), (span{0, 1}));
}

TEST(Matcher, EmptyMatchesNeverCount) {
    EXPECT_EQ(first("x*|foo", "foo"), (span{0, 3}));
    EXPECT_EQ(first("a*", "baa"), (span{1, 3}));
    EXPECT_EQ(first("x*", "abc"), std::nullopt);
    EXPECT_EQ(first("", "abc"), std::nullopt);
    EXPECT_EQ(first("$", "abc"), std::nullopt);
    EXPECT_EQ(first("^", ""), std::nullopt);
}

TEST(Matcher, BytesThatAreNoCharacterNeverMatchAndNeverStopTheSearch) {
    const std::string text = "a\x80" "b\xF0\x9F\x98";
    EXPECT_EQ(first("a.b", text), std::nullopt);
    EXPECT_EQ(first("[^x]{2}", text), std::nullopt);
    EXPECT_EQ(first("b", text), (span{2, 3}));
    EXPECT_EQ(first("\\bb\\b", text), (span{2, 3}));
    EXPECT_EQ(first("b$", text), std::nullopt);
    // An escaped byte is three bytes that are no character either.
    EXPECT_EQ(first("a.b", "a\xED\xB2\x80" "b"), std::nullopt);
    EXPECT_EQ(first("b", "a\xED\xB2\x80" "b"), (span{4, 5}));

    // An expression that begins with `.*` is tried where such bytes end, too; (?s) and a `^`
    // branch change nothing there, and the first run still comes first.
    const std::string after = "ab\xED\xB3\xBF" "cx\x80" "dx";
    EXPECT_EQ(first(".*", after), (span{0, 2}));
    EXPECT_EQ(first(".*x", after), (span{5, 7}));
    EXPECT_EQ(first("(?s).*x", after), (span{5, 7}));
    EXPECT_EQ(first("^c|.*d", after), (span{8, 9}));
    EXPECT_EQ(first(".*", "\xFF" "b a"), (span{1, 4}));
}

// `\N` is `.` by another name, and PCRE2 tries `\N*` at as few starts as `.*`.
TEST(Matcher, ARunOfBackslashNIsTriedAfterAByteThatIsNoCharacterToo) {
    EXPECT_EQ(first("\\N*x", "ab\xFF" "cx"), (span{3, 5}));
    EXPECT_EQ(first("\\N*x", "ab\ncx"), (span{3, 5}));
}

TEST(Matcher, FrontOnlyAndReportedStart) {
    auto m = compiled("b");
    found_match found;
    EXPECT_EQ(find(*m, "ab", found, anchor::at_start), search_result::none);
    EXPECT_EQ(find(*m, "ba", found, anchor::at_start), search_result::found);
    // Not even past a byte that is no character, where the text goes on as a run of its own;
    // a callout right before an assertion condition keeps the expression off JIT.
    const std::string split = "x\xFF" "ab";
    auto a = compiled("a");
    auto interpreted = compiled("a|(?(?C1)(?=x)xxxxx)");
    EXPECT_EQ(find(*a, split, found, anchor::at_start), search_result::none);
    EXPECT_EQ(find(*interpreted, split, found, anchor::at_start), search_result::none);

    // \K moves the reported start past where the attempt began.
    auto k = compiled("a\\Kb");
    ASSERT_EQ(find(*k, "xab", found), search_result::found);
    EXPECT_EQ(found.attempt, 1u);
    EXPECT_EQ(found.begin, 2u);
    EXPECT_EQ(found.end, 3u);
}

TEST(Matcher, RunawayBacktrackingGivesUp) {
    const std::string text = std::string(40, 'a') + "b";
    auto m = compiled("(a+)+$");
    found_match found;
    EXPECT_EQ(find(*m, text, found), search_result::gave_up);
    // The same under tight limits on a short line, and for the front-only question.
    match_limits tight;
    tight.line_steps = 1000;
    tight.steps_per_byte = 0;
    auto t = compiled("(a+)+$", tight);
    found = {7, 8, 9};
    EXPECT_EQ(find(*t, std::string(20, 'a') + "b", found), search_result::gave_up);
    EXPECT_EQ(find(*t, std::string(20, 'a') + "b", found, anchor::at_start), search_result::gave_up);
    // The match is left alone.
    EXPECT_EQ(std::tuple(found.attempt, found.begin, found.end), std::tuple(7u, 8u, 9u));
}

TEST(Matcher, KnowsWhichExpressionsLookFurtherBack) {
    EXPECT_FALSE(compiled("error")->reaches_behind_start());
    EXPECT_FALSE(compiled("\\bok\\b")->reaches_behind_start());
    EXPECT_FALSE(compiled("^a|\\Ba(?=b)")->reaches_behind_start());
    EXPECT_TRUE(compiled("(?<=xy)foo")->reaches_behind_start());
    EXPECT_TRUE(compiled("(?<!xy)foo")->reaches_behind_start());
    EXPECT_TRUE(compiled("a(*SKIP)(*F)|b")->reaches_behind_start());
}

// What a search may take grows with the line, within a ceiling: a repeat of an alternative
// over a whole long line (24 bytes of stack a byte) runs out of its stack, and says so.
TEST(Matcher, VeryLongTextsAreSearchedInMemoryThatGrowsWithThem) {
    std::string text(4'000'000, 'a');
    text += "b";
    found_match found;
    auto m = compiled("a.*b");
    ASSERT_EQ(find(*m, text, found), search_result::found);
    EXPECT_EQ(found.end, text.size());
    auto alternation = compiled("(?:a|c)+b");
    search_budget budget = alternation->budget_for(text.size());
    EXPECT_EQ(alternation->search(search_text(text), 0, anchor::unanchored, found, budget), search_result::gave_up);
    EXPECT_EQ(budget.reached, limit_reached::stack);
    const std::string shorter = text.substr(text.size() - 200'000);
    ASSERT_EQ(find(*alternation, shorter, found), search_result::found);
    EXPECT_EQ(found.begin, 0u);
}

}  // namespace
}  // namespace huecast

namespace huecast {
namespace {

// On a text of ASCII characters alone the matcher may search without UTF; it must find
// what the UTF search finds, also where case folding leads out of ASCII and back. Only a
// line that is ASCII as a whole is searched without UTF, so the same text searched after
// a leading "é" takes the UTF code.
TEST(Matcher, AsciiTextsGiveTheSameMatchesWithoutUtf) {
    const std::string text = "ok Kelvin 10k, s and S; \\u00e9 x{17F}";
    const std::string e = "\u00e9";
    const std::string after_e = e + text;
    for (const char* expression : {"\\bok\\b", "k", "\u212A", "\\u212a", "\u017F", "[\\u2000-\\u3000]+",
                                       "\\x{17F}", "\\d+k", "[^a-z ]+", "\\w+", "\\\\u00e9", "S.A",
                                       // Only an expression with a word boundary has a code without UTF.
                                       "\\bk", "\\b\u212A", "\\b\\u212a", "\u017F\\b", "\\b[\\u2000-\\u3000]+",
                                       "\\b\\x{17F}", "\\b\\d+k", "\\B[^a-z ]+", "\\b\\w+\\b", "\\\\u00e9\\b",
                                       "\\bS.A", "\\b\\577", "\\b\\o{20452}"}) {
        auto m = compiled(expression);
        ASSERT_TRUE(m);
        for (std::size_t from = 0; from <= text.size(); ++from) {
            for (const anchor where : {anchor::unanchored, anchor::at_start}) {
                found_match without_utf, with_utf;
                const search_result a = m->search(search_text(text), from, where, without_utf);
                const search_result b = m->search(search_text(after_e), from + e.size(), where, with_utf);
                ASSERT_EQ(a, b) << from;
                if (a != search_result::found) continue;
                const std::size_t o = e.size();
                EXPECT_EQ(std::tuple(without_utf.attempt + o, without_utf.begin + o, without_utf.end + o),
                          std::tuple(with_utf.attempt, with_utf.begin, with_utf.end))
                    << from;
            }
        }
    }
    // The Kelvin sign folds to k, so it finds the k of "10k".
    found_match m;
    auto kelvin = compiled("\\b\u212A");
    ASSERT_EQ(find(*kelvin, "10 k", m), search_result::found);
    EXPECT_EQ(m.begin, 3u);
}

// Whether a line holds ASCII characters alone, read sixteen bytes at a time and then one
// by one: every byte at or above 0x80 counts, wherever it stands. Likewise an equivalent
// outside ASCII of a letter, wherever it stands, is never missed.
TEST(SearchText, KnowsAnAsciiLineFromAnyOther) {
    for (std::size_t length = 0; length <= 40; ++length) {
        const std::string ascii(length, char(0x7F));
        EXPECT_TRUE(search_text(ascii).is_ascii()) << length;
        EXPECT_FALSE(search_text(ascii).may_hold_equivalents()) << length;
        for (std::size_t at = 0; at < length; ++at) {
            for (const unsigned char byte : {0x80, 0xC5, 0xE2, 0xED, 0xFF}) {
                std::string text = ascii;
                text[at] = static_cast<char>(byte);
                EXPECT_FALSE(search_text(text).is_ascii()) << length << " " << at << " " << unsigned{byte};
            }
            for (const ascii_case_equivalent& e : ascii_case_equivalents) {
                const std::string text = ascii.substr(0, at) + std::string(e.bytes) + ascii.substr(at);
                EXPECT_TRUE(search_text(text).may_hold_equivalents()) << length << " " << at << " " << e.letter;
            }
        }
    }
}

// A search from inside a text sees the rest as a text of its own and reports offsets in
// the whole text. A search that finds nothing leaves the match alone: the painter keeps
// its remembered match there.
TEST(Matcher, SearchFromAPlaceInTheText) {
    const std::string lone = "\xED\xB3\xBF";  // an escaped byte
    using result = std::optional<std::tuple<std::size_t, std::size_t, std::size_t>>;  // attempt, begin, end
    const struct {
        std::string expression, text;
        std::size_t from;
        anchor where;
        result expected;
    } cases[] = {
        {"\\bfoo", "xfoo", 1, anchor::unanchored, std::tuple(1, 1, 4)},
        {"\\Bfoo", "xfoo", 1, anchor::unanchored, std::nullopt},
        {"\\Bfoo", "xfoo", 0, anchor::unanchored, std::tuple(1, 1, 4)},
        {"^a", "aaa", 2, anchor::unanchored, std::tuple(2, 2, 3)},
        {"^a", "aaa", 2, anchor::at_start, std::tuple(2, 2, 3)},
        {"(?<=x)foo", "xfoo", 1, anchor::unanchored, std::nullopt},
        {"a\\Kb", "xxab", 1, anchor::unanchored, std::tuple(2, 3, 4)},
        {"a\\Kb", "xxab", 2, anchor::at_start, std::tuple(2, 3, 4)},
        {"a\\Kb", "xxab", 1, anchor::at_start, std::nullopt},
        {"b", "abab", 2, anchor::at_start, std::nullopt},
        {"b", "abab", 1, anchor::at_start, std::tuple(1, 1, 2)},
        {"b", "abab", 2, anchor::unanchored, std::tuple(3, 3, 4)},
        // Nothing is left to search at the end.
        {"b", "ab", 2, anchor::unanchored, std::nullopt},
        {"b", "ab", 2, anchor::at_start, std::nullopt},
        // A word boundary at `from`, without UTF on an ASCII line and with it on another.
        {"\\bok\\b", "xok ok", 1, anchor::unanchored, std::tuple(1, 1, 3)},
        {"\\bok\\b", "\u00e9ok ok", 2, anchor::unanchored, std::tuple(2, 2, 4)},
        {"\\bok\\b", "xok ok", 1, anchor::at_start, std::tuple(1, 1, 3)},
        {"\\bok\\b", "xxok ok", 1, anchor::unanchored, std::tuple(5, 5, 7)},
        // A start after a byte that is no character, which PCRE2 leaves out for `.*`.
        {".*x", "zzab" + lone + "cx", 2, anchor::unanchored, std::tuple(7, 7, 9)},
        {".*x", "zzab" + lone + "cx", 7, anchor::at_start, std::tuple(7, 7, 9)},
        {".*y", "zzab" + lone + "cx", 2, anchor::unanchored, std::nullopt},
        {".*x", "zzab\x80" "cx", 2, anchor::unanchored, std::tuple(5, 5, 7)},
        // The interpreter's retry past a byte that is no character is no match at the front.
        {"a|(?(?C1)(?=x)xxxxx)", "qx" + lone + "ab", 1, anchor::at_start, std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        auto m = compiled(c.expression);
        ASSERT_TRUE(m);
        found_match found{70, 80, 90};
        const search_result r = m->search(search_text(c.text), c.from, c.where, found);
        ASSERT_EQ(r, c.expected ? search_result::found : search_result::none) << "case " << i;
        EXPECT_EQ(std::tuple(found.attempt, found.begin, found.end), c.expected.value_or(std::tuple(70, 80, 90)))
            << "case " << i;
    }
}

// Even an expression with a code without UTF searches a line that is not ASCII as UTF-8:
// whole characters, case folded beyond ASCII, a byte that is no character matching nothing.
TEST(Matcher, ALineThatIsNotAsciiIsSearchedAsUtf8) {
    EXPECT_EQ(first("\\Bk", "\u212A"), (span{0, 3}));
    EXPECT_EQ(first("\\Bs\\B", "x \u017F"), (span{2, 4}));
    EXPECT_EQ(first("\\ba.b", "a\x80" "b"), std::nullopt);
    EXPECT_EQ(first("\\ba.b", "a\xED\xB2\x80" "b"), std::nullopt);
    EXPECT_EQ(first("\\B..\\B", "\U0001F600\U0001F600"), (span{0, 8}));
}

}  // namespace
}  // namespace huecast

namespace huecast {
namespace {

// A plain word is found without PCRE2: it must find exactly what PCRE2 finds for the same
// word in a group, from every place, with either anchor, folding case as PCRE2 does.
TEST(Matcher, APlainWordFindsWhatTheEngineFinds) {
    const std::string_view words[] = {"kilo", "SKIS", "is", "a-b: c/d=e", "GET /api", "x", "10.", "it"};
    const std::string no_characters = "\x80" "x\xF0\x9F\x98 \xED\xB2\x80" "x";
    std::vector<std::string> lines = {
        "kilo KILO \u212Ailo \u212AILO skis S\u017FIS ski\u017F \u0131s \u0130S is",
        "a-b: c/d=e A-B: C/D=E a-b:c/d=e", "get /api GET /API GET/api \U0001F600x" + no_characters,
        "10.5 10,5 10. It \u0131t \u0130T", "", "x"};
    // Every length up to a few blocks of sixteen, with the word's letters at the very end.
    for (std::size_t n = 0; n < 40; ++n) lines.push_back(std::string(n, '.') + "KiSiT");
    for (const std::string_view word : words) {
        auto plain = compiled(word);
        auto grouped = compiled("(?:" + std::string(word) + ")");
        ASSERT_TRUE(plain && grouped);
        for (const std::string& line : lines) {
            const search_text text(line);
            for (std::size_t from = 0; from <= line.size(); ++from) {
                for (const anchor where : {anchor::unanchored, anchor::at_start}) {
                    found_match a{99, 99, 99}, b{99, 99, 99};
                    const search_result ra = plain->search(text, from, where, a);
                    const search_result rb = grouped->search(text, from, where, b);
                    ASSERT_EQ(ra, rb) << testing::shown(word) << " in " << testing::shown(line) << " from " << from;
                    EXPECT_EQ(std::tie(a.attempt, a.begin, a.end), std::tie(b.attempt, b.begin, b.end));
                }
            }
        }
    }
}

}  // namespace
}  // namespace huecast
