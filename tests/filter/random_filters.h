// Random filter expressions and lines for the tests that compare two ways of doing one thing,
// and the helpers that show and count their cases.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace huecast::testing {

class random_filters {
public:
    explicit random_filters(std::uint32_t seed) : rng_(seed) {}

    std::u16string expression(int depth = 0) {
        static const std::vector<std::u16string> atoms = {
            u"a", u"b", u"c", u"ab", u"ba", u"A", u"é", u"-", u" ", u"1", u".", u"\\w", u"\\W", u"\\d", u"\\s",
            u"\\S", u"[ab]", u"[^a]", u"[a-c]", u"\\x41", u"\\u00e9", u"\U0001F600", u"\\.", u"[^]", u"_",
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

    const std::u16string& one_of(const std::vector<std::u16string>& v) {
        return v[static_cast<std::size_t>(pick(static_cast<int>(v.size())))];
    }

private:
    std::mt19937 rng_;
};

inline std::string shown(std::u16string_view text) {
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
inline std::uint32_t seed_count(std::uint32_t usual) {
    const char* wanted = std::getenv("HUECAST_DIFFERENTIAL_SEEDS");
    return wanted != nullptr ? static_cast<std::uint32_t>(std::strtoul(wanted, nullptr, 10)) : usual;
}

}  // namespace huecast::testing
