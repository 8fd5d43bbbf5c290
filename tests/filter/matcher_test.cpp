// The filter dialect as the matcher compiles it, and the questions it answers.
#include "filter/matcher.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <tuple>

#include "random_filters.h"

namespace huecast {
namespace {

std::optional<matcher> compiled(std::u16string_view expression, const match_limits& limits = {}) {
    auto m = matcher::compile(expression, limits);
    EXPECT_TRUE(m) << "did not compile";
    if (!m) return std::nullopt;
    return std::move(m).value();
}

// A search of the whole of `text`.
search_result find(matcher& m, std::u16string_view text, found_match& found, anchor where = anchor::unanchored) {
    return m.search(search_text(text), 0, where, found);
}

// [begin, end) of the first non-empty match, or nothing.
std::optional<std::pair<std::size_t, std::size_t>> first(std::u16string_view expression, std::u16string_view text) {
    auto m = compiled(expression);
    found_match found;
    if (!m || find(*m, text, found) != search_result::found) return std::nullopt;
    return std::pair{found.begin, found.end};
}

using span = std::pair<std::size_t, std::size_t>;

TEST(Matcher, InvalidExpressionsReportPcre2sMessageAndOffset) {
    const struct {
        std::u16string expression, message;
        std::size_t offset;
    } cases[] = {
        {u"(abc", u"missing closing parenthesis", 4},
        {u"a{2,1}", u"numbers out of order in {} quantifier", 5},
        // A lone surrogate cannot be part of an expression.
        {std::u16string(u"a") + char16_t(0xDC80), u"invalid character in the locale's encoding", 1},
        // One 16-bit unit: a piece could end between the halves of a pair.
        {u"x(a|\\C)", u"\\C is not allowed (it can match half of a character)", 6},
    };
    for (const auto& c : cases) {
        const auto m = matcher::compile(c.expression);
        ASSERT_FALSE(m) << c.offset;
        EXPECT_EQ(m.error().message, c.message);
        EXPECT_EQ(m.error().offset, c.offset) << c.offset;
    }
}

// A byte that did not decode reaches the expression as a lone surrogate; the user is told
// that, with where it is, rather than PCRE2's words about UTF-16.
TEST(Matcher, ALoneSurrogateInTheExpressionIsAnInvalidCharacter) {
    const std::u16string undecoded_low(1, char16_t(0xDC80)), undecoded_high(1, char16_t(0xDCFF));
    const std::u16string high_half(1, char16_t(0xD83D)), low_half(1, char16_t(0xDE00));
    const std::u16string pair = u"\U0001F600";
    const struct {
        std::u16string expression;
        std::size_t offset;
    } cases[] = {
        {undecoded_high, 0},
        {u"ab" + undecoded_low + u"c", 2},
        {u"[x" + undecoded_low + u"]", 2},
        {u"(" + undecoded_low, 1},  // found before the missing parenthesis
        {u"ab" + high_half, 2},
        {high_half + u"x", 0},
        {pair + undecoded_low, 2},  // after a whole pair
        {low_half + pair, 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto m = matcher::compile(cases[i].expression);
        ASSERT_FALSE(m) << "case " << i;
        EXPECT_EQ(m.error().message, u"invalid character in the locale's encoding") << "case " << i;
        EXPECT_EQ(m.error().offset, cases[i].offset) << "case " << i;
    }
    EXPECT_TRUE(matcher::compile(u"x" + pair + u"y"));
}

TEST(Matcher, CaseIsFoldedBeyondAscii) {
    EXPECT_EQ(first(u"error", u"An ERROR"), (span{3, 8}));
    EXPECT_EQ(first(u"ошибка", u"ОШИБКА!"), (span{0, 6}));
    EXPECT_EQ(first(u"é", u"CAFÉ"), (span{3, 4}));
}

TEST(Matcher, DotEndAndWordRulesFollowTheDialect) {
    // `.` matches neither CR nor LF, but does take a whole pair above U+FFFF.
    EXPECT_EQ(first(u"a.b", u"a\rb"), std::nullopt);
    EXPECT_EQ(first(u"a.b", u"a\nb"), std::nullopt);
    EXPECT_EQ(first(u"a.b", u"a\tb"), (span{0, 3}));
    EXPECT_EQ(first(u"^.$", u"\U0001F600"), (span{0, 2}));
    // `$` only at the very end, not before a final line end.
    EXPECT_EQ(first(u"a$", u"a\n"), std::nullopt);
    EXPECT_EQ(first(u"a$", u"xa"), (span{1, 2}));
    // \w, \d and \b are ASCII only.
    EXPECT_EQ(first(u"\\w", u"é"), std::nullopt);
    EXPECT_EQ(first(u"\\d", u"\u0663"), std::nullopt);
    EXPECT_EQ(first(u"x\\b", u"xé"), (span{0, 1}));
}

TEST(Matcher, EcmascriptEscapesAndClasses) {
    EXPECT_EQ(first(u"\\u0041", u"xa"), (span{1, 2}));
    EXPECT_EQ(first(u"\\x41", u"A"), (span{0, 1}));
    EXPECT_EQ(first(u"\\u{1F600}", u"x\U0001F600"), (span{1, 3}));
    // An empty class matches nothing; its negation matches any character, CR included.
    EXPECT_EQ(first(u"a[]", u"a"), std::nullopt);
    EXPECT_EQ(first(u"a[^]b", u"a\rb"), (span{0, 3}));
    // A back-reference to a group that did not take part matches the empty string.
    EXPECT_EQ(first(u"(x)?\\1b", u"b"), (span{0, 1}));
}

TEST(Matcher, EmptyMatchesNeverCount) {
    EXPECT_EQ(first(u"x*|foo", u"foo"), (span{0, 3}));
    EXPECT_EQ(first(u"a*", u"baa"), (span{1, 3}));
    EXPECT_EQ(first(u"x*", u"abc"), std::nullopt);
    EXPECT_EQ(first(u"", u"abc"), std::nullopt);
    EXPECT_EQ(first(u"$", u"abc"), std::nullopt);
    EXPECT_EQ(first(u"^", u""), std::nullopt);
}

TEST(Matcher, LoneSurrogatesNeverMatchAndNeverStopTheSearch) {
    const std::u16string text = std::u16string(u"a") + char16_t(0xDC80) + u"b" + char16_t(0xD83D);
    EXPECT_EQ(first(u"a.b", text), std::nullopt);
    EXPECT_EQ(first(u"[^x]{2}", text), std::nullopt);
    EXPECT_EQ(first(u"b", text), (span{2, 3}));
    EXPECT_EQ(first(u"\\bb\\b", text), (span{2, 3}));
    EXPECT_EQ(first(u"b$", text), std::nullopt);

    // An expression that begins with `.*` is tried where a lone surrogate ends, too; (?s)
    // and a `^` branch change nothing there, and the first run still comes first.
    const std::u16string after = std::u16string(u"ab") + char16_t(0xDCFF) + u"cx" + char16_t(0xDC80) + u"dx";
    EXPECT_EQ(first(u".*", after), (span{0, 2}));
    EXPECT_EQ(first(u".*x", after), (span{3, 5}));
    EXPECT_EQ(first(u"(?s).*x", after), (span{3, 5}));
    EXPECT_EQ(first(u"^c|.*d", after), (span{6, 7}));
    EXPECT_EQ(first(u".*", std::u16string(1, char16_t(0xDCFF)) + u"b a"), (span{1, 4}));
}

// `\N` is `.` by another name, and PCRE2 tries `\N*` at as few starts as `.*`.
TEST(Matcher, ARunOfBackslashNIsTriedAfterALoneSurrogateToo) {
    const std::u16string after = std::u16string(u"ab") + char16_t(0xDCFF) + u"cx";
    EXPECT_EQ(first(u"\\N*x", after), (span{3, 5}));
    EXPECT_EQ(first(u"\\N*x", u"ab\ncx"), (span{3, 5}));
}

TEST(Matcher, FrontOnlyAndReportedStart) {
    auto m = compiled(u"b");
    found_match found;
    EXPECT_EQ(find(*m, u"ab", found, anchor::at_start), search_result::none);
    EXPECT_EQ(find(*m, u"ba", found, anchor::at_start), search_result::found);
    // Not even past a lone surrogate, where the text goes on as a run of its own; a callout
    // right before an assertion condition keeps the expression off JIT.
    const std::u16string split = std::u16string(u"x") + char16_t(0xDCFF) + u"ab";
    auto a = compiled(u"a");
    auto interpreted = compiled(u"a|(?(?C1)(?=x)xxxxx)");
    EXPECT_EQ(find(*a, split, found, anchor::at_start), search_result::none);
    EXPECT_EQ(find(*interpreted, split, found, anchor::at_start), search_result::none);

    // \K moves the reported start past where the attempt began.
    auto k = compiled(u"a\\Kb");
    ASSERT_EQ(find(*k, u"xab", found), search_result::found);
    EXPECT_EQ(found.attempt, 1u);
    EXPECT_EQ(found.begin, 2u);
    EXPECT_EQ(found.end, 3u);
}

TEST(Matcher, RunawayBacktrackingGivesUp) {
    const std::u16string text = std::u16string(40, u'a') + u"b";
    auto m = compiled(u"(a+)+$");
    found_match found;
    EXPECT_EQ(find(*m, text, found), search_result::gave_up);
    // The same under tight limits on a short line, and for the front-only question.
    match_limits tight;
    tight.steps = 1000;
    auto t = compiled(u"(a+)+$", tight);
    found = {7, 8, 9};
    EXPECT_EQ(find(*t, std::u16string(20, u'a') + u"b", found), search_result::gave_up);
    EXPECT_EQ(find(*t, std::u16string(20, u'a') + u"b", found, anchor::at_start), search_result::gave_up);
    // The match is left alone.
    EXPECT_EQ(std::tuple(found.attempt, found.begin, found.end), std::tuple(7u, 8u, 9u));
}

TEST(Matcher, KnowsWhichExpressionsLookFurtherBack) {
    EXPECT_FALSE(compiled(u"error")->reaches_behind_start());
    EXPECT_FALSE(compiled(u"\\bok\\b")->reaches_behind_start());
    EXPECT_FALSE(compiled(u"^a|\\Ba(?=b)")->reaches_behind_start());
    EXPECT_TRUE(compiled(u"(?<=x)foo")->reaches_behind_start());
    EXPECT_TRUE(compiled(u"(?<!x)foo")->reaches_behind_start());
    EXPECT_TRUE(compiled(u"a(*SKIP)(*F)|b")->reaches_behind_start());
}

TEST(Matcher, VeryLongTextsAreSearchedWithoutTrouble) {
    std::u16string text(4'000'000, u'a');
    text += u"b";
    found_match found;
    auto m = compiled(u"a.*b");
    ASSERT_EQ(find(*m, text, found), search_result::found);
    EXPECT_EQ(found.end, text.size());
    auto alternation = compiled(u"(?:a|c)+b");
    ASSERT_EQ(find(*alternation, text, found), search_result::found);
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
    const std::u16string text = u"ok Kelvin 10k, s and S; \\u00e9 x{17F}";
    const std::u16string after_e = u"\u00e9" + text;
    for (const char16_t* expression : {u"\\bok\\b", u"k", u"\u212A", u"\\u212a", u"\u017F", u"[\\u2000-\\u3000]+",
                                       u"\\x{17F}", u"\\d+k", u"[^a-z ]+", u"\\w+", u"\\\\u00e9", u"S.A",
                                       // Only an expression with a word boundary has a code without UTF.
                                       u"\\bk", u"\\b\u212A", u"\\b\\u212a", u"\u017F\\b", u"\\b[\\u2000-\\u3000]+",
                                       u"\\b\\x{17F}", u"\\b\\d+k", u"\\B[^a-z ]+", u"\\b\\w+\\b", u"\\\\u00e9\\b",
                                       u"\\bS.A", u"\\b\\577", u"\\b\\o{20452}"}) {
        auto m = compiled(expression);
        ASSERT_TRUE(m);
        for (std::size_t from = 0; from <= text.size(); ++from) {
            for (const anchor where : {anchor::unanchored, anchor::at_start}) {
                found_match without_utf, with_utf;
                const search_result a = m->search(search_text(text), from, where, without_utf);
                const search_result b = m->search(search_text(after_e), from + 1, where, with_utf);
                ASSERT_EQ(a, b) << from;
                if (a != search_result::found) continue;
                EXPECT_EQ(std::tuple(without_utf.attempt + 1, without_utf.begin + 1, without_utf.end + 1),
                          std::tuple(with_utf.attempt, with_utf.begin, with_utf.end))
                    << from;
            }
        }
    }
    // The Kelvin sign folds to k, so it finds the k of "10k".
    found_match m;
    auto kelvin = compiled(u"\\b\u212A");
    ASSERT_EQ(find(*kelvin, u"10 k", m), search_result::found);
    EXPECT_EQ(m.begin, 3u);
}

// Whether a line holds ASCII characters alone, read sixteen units at a time and then one
// by one: every unit at or above U+0080 counts, wherever it stands.
TEST(SearchText, KnowsAnAsciiLineFromAnyOther) {
    for (std::size_t length = 0; length <= 40; ++length) {
        const std::u16string ascii(length, char16_t(0x7F));
        EXPECT_TRUE(search_text(ascii).is_ascii()) << length;
        for (std::size_t at = 0; at < length; ++at) {
            for (const char16_t unit : {char16_t(0x80), char16_t(0xFF), char16_t(0x100), char16_t(0x7F80),
                                        char16_t(0xDC80), char16_t(0xFFFF)}) {
                std::u16string text = ascii;
                text[at] = unit;
                EXPECT_FALSE(search_text(text).is_ascii()) << length << " " << at << " " << unsigned{unit};
            }
        }
    }
}

// A search from inside a text sees the rest as a text of its own and reports offsets in
// the whole text. A search that finds nothing leaves the match alone: the painter keeps
// its remembered match there.
TEST(Matcher, SearchFromAPlaceInTheText) {
    const std::u16string lone(1, char16_t(0xDCFF));
    using result = std::optional<std::tuple<std::size_t, std::size_t, std::size_t>>;  // attempt, begin, end
    const struct {
        std::u16string expression, text;
        std::size_t from;
        anchor where;
        result expected;
    } cases[] = {
        {u"\\bfoo", u"xfoo", 1, anchor::unanchored, std::tuple(1, 1, 4)},
        {u"\\Bfoo", u"xfoo", 1, anchor::unanchored, std::nullopt},
        {u"\\Bfoo", u"xfoo", 0, anchor::unanchored, std::tuple(1, 1, 4)},
        {u"^a", u"aaa", 2, anchor::unanchored, std::tuple(2, 2, 3)},
        {u"^a", u"aaa", 2, anchor::at_start, std::tuple(2, 2, 3)},
        {u"(?<=x)foo", u"xfoo", 1, anchor::unanchored, std::nullopt},
        {u"a\\Kb", u"xxab", 1, anchor::unanchored, std::tuple(2, 3, 4)},
        {u"a\\Kb", u"xxab", 2, anchor::at_start, std::tuple(2, 3, 4)},
        {u"a\\Kb", u"xxab", 1, anchor::at_start, std::nullopt},
        {u"b", u"abab", 2, anchor::at_start, std::nullopt},
        {u"b", u"abab", 1, anchor::at_start, std::tuple(1, 1, 2)},
        {u"b", u"abab", 2, anchor::unanchored, std::tuple(3, 3, 4)},
        // Nothing is left to search at the end.
        {u"b", u"ab", 2, anchor::unanchored, std::nullopt},
        {u"b", u"ab", 2, anchor::at_start, std::nullopt},
        // A word boundary at `from`, without UTF on an ASCII line and with it on another.
        {u"\\bok\\b", u"xok ok", 1, anchor::unanchored, std::tuple(1, 1, 3)},
        {u"\\bok\\b", u"\u00e9ok ok", 1, anchor::unanchored, std::tuple(1, 1, 3)},
        {u"\\bok\\b", u"xok ok", 1, anchor::at_start, std::tuple(1, 1, 3)},
        {u"\\bok\\b", u"xxok ok", 1, anchor::unanchored, std::tuple(5, 5, 7)},
        // A start after a lone surrogate that PCRE2 leaves out for `.*`.
        {u".*x", u"zzab" + lone + u"cx", 2, anchor::unanchored, std::tuple(5, 5, 7)},
        {u".*x", u"zzab" + lone + u"cx", 5, anchor::at_start, std::tuple(5, 5, 7)},
        {u".*y", u"zzab" + lone + u"cx", 2, anchor::unanchored, std::nullopt},
        // The interpreter's retry past a lone surrogate is no match at the front.
        {u"a|(?(?C1)(?=x)xxxxx)", u"qx" + lone + u"ab", 1, anchor::at_start, std::nullopt},
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

// Even an expression with a code without UTF searches a line that is not ASCII as UTF-16:
// whole characters, case folded beyond ASCII, a lone surrogate matching nothing.
TEST(Matcher, ALineThatIsNotAsciiIsSearchedAsUtf16) {
    const std::u16string lone(1, char16_t(0xDC80));
    EXPECT_EQ(first(u"\\Bk", u"\u212A"), (span{0, 1}));
    EXPECT_EQ(first(u"\\Bs\\B", u"x \u017F"), (span{2, 3}));
    EXPECT_EQ(first(u"\\ba.b", u"a" + lone + u"b"), std::nullopt);
    EXPECT_EQ(first(u"\\B..\\B", u"\U0001F600\U0001F600"), (span{0, 4}));
}

}  // namespace
}  // namespace huecast

namespace huecast {
namespace {

// A plain word is found without PCRE2: it must find exactly what PCRE2 finds for the same
// word in a group, from every place, with either anchor, folding case as PCRE2 does.
TEST(Matcher, APlainWordFindsWhatTheEngineFinds) {
    const std::u16string_view words[] = {u"kilo", u"SKIS", u"is", u"a-b: c/d=e", u"GET /api", u"x", u"10.", u"it"};
    const std::u16string lone = std::u16string(1, char16_t(0xDC80)) + u"x" + char16_t(0xD83D);
    std::vector<std::u16string> lines = {
        u"kilo KILO \u212Ailo \u212AILO skis S\u017FIS ski\u017F \u0131s \u0130S is",
        u"a-b: c/d=e A-B: C/D=E a-b:c/d=e", u"get /api GET /API GET/api \U0001F600x" + lone,
        u"10.5 10,5 10. It \u0131t \u0130T", u"", u"x"};
    // Every length up to a few blocks of eight, with the word's letters at the very end.
    for (std::size_t n = 0; n < 40; ++n) lines.push_back(std::u16string(n, u'.') + u"KiSiT");
    for (const std::u16string_view word : words) {
        auto plain = compiled(word);
        auto grouped = compiled(u"(?:" + std::u16string(word) + u")");
        ASSERT_TRUE(plain && grouped);
        for (const std::u16string& line : lines) {
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
