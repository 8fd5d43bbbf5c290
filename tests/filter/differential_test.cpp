// The painter against the plain loop, on random lines and random filter sets. The painter
// keeps each filter's next match from one round to the next; the plain loop searches
// everything again every round. They must cut every line the same way.
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "filter/paint/painter.h"
#include "random_filters.h"
#include "reference_painter.h"

namespace huecast {
namespace {

using testing::filter_text;
using testing::random_filters;
using testing::seed_count;
using testing::shown;

bool compiles(const std::string& expression) {
    return matcher::compile(expression).has_value();
}

std::string described(const std::vector<filter_text>& filters, std::string_view line) {
    std::string s = "line \"" + shown(line) + "\" filters";
    for (const filter_text& f : filters) s += " \"" + shown(f.text) + "\"";
    return s;
}

// Returns how many lines could not be compared: where a search reached its limit, the two
// give up at different searches (they search different texts), so the cuts may differ.
int expect_same_cuts(const std::vector<filter_text>& filters, const std::vector<std::string>& lines) {
    painter fast = testing::make_painter(filters);
    std::vector<segment> segments;
    int not_compared = 0;
    for (const std::string& line : lines) {
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
            std::string text = random.expression();
            if (!compiles(text)) continue;
            filters.push_back({static_cast<qel::ColourAttribute>(0x0A + filters.size()), std::move(text)});
        }
        std::vector<std::string> lines;
        for (int i = 0; i < 8; ++i) lines.push_back(random.line(i % 2 == 0));
        not_compared += expect_same_cuts(filters, lines);
        if (HasFailure()) return;
        compared += static_cast<int>(lines.size());
    }
    EXPECT_LT(not_compared * 100, compared) << not_compared << " of " << compared << " lines not compared";
}

// Filters that style their groups (nested, in lookarounds, before a \K, taking no part),
// now and then with the match's style empty, against the plain loop's byte by byte styles.
TEST(Differential, StyledGroupsOnRandomLines) {
    const std::optional<text_colour> styles[] = {std::nullopt, text_colour(colour_value::basic(1), colour_value()),
                                                 text_colour(colour_value(), colour_value(), text_attribute::bold)};
    for (std::uint32_t seed = 1, seeds = seed_count(400); seed <= seeds; ++seed) {
        random_filters random(seed * 104729);
        std::vector<filter_text> filters;
        while (filters.size() < 1 + static_cast<std::size_t>(seed % 4)) {
            const std::string a = random.expression(2), b = random.expression(2);
            const std::string shapes[] = {"(" + a + "(" + b + "))", "(" + a + ")\\K(" + b + ")", "(?=(" + a + "))" + b,
                                          "(" + a + ")?(" + b + ")?", a + "|(" + b + ")"};
            filter_text f{static_cast<qel::ColourAttribute>(0x0A + filters.size()),
                          shapes[random.pick(static_cast<int>(std::size(shapes)))]};
            auto expression = matcher::compile(f.text);
            if (!expression) continue;
            f.plain_match = random.pick(4) == 0;
            for (std::size_t g = random.pick(static_cast<int>(expression->group_count()) + 1); g > 0; --g) {
                f.group_styles.push_back(styles[random.pick(3)]);
            }
            filters.push_back(std::move(f));
        }
        std::vector<std::string> lines;
        for (int i = 0; i < 8; ++i) lines.push_back(random.line(i % 2 == 0));
        expect_same_cuts(filters, lines);
        if (HasFailure()) return;
    }
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
        static const char* const in_front[] = {"", "\\b", "\\B"};
        const std::string text = std::string(in_front[seed % 3]).append(random.expression());
        auto expression = matcher::compile(text);
        if (!expression) continue;
        for (int i = 0; i < 6; ++i) {
            const std::string line = random.line(i % 2 == 0);
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
    const std::vector<filter_text> filters = {{0x0C, "error"},
                                              {0x0E, "warn(ing)?"},
                                              {0x0A, "\\bok\\b"},
                                              {0x0B, "\\d+\\.\\d+\\.\\d+\\.\\d+"},
                                              {0x0D, "ok|okay|rror"},
                                              {0x09, "\\d+(?=\\.)"},
                                              {0x03, "^\\w+"},
                                              // Searched only in lines with an "@", and with an "=" or a ":".
                                              {0x06, "[^\\s@]+@\\w+"},
                                              {0x07, " \\K\\w+(?==)|\\d:"}};
    static const std::vector<std::string> words = {"error", "Errors", "warn", "warning", "ok", "okay",
                                                      "book", "10.0.0.1", "1.2.3", "7", "-", " ", "  ",
                                                      "ok.", "é", "rror", "a@b", "=", "k=v", "4:"};
    std::mt19937 rng(2024);
    std::vector<std::string> lines;
    for (int i = 0; i < 400; ++i) {
        std::string line;
        const int n = std::uniform_int_distribution<int>(0, 12)(rng);
        for (int w = 0; w < n; ++w) line += words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(rng)];
        lines.push_back(line);
    }
    EXPECT_EQ(expect_same_cuts(filters, lines), 0);
}

// A rule file's worth of filters, most with words a line may hold, some with nothing a
// prefilter could look for, against lines of those words with letters that fold to ASCII
// ones from outside it (the Kelvin sign, the long s), letters that do not (the dotless i,
// the dotted capital I), bytes that are no character (the equivalents' parts, escaped
// bytes), and lines from empty to long.
TEST(Differential, ManyFiltersThroughThePrefilter) {
    static const std::vector<std::string> words = {"kilo", "ski", "sis", "is", "it", "ok", "error", "info",
                                                      "ıt", "İS", "\u212Ailo", "s\u017Fs"};
    static const std::vector<std::string> shapes = {"@", "\\b@\\b", "@s?", "(@|x@)", "@(?=\\s)", "\\w@",
                                                       "^@", "@$", "@\\K\\w", "(?<=\\s)@", "[a-z]+@"};
    static const std::vector<std::string> pieces = {
        "kilo", "KILO", "\u212Ailo", "ski", "SKI", "s\u017Fs", "S\u017FS", "sis", "is", "ıt", "İS", "It", "ok",
        "OK", "error", "ErRoR", "info", " ", " ", "-", ".", "é", "\U0001F600", "\x80", "\xED\xB2\x80",
        "\xE2\x84", "\xC5", "\r", "x"};
    const std::uint32_t seeds = seed_count(60);
    for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
        random_filters random(seed * 7919);
        std::vector<filter_text> filters;
        const int count = 1 + random.pick(64);
        while (static_cast<int>(filters.size()) < count) {
            std::string text;
            if (random.pick(5) == 0) {
                text = random.expression();
            } else {
                text = random.one_of(shapes);
                const std::string& word = random.one_of(words);
                text.replace(text.find('@'), 1, word);
            }
            if (!compiles(text)) continue;
            filters.push_back({static_cast<qel::ColourAttribute>(0x01 + filters.size() % 0xFE), std::move(text)});
        }
        std::vector<std::string> lines;
        for (int i = 0; i < 6; ++i) {
            // Mostly short lines; now and then one far longer than any block a scan takes at once.
            const int n = random.pick(10) == 0 ? 300 + random.pick(300) : random.pick(24);
            std::string line;
            for (int k = 0; k < n; ++k) line += random.one_of(pieces);
            lines.push_back(std::move(line));
        }
        expect_same_cuts(filters, lines);
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace huecast
