// The filter dialect as the matcher compiles it, and the questions it answers.
#include "filter/matcher.h"

#include <gtest/gtest.h>

#include <optional>

namespace huecast {
namespace {

std::optional<matcher> compiled(std::u16string_view expression, const match_limits& limits = {}) {
    auto m = matcher::compile(expression, limits);
    EXPECT_TRUE(m) << "did not compile";
    if (!m) return std::nullopt;
    return std::move(m).value();
}

// [begin, end) of the first non-empty match, or nothing.
std::optional<std::pair<std::size_t, std::size_t>> first(std::u16string_view expression, std::u16string_view text) {
    auto m = compiled(expression);
    found_match found;
    if (!m || m->find(text, found) != search_result::found) return std::nullopt;
    return std::pair{found.begin, found.end};
}

using span = std::pair<std::size_t, std::size_t>;

TEST(Matcher, InvalidExpressionsReportPcre2sMessageAndOffset) {
    auto unclosed = matcher::compile(u"(abc");
    ASSERT_FALSE(unclosed);
    EXPECT_EQ(unclosed.error().message, u"missing closing parenthesis");
    EXPECT_EQ(unclosed.error().offset, 4u);

    auto disordered = matcher::compile(u"a{2,1}");
    ASSERT_FALSE(disordered);
    EXPECT_EQ(disordered.error().message, u"numbers out of order in {} quantifier");
    // A lone surrogate cannot be part of an expression.
    auto lone = matcher::compile(std::u16string(u"a") + char16_t(0xDC80));
    ASSERT_FALSE(lone);
    EXPECT_EQ(lone.error().offset, 1u);
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

TEST(Matcher, FrontOnlyAndReportedStart) {
    auto m = compiled(u"b");
    found_match found;
    EXPECT_EQ(m->find_at_front(u"ab", found), search_result::none);
    EXPECT_EQ(m->find_at_front(u"ba", found), search_result::found);
    // Not even past a lone surrogate, where the text goes on as a run of its own; \C keeps
    // the expression off JIT.
    const std::u16string split = std::u16string(u"x") + char16_t(0xDCFF) + u"ab";
    EXPECT_EQ(compiled(u"a")->find_at_front(split, found), search_result::none);
    EXPECT_EQ(compiled(u"a|\\C\\C\\C\\C\\C")->find_at_front(split, found), search_result::none);

    // \K moves the reported start past where the attempt began.
    auto k = compiled(u"a\\Kb");
    ASSERT_EQ(k->find(u"xab", found), search_result::found);
    EXPECT_EQ(found.attempt, 1u);
    EXPECT_EQ(found.begin, 2u);
    EXPECT_EQ(found.end, 3u);
}

TEST(Matcher, RunawayBacktrackingGivesUp) {
    const std::u16string text = std::u16string(40, u'a') + u"b";
    auto m = compiled(u"(a+)+$");
    found_match found;
    EXPECT_EQ(m->find(text, found), search_result::gave_up);
    // The same under tight limits on a short line, and for the front-only question.
    match_limits tight;
    tight.steps = 1000;
    auto t = compiled(u"(a+)+$", tight);
    EXPECT_EQ(t->find(std::u16string(20, u'a') + u"b", found), search_result::gave_up);
    EXPECT_EQ(t->find_at_front(std::u16string(20, u'a') + u"b", found), search_result::gave_up);
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
    ASSERT_EQ(m->find(text, found), search_result::found);
    EXPECT_EQ(found.end, text.size());
    auto alternation = compiled(u"(?:a|c)+b");
    ASSERT_EQ(alternation->find(text, found), search_result::found);
    EXPECT_EQ(found.begin, 0u);
}

}  // namespace
}  // namespace huecast

namespace huecast {
namespace {

// On a text of ASCII characters alone the matcher may search without UTF; it must find
// what the UTF search finds, also where case folding leads out of ASCII and back.
TEST(Matcher, AsciiTextsGiveTheSameMatchesWithoutUtf) {
    const std::u16string_view text = u"ok Kelvin 10k, s and S; \\u00e9 x{17F}";
    for (const char16_t* expression : {u"\\bok\\b", u"k", u"\u212A", u"\\u212a", u"\u017F", u"[\\u2000-\\u3000]+",
                                       u"\\x{17F}", u"\\d+k", u"[^a-z ]+", u"\\w+", u"\\\\u00e9", u"S.A"}) {
        auto m = compiled(expression);
        ASSERT_TRUE(m);
        for (std::size_t from = 0; from < text.size(); ++from) {
            found_match with_utf, without;
            const search_result a = m->find(text.substr(from), with_utf, false);
            const search_result b = m->find(text.substr(from), without, true);
            ASSERT_EQ(a, b) << from;
            if (a == search_result::found) {
                EXPECT_EQ(std::pair(with_utf.begin, with_utf.end), std::pair(without.begin, without.end)) << from;
            }
        }
    }
    // The Kelvin sign folds to k, so it finds the k of "10k".
    found_match m;
    ASSERT_EQ(compiled(u"\u212A")->find(u"10k", m, true), search_result::found);
    EXPECT_EQ(m.begin, 2u);
}

}  // namespace
}  // namespace huecast
