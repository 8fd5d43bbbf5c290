// The painter against the plain loop, on random lines and random filter sets. The painter
// keeps each filter's next match from one round to the next; the plain loop searches
// everything again every round. They must cut every line the same way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "filter/painter.h"
#include "reference_painter.h"

namespace huecast {
namespace {

using testing::filter_text;

class random_filters {
public:
    explicit random_filters(std::uint32_t seed) : rng_(seed) {}

    std::u16string expression(int depth = 0) {
        static const std::vector<std::u16string> atoms = {
            u"a", u"b", u"c", u"ab", u"ba", u"A", u"é", u"-", u" ", u"1", u".", u"\\w", u"\\W", u"\\d", u"\\s",
            u"\\S", u"[ab]", u"[^a]", u"[a-c]", u"\\x41", u"\\u00e9", u"\U0001F600", u"\\.", u"[^]", u"_", u"\\C",
            // PCRE2 tries an expression that begins with `.*` only at a few starts.
            u".*", u".+",
            // Characters outside ASCII that fold to ASCII letters (the Kelvin sign, the long s).
            u"k", u"s", u"\u212A", u"\u017F", u"[\\u2000-\\u3000]", u"\\u212a"};
        static const std::vector<std::u16string> anchors = {u"^", u"$", u"\\b", u"\\B", u"\\A", u"\\z", u"\\Z", u"\\G"};
        static const std::vector<std::u16string> quantifiers = {u"*", u"+", u"?", u"*?", u"+?", u"??", u"{1,2}",
                                                                u"{0,2}?", u"{2}"};
        static const std::vector<std::u16string> behind = {u"a",   u"ab",  u"ba",     u"a.",  u"\\w\\w", u"..",
                                                           u". ", u"\\w", u"a|bc", u"\\b", u"^",      u"\\b.."};
        static const std::vector<std::u16string> special = {u"(a|b)\\1", u"a\\Kb", u"\\w\\K\\w",
                                                            u"a(*SKIP)(*F)|b", u"(*COMMIT)a", u"a(*PRUNE)b",
                                                            u"(?i)B", u"[[:<:]]a", u"a[[:>:]]",
                                                            u"(?s).*b", u".*?a|^b"};
        const int choice = depth > 3 ? 0 : pick(100);
        if (choice < 35) return one_of(atoms);
        if (choice < 50) return expression(depth + 1) + expression(depth + 1);
        if (choice < 60) return expression(depth + 1) + u"|" + expression(depth + 1);
        if (choice < 72) return u"(" + expression(depth + 1) + u")" + one_of(quantifiers);
        if (choice < 76) return u"(?:" + expression(depth + 1) + u")";
        if (choice < 86) return one_of(anchors) + expression(depth + 1);
        if (choice < 89) return (pick(2) ? u"(?=" : u"(?!") + expression(depth + 1) + u")";
        if (choice < 95) return (pick(2) ? u"(?<=" : u"(?<!") + one_of(behind) + u")" + expression(depth + 1);
        return one_of(special);
    }

