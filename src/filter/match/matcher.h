// One filter's regular expression, compiled once with PCRE2 (8-bit, UTF, JIT) in the dialect
// that filters are written in: case-insensitive, `.` matching neither CR nor LF, `$` only
// at the very end, `\b` and `\w` ASCII-only, no `\C`. It answers one question: where is
// the first non-empty match in a text of UTF-8. A byte that is part of no character (or an
// escaped byte of another code page) never matches anything.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "filter/match/expression_facts.h"
#include "filter/match/search_limits.h"
#include "filter/match/search_text.h"
#include "value_or_error.h"

namespace huecast {

struct compile_error {
    // Why, without where: PCRE2's text (e.g. "missing closing parenthesis"), or "invalid
    // character in the locale's encoding" for a byte that is part of no character, a byte
    // that did not decode, or huecast's own words for a `\C`, which the dialect refuses.
    std::string message;
    std::size_t offset = 0;  // in the expression, in 16-bit units
};

// Offsets in the whole text searched, not from where the search began. `attempt` is where
// the successful attempt began; it lies before `begin` only when the expression moves the
// reported start forward (\K).
struct found_match {
    std::size_t attempt = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// Where a capture group lay in a match, in offsets of the whole text searched. A group may
// reach outside the match (before a \K, inside a lookaround).
struct group_span {
    static constexpr std::size_t not_set = static_cast<std::size_t>(-1);
    std::size_t begin = not_set;  // not_set: the group took no part in the match
    std::size_t end = not_set;
    bool took_part() const { return begin != not_set; }
    friend bool operator==(const group_span&, const group_span&) = default;
};

enum class search_result {
    found,
    none,
    gave_up,  // a limit was reached; nothing is known about this text
};

enum class anchor {
    unanchored,  // the first match, trying each start from the front
    at_start,    // only a match whose attempt begins exactly at the front
};

// Movable, not copyable, and expensive to make: compile once per filter. A matcher keeps
// one match data for all its searches, and every matcher searches with one shared JIT
// stack, so one search runs at a time, in all matchers together: not thread-safe. A
// moved-from matcher may only be assigned to or destroyed.
class matcher {
public:
    // The expression as it was given.
    std::string_view expression() const;
    // What the expression's text says about it, read once when it was compiled.
    const expression_facts& facts() const;
    // How many bytes its compiled code takes (made when it was compiled; the variants and
    // their JIT code come when first searched with).
    std::size_t compiled_bytes() const;
    // How many capture groups the expression has.
    std::size_t group_count() const;

    // From now on, every match found keeps where groups 1 to `count` (at most group_count())
    // lay. Without this call a search records the match alone, which is cheaper.
    void report_groups(std::size_t count);
    // Those groups of the last match found, group 1 first; they stay as they are until a
    // search finds another match or gives up.
    std::span<const group_span> groups() const;

    // Compiles `expression`, or says why it is not valid.
    static value_or_error<matcher, compile_error> compile(std::string_view expression,
                                                          const match_limits& limits = {});
    ~matcher();
    matcher(matcher&&) noexcept;
    matcher& operator=(matcher&&) noexcept;
    matcher(const matcher&) = delete;
    matcher& operator=(const matcher&) = delete;

    // The first non-empty match in text[from, end), searched as a text of its own: `^`
    // holds at `from`, and `\b` sees nothing before it. Needs from <= text.size().
    // `match` is written only when the result is found. The steps come out of `budget`.
    search_result search(const search_text& text, std::size_t from, anchor where, found_match& match,
                         search_budget& budget);
    // The same with a budget of its own, a whole line's.
    search_result search(const search_text& text, std::size_t from, anchor where, found_match& match) {
        search_budget budget = budget_for(text.size());
        return search(text, from, where, match, budget);
    }
    // The budget of one line of `bytes`.
    search_budget budget_for(std::size_t bytes) const;

    // The facts of the same names (expression_facts), kept at hand for the painter's loop.
    bool reaches_behind_start() const { return reaches_behind_start_; }
    bool sees_start_of_text() const { return sees_start_of_text_; }
    // False when no attempt that begins at `at` in `text` can succeed, by its first byte
    // alone (what PCRE2's compiled code knows of where matches begin); true is never wrong.
    bool may_begin_at(std::string_view text, std::size_t at) const {
        return begins_anywhere_ || (at < text.size() && first_bytes_[static_cast<unsigned char>(text[at])]);
    }

private:
    struct state;
    explicit matcher(std::unique_ptr<state> s);

    std::unique_ptr<state> state_;
    bool reaches_behind_start_ = false;
    bool sees_start_of_text_ = true;
    bool begins_anywhere_ = true;
    std::array<bool, 256> first_bytes_{};
};

}  // namespace huecast
