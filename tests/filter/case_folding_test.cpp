// The case folding that literals are compared with, checked against PCRE2 itself.
#include "filter/match/case_folding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "filter/match/matcher.h"
#include "io/utf8.h"
#include "random_filters.h"

namespace huecast {
namespace {

using testing::shown;

// Every code point above U+007F but the surrogates, each as UTF-8, one after another.
const std::string& everything_outside_ascii() {
    static const std::string text = [] {
        std::string t;
        for (std::uint32_t cp = 0x80; cp <= 0x10FFFF; ++cp) {
            if (cp < 0xD800 || cp > 0xDFFF) io::utf8::append_code_point(t, cp);
        }
        return t;
    }();
    return text;
}

// The characters of that text that `expression` matches, as PCRE2 finds them: in a group, so
// that a plain word is not searched for without it.
std::vector<std::string> matched_outside_ascii(const std::string& expression) {
    auto m = matcher::compile("(?:" + expression + ")");
    EXPECT_TRUE(m.has_value()) << shown(expression);
    std::vector<std::string> found;
    if (!m) return found;
    const std::string& text = everything_outside_ascii();
    const search_text whole(text);
    found_match match;
    for (std::size_t from = 0;
         from < text.size() && m->search(whole, from, anchor::unanchored, match) == search_result::found;
         from = match.end) {
        found.push_back(text.substr(match.begin, match.end - match.begin));
    }
    return found;
}

// The fold the prefilter applies to lines must be PCRE2's: an ASCII character of a filter
// matches exactly its own cases and the listed equivalents. A PCRE2 that folds differently
// fails here instead of losing colour.
TEST(CaseEquivalents, AreExactlyThoseThatPcre2Folds) {
    std::vector<std::pair<std::string, char>> expected;
    for (const ascii_case_equivalent& e : ascii_case_equivalents) expected.emplace_back(e.bytes, e.letter);
    std::sort(expected.begin(), expected.end());

    // Each letter as a filter against every character outside ASCII.
    std::vector<std::pair<std::string, char>> found;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        for (std::string& bytes : matched_outside_ascii(std::string(1, letter))) found.emplace_back(bytes, letter);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);

    // Every ASCII character at once: only the equivalents match.
    std::vector<std::string> equivalents;
    for (const auto& e : expected) equivalents.push_back(e.first);
    EXPECT_EQ(matched_outside_ascii("[\\x00-\\x7f]"), equivalents);

    // Letters of other cases and characters whose full folding is several ASCII letters.
    const std::vector<std::pair<std::string, std::string>> not_folded = {
        {"i", "\u0130"}, {"i", "\u0131"}, {"ss", "\u00DF"}, {"ss", "\u1E9E"}, {"ff", "\uFB00"},
        {"fi", "\uFB01"}, {"fl", "\uFB02"}, {"ffi", "\uFB03"}, {"ffl", "\uFB04"}, {"st", "\uFB05"},
        {"st", "\uFB06"}};
    for (const auto& [expression, text] : not_folded) {
        auto m = matcher::compile("(?:" + expression + ")");
        ASSERT_TRUE(m.has_value());
        found_match match;
        EXPECT_EQ(m->search(search_text(text), 0, anchor::unanchored, match), search_result::none)
            << shown(expression) << " on " << shown(text);
    }
}

}  // namespace
}  // namespace huecast