    // With `ascii_only`, a line of ASCII characters alone, which the painter searches in a
    // faster way.
    std::u16string line(bool ascii_only = false) {
        static const std::vector<std::u16string> ascii_pieces = {u"a", u"a", u"b", u"c", u"k", u"K", u"s", u"S",
                                                                 u" ", u"-", u"1", u".", u"\r", u"\t", u"_"};
        if (ascii_only) {
            std::u16string text;
            const int n = pick(32);
            for (int i = 0; i < n; ++i) text += one_of(ascii_pieces);
            return text;
        }
        static const std::vector<std::u16string> pieces = {
            u"a", u"a", u"a", u"b", u"b", u"c", u"A", u"B", u" ", u" ", u"-", u"1", u".", u"é", u"É", u"\r",
            u"\t", u"_", u"\U0001F600", std::u16string(1, char16_t(0xDC80)), std::u16string(1, char16_t(0xDCFF)),
            std::u16string(1, char16_t(0xD83D))};
        std::u16string text;
        const int n = pick(32);
        for (int i = 0; i < n; ++i) text += one_of(pieces);
        return text;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

private:
    const std::u16string& one_of(const std::vector<std::u16string>& v) {
        return v[static_cast<std::size_t>(pick(static_cast<int>(v.size())))];
    }

    std::mt19937 rng_;
};

bool compiles(const std::u16string& expression) {
    return matcher::compile(expression).has_value();
}

std::string shown(std::u16string_view text) {
    std::string s;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            s += static_cast<char>(c);
        } else {
            char hex[12];
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            s += hex;
        }
    }
    return s;
}

// How many random cases a test tries: its own number, or HUECAST_DIFFERENTIAL_SEEDS for a
// longer hunt.
std::uint32_t seed_count(std::uint32_t usual) {
    const char* wanted = std::getenv("HUECAST_DIFFERENTIAL_SEEDS");
    return wanted != nullptr ? static_cast<std::uint32_t>(std::strtoul(wanted, nullptr, 10)) : usual;
}

std::string described(const std::vector<filter_text>& filters, std::u16string_view line) {
    std::string s = "line \"" + shown(line) + "\" filters";
    for (const filter_text& f : filters) s += " \"" + shown(f.text) + "\"";
    return s;
}

// Returns how many lines could not be compared: where a search reached its limit, the two
// give up at different searches (they search different texts), so the cuts may differ.
int expect_same_cuts(const std::vector<filter_text>& filters, const std::vector<std::u16string>& lines) {
    painter fast = testing::make_painter(filters);
    std::vector<segment> segments;
    int not_compared = 0;
    for (const std::u16string& line : lines) {
        bool reference_gave_up = false;
        const std::vector<segment> expected = testing::reference_paint(filters, line, reference_gave_up);
        fast.paint(line, segments);
        if (reference_gave_up || !fast.gave_up().empty()) {
            ++not_compared;
            continue;
        }
        EXPECT_EQ(segments, expected) << described(filters, line);
        if (segments != expected) break;
    }
    return not_compared;
}

TEST(Differential, RandomFiltersOnRandomLines) {
    const std::uint32_t seeds = seed_count(600);
    int compared = 0;
    int not_compared = 0;
    for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
        random_filters random(seed);
        std::vector<filter_text> filters;
        const int count = 1 + random.pick(4);
        while (static_cast<int>(filters.size()) < count) {
            std::u16string text = random.expression();
            if (!compiles(text)) continue;
            filters.push_back({static_cast<qel::ColourAttribute>(0x0A + filters.size()), std::move(text)});
        }
        std::vector<std::u16string> lines;
        for (int i = 0; i < 8; ++i) lines.push_back(random.line(i % 2 == 0));
        not_compared += expect_same_cuts(filters, lines);
        if (HasFailure()) return;
        compared += static_cast<int>(lines.size());
    }
    EXPECT_LT(not_compared * 100, compared) << not_compared << " of " << compared << " lines not compared";
}

// The painter's shortcut rests on these promises; here they are checked one search at a
// time, from every place in lines of ASCII alone (searched without UTF where the expression
// allows it) and in lines of any characters (whose ASCII rest may not be).
TEST(Differential, SearchesFromInsideALineKeepTheMatchersPromises) {
    int compared = 0;
    int not_compared = 0;
    for (std::uint32_t seed = 1, seeds = seed_count(300); seed <= seeds; ++seed) {
        random_filters random(seed);
        // Most with a word boundary in front: only such an expression has a code without UTF.
        static const char16_t* const in_front[] = {u"", u"\\b", u"\\B"};
        const std::u16string text = in_front[seed % 3] + random.expression();
        auto expression = matcher::compile(text);
        if (!expression) continue;
        for (int i = 0; i < 6; ++i) {
            const std::u16string line = random.line(i % 2 == 0);
            for (std::size_t from = 0; from <= line.size(); ++from) {
                bool gave_up = false;
                const char* broken = testing::broken_search_promise(*expression, line, from, gave_up);
                ++(gave_up ? not_compared : compared);
                ASSERT_EQ(broken, nullptr) << broken << ": from " << from << " of line \"" << shown(line)
                                           << "\", expression \"" << shown(text) << "\"";
            }
        }
    }
    EXPECT_LT(not_compared * 100, compared) << not_compared << " of " << compared << " searches not compared";
}

TEST(Differential, OverlappingFiltersOnLogLines) {
    const std::vector<filter_text> filters = {{0x0C, u"error"},
                                              {0x0E, u"warn(ing)?"},
                                              {0x0A, u"\\bok\\b"},
                                              {0x0B, u"\\d+\\.\\d+\\.\\d+\\.\\d+"},
                                              {0x0D, u"ok|okay|rror"},
                                              {0x09, u"\\d+(?=\\.)"},
                                              {0x03, u"^\\w+"}};
    static const std::vector<std::u16string> words = {u"error", u"Errors", u"warn", u"warning", u"ok", u"okay",
                                                      u"book", u"10.0.0.1", u"1.2.3", u"7", u"-", u" ", u"  ",
                                                      u"ok.", u"é", u"rror"};
    std::mt19937 rng(2024);
    std::vector<std::u16string> lines;
    for (int i = 0; i < 400; ++i) {
        std::u16string line;
        const int n = std::uniform_int_distribution<int>(0, 12)(rng);
        for (int w = 0; w < n; ++w) line += words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(rng)];
        lines.push_back(line);
    }
    EXPECT_EQ(expect_same_cuts(filters, lines), 0);
}

}  // namespace
}  // namespace huecast
