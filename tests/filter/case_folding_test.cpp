// The case folding that literals are compared with, checked against PCRE2 itself.
#include "filter/case_folding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "filter/matcher.h"
#include "io/utf16.h"
#include "random_filters.h"

namespace huecast {
namespace {

using testing::shown;

// The fold the prefilter applies to lines must be PCRE2's: an ASCII character of a filter
// matches exactly its own cases and the listed equivalents. A PCRE2 that folds differently
// fails here instead of losing colour.
TEST(CaseEquivalents, AreExactlyThoseThatPcre2Folds) {
    std::vector<std::pair<char16_t, char16_t>> expected;
    for (const ascii_case_equivalent& e : ascii_case_equivalents) expected.emplace_back(e.unit, e.letter);
    std::sort(expected.begin(), expected.end());

    // Each letter as a filter against every unit of the BMP outside ASCII.
    std::vector<std::pair<char16_t, char16_t>> found;
    for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
        auto m = matcher::compile(std::u16string(1, letter));
        ASSERT_TRUE(m.has_value());
        for (std::uint32_t u = 0x80; u <= 0xFFFF; ++u) {
            if (io::utf16::is_surrogate(static_cast<char16_t>(u))) continue;
            const char16_t unit = static_cast<char16_t>(u);
            found_match match;
            if (m->search(search_text(std::u16string_view(&unit, 1)), 0, anchor::unanchored, match) ==
                search_result::found) {
                found.emplace_back(unit, letter);
            }
        }
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);

    // Every ASCII character at once, against everything outside ASCII including the astral
    // planes: only the equivalents match.
    auto any_ascii = matcher::compile(u"[\\x00-\\x7f]");
    ASSERT_TRUE(any_ascii.has_value());
    std::vector<std::uint32_t> matched;
    for (std::uint32_t cp = 0x80; cp <= 0x10FFFF; ++cp) {
        if (!io::utf16::is_scalar_value(cp)) continue;
        std::u16string text;
        if (cp < 0x10000) {
            text = std::u16string(1, static_cast<char16_t>(cp));
        } else {
            text = {io::utf16::high_surrogate_of(cp), io::utf16::low_surrogate_of(cp)};
        }
        found_match match;
        if (any_ascii->search(search_text(text), 0, anchor::unanchored, match) == search_result::found) {
            matched.push_back(cp);
        }
    }
    std::vector<std::uint32_t> units;
    for (const auto& e : expected) units.push_back(e.first);
    EXPECT_EQ(matched, units);

    // Letters of other cases and characters whose full folding is several ASCII letters.
    const std::vector<std::pair<std::u16string, std::u16string>> not_folded = {
        {u"i", u"\u0130"}, {u"i", u"\u0131"}, {u"ss", u"\u00DF"}, {u"ss", u"\u1E9E"}, {u"ff", u"\uFB00"},
        {u"fi", u"\uFB01"}, {u"fl", u"\uFB02"}, {u"ffi", u"\uFB03"}, {u"ffl", u"\uFB04"}, {u"st", u"\uFB05"},
        {u"st", u"\uFB06"}};
    for (const auto& [expression, text] : not_folded) {
        auto m = matcher::compile(expression);
        ASSERT_TRUE(m.has_value());
        found_match match;
        EXPECT_EQ(m->search(search_text(text), 0, anchor::unanchored, match), search_result::none)
            << shown(expression) << " on " << shown(text);
    }
}

}  // namespace
}  // namespace huecast
