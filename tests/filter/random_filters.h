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

#include "io/utf8.h"

namespace huecast::testing {

class random_filters {
public:
    explicit random_filters(std::uint32_t seed) : rng_(seed) {}

    std::string expression(int depth = 0) {
        static const std::vector<std::string> atoms = {
            "a", "b", "c", "ab", "ba", "A", "é", "-", " ", "1", ".", "\\w", "\\W", "\\d", "\\s",
            "\\S", "[ab]", "[^a]", "[a-c]", "\\x41", "\\u00e9", "\U0001F600", "\\.", "[^]", "_",
            // PCRE2 tries an expression that begins with `.*` only at a few starts.
            ".*", ".+",
            // Characters outside ASCII that fold to ASCII letters (the Kelvin sign, the long s).
            "k", "s", "\u212A", "\u017F", "[\\u2000-\\u3000]", "\\u212a"};
        static const std::vector<std::string> anchors = {"^", "$", "\\b", "\\B", "\\A", "\\z", "\\Z", "\\G"};
        static const std::vector<std::string> quantifiers = {"*", "+", "?", "*?", "+?", "??", "{1,2}",
                                                                "{0,2}?", "{2}"};
        static const std::vector<std::string> behind = {"a",   "ab",  "ba",     "a.",  "\\w\\w", "..",
                                                           ". ", "\\w", "a|bc", "\\b", "^",      "\\b.."};
        static const std::vector<std::string> special = {"(a|b)\\1", "a\\Kb", "\\w\\K\\w",
                                                            "a(*SKIP)(*F)|b", "(*COMMIT)a", "a(*PRUNE)b",
                                                            "(?i)B", "[[:<:]]a", "a[[:>:]]",
                                                            "(?s).*b", ".*?a|^b"};
        const int choice = depth > 3 ? 0 : pick(100);
        if (choice < 35) return one_of(atoms);
        if (choice < 50) return expression(depth + 1) + expression(depth + 1);
        if (choice < 60) return expression(depth + 1) + "|" + expression(depth + 1);
        if (choice < 72) return std::string("(").append(expression(depth + 1)) + ")" + one_of(quantifiers);
        if (choice < 76) return std::string("(?:").append(expression(depth + 1)) + ")";
        if (choice < 86) return one_of(anchors) + expression(depth + 1);
        if (choice < 89) return std::string(pick(2) ? "(?=" : "(?!").append(expression(depth + 1)) + ")";
        if (choice < 95) return std::string(pick(2) ? "(?<=" : "(?<!") + one_of(behind) + ")" + expression(depth + 1);
        return one_of(special);
    }

    // With `ascii_only`, a line of ASCII characters alone, which the painter searches in a
    // faster way.
    std::string line(bool ascii_only = false) {
        static const std::vector<std::string> ascii_pieces = {"a", "a", "b", "c", "k", "K", "s", "S",
                                                                 " ", "-", "1", ".", "\r", "\t", "_"};
        if (ascii_only) {
            std::string text;
            const int n = pick(32);
            for (int i = 0; i < n; ++i) text += one_of(ascii_pieces);
            return text;
        }
        static const std::vector<std::string> pieces = {
            "a", "a", "a", "b", "b", "c", "A", "B", " ", " ", "-", "1", ".", "\r", "\t", "_",
            // Characters of two, three and four bytes.
            "é", "É", "€", "\U0001F600",
            // The letters that fold beyond ASCII, and the characters that fold to them.
            "k", "S", "\u212A", "\u017F",
            // Bytes that are no character: a stray continuation, a lead with nothing after it,
            // sequences cut short, an overlong form, an encoded surrogate, and the escaped bytes
            // of another code page.
            "\x80", "\xFF", "\xC3", "\xE2\x84", "\xF0\x9F\x98", "\xC0\xAF", "\xED\xA0\xBD", "\xED\xB2\x80",
            "\xED\xB3\xBF"};
        std::string text;
        const int n = pick(32);
        for (int i = 0; i < n; ++i) text += one_of(pieces);
        return text;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    const std::string& one_of(const std::vector<std::string>& v) {
        return v[static_cast<std::size_t>(pick(static_cast<int>(v.size())))];
    }

private:
    std::mt19937 rng_;
};

// Printable ASCII as it is, any other character as "\\u" and its code point in hex, and a
// byte that is no character as "\\x" and its value.
inline std::string shown(std::string_view text) {
    std::string s;
    for (std::size_t i = 0; i < text.size();) {
        const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + i;
        const std::size_t n = io::utf8::sequence_length(p, text.size() - i);
        if (n == 1 && *p >= 0x20 && *p < 0x7F) {
            s += static_cast<char>(*p);
            ++i;
            continue;
        }
        char hex[16];
        if (n == 0) {
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(*p));
            ++i;
        } else {
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(io::utf8::code_point(p, n)));
            i += n;
        }
        s += hex;
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
