// The filters of a run, front first, and one question about a line: where is filter f's
// first match at or after position p. Built once: each filter's expression gives the
// literals that every match of it contains (expression_facts), and one prefilter holds them
// all. For each line the set scans it once for every literal, leaves out the filters that
// cannot match it at all, and knows a plain word's first match from the scan alone; then,
// as the position moves on, it keeps each filter's next match and searches again only where
// the earlier answer may no longer hold. The caller never learns how the literals were
// chosen, nor how a regular expression sees the start of a text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filter/match/matcher.h"
#include "filter/match/search_text.h"
#include "filter/paint/compiled_filter.h"
#include "filter/prefilter/literal_prefilter.h"

namespace huecast {

// Movable, not copyable (it owns the matchers); one line is searched at a time.
class filter_set {
public:
    explicit filter_set(std::vector<compiled_filter> filters);

    std::size_t size() const { return filters_.size(); }
    const compiled_filter& operator[](std::size_t filter) const { return filters_[filter]; }

    // Begins the search of `line`, which must outlive it.
    void begin_line(std::string_view line);
    // Calls `take(filter, match)`, front first, for each filter that may still match in the
    // line and has a first non-empty match at or after `position`, searched as a text of its
    // own from there (`^` holds at `position`). Positions never go back within a line. A
    // filter that can find nothing more in the line is let go of. Each match stays valid
    // until the next call.
    template <class Take>
    void each_first_match_from(std::size_t position, Take take);
    // The capture groups of the match that each_first_match_from last gave for `filter`, for
    // a filter whose expression reports them (matcher::report_groups). A filter's next match
    // is found by its own matcher (a plain word, which has no groups, by the scan alone), and
    // the matcher keeps the groups of its last match found, so they stay with the match the
    // set keeps.
    std::span<const group_span> groups_of(std::size_t filter) const { return filters_[filter].expression.groups(); }
    // The filters (front first) that reached a search limit in the line: each was taken as
    // matching nothing from there to the end of it. Each has a budget of its own for the line
    // (match_limits), and reached_by says which limit it reached.
    const std::vector<std::size_t>& gave_up() const { return gave_up_; }
    limit_reached reached_by(std::size_t filter) const { return budget_[filter].reached; }

private:
    // What is known of one filter's next match, in line offsets.
    struct next_match {
        enum { unknown, none, found, gave_up } state = unknown;
        found_match match;
    };

    // Inline, so that a filter without required bytes (most) pays one test a line for them.
    bool holds_required_byte(std::size_t filter, std::string_view line) const {
        return required_bytes_[filter].empty() || holds_one_of(required_bytes_[filter], line);
    }
    static bool holds_one_of(const std::string& bytes, std::string_view line);
    void search_from(std::size_t filter, std::size_t position);
    void revisit(std::size_t filter, std::size_t position);

    std::vector<compiled_filter> filters_;
    // For a filter that is one plain word: its length, else 0. Such a word is the only
    // literal the prefilter holds for it (expression_facts::plain_literal), so the first
    // place the prefilter finds for it is its first match.
    std::vector<std::uint32_t> word_length_;
    // For a filter whose literals are single bytes, kept out of the prefilter: those bytes
    // (required_bytes_of), of which a line must hold one; empty for every other filter.
    std::vector<std::string> required_bytes_;
    literal_prefilter prefilter_;
    std::vector<char> may_match_;  // the prefilter's answer for the line
    std::vector<std::uint32_t> first_at_;
    search_text line_{std::string_view()};
    std::vector<std::size_t> live_;
    std::vector<next_match> next_;
    std::vector<search_budget> budget_;
    std::vector<std::size_t> gave_up_;
};

// Inline: it runs once a line, and its loop belongs with the painter's.
inline void filter_set::begin_line(std::string_view line) {
    line_ = search_text(line);
    gave_up_.clear();
    live_.resize(filters_.size());
    if (!prefilter_.useful()) {
        // Without literals there is no plain word either, so the scan has nothing to give.
        std::size_t n = 0;
        for (std::size_t f = 0; f < filters_.size(); ++f) {
            if (!holds_required_byte(f, line)) continue;
            live_[n++] = f;
            next_[f].state = next_match::unknown;
            budget_[f] = filters_[f].expression.budget_for(line.size());
        }
        live_.resize(n);
        return;
    }
    prefilter_.scan(line, prefilter_.folds_beyond_ascii() && line_.may_hold_equivalents(), may_match_, first_at_);
    std::size_t n = 0;
    for (std::size_t f = 0; f < filters_.size(); ++f) {
        live_[n] = f;
        if (may_match_[f] == 0 || !holds_required_byte(f, line)) continue;
        ++n;
        budget_[f] = filters_[f].expression.budget_for(line.size());
        next_match& next = next_[f];
        const std::uint32_t length = word_length_[f];
        if (length != 0 && first_at_[f] != literal_prefilter::unknown_place) {
            const std::size_t at = first_at_[f];
            next = {next_match::found, {at, at, at + length}};
        } else {
            next.state = next_match::unknown;
        }
    }
    live_.resize(n);
}

// The filter's next match (or the lack of one) is known from a search that began at an
// earlier position q; the rest of the line now begins at `position` (> q), where a
// character begins, since a match ends where one does. An attempt that starts after
// `position` sees the same characters as it did from q, because the expression looks back
// at most one character (\b, \B) and no verb ties its attempts together (see
// reaches_behind_start): such attempts fail or succeed as they did. Only the attempt at
// `position` itself can differ, since `^`, `\A`, `\G`, `\b` and `\B` there now see the start
// of a text. So one attempt anchored at `position` settles it: if it succeeds, that match is
// the first; if not, the known result stands. That holds only while the known match's own
// attempt (where it began before any \K) lies after `position`; otherwise the filter is
// searched again from `position`. An expression that cannot see the start of a text
// (matcher::sees_start_of_text) needs not even that attempt: the search from q already made
// it, at the same place, and it failed.
inline void filter_set::revisit(std::size_t filter, std::size_t position) {
    next_match& next = next_[filter];
    matcher& expression = filters_[filter].expression;
    const bool needs_full_search = next.state == next_match::unknown || expression.reaches_behind_start() ||
                                   (next.state == next_match::found && next.match.attempt <= position);
    if (needs_full_search) {
        search_from(filter, position);
        return;
    }
    if (!expression.sees_start_of_text() || !expression.may_begin_at(line_.view(), position)) return;
    switch (expression.search(line_, position, anchor::at_start, next.match, budget_[filter])) {
        case search_result::found:
            next.state = next_match::found;
            break;
        case search_result::none:  // the known result stands
            break;
        case search_result::gave_up:
            next.state = next_match::gave_up;
            gave_up_.push_back(filter);
            break;
    }
}

template <class Take>
inline void filter_set::each_first_match_from(std::size_t position, Take take) {
    std::size_t kept = 0;
    for (const std::size_t f : live_) {
        revisit(f, position);
        const next_match& next = next_[f];
        if (next.state == next_match::found) {
            take(f, next.match);
        } else if (next.state == next_match::gave_up ||
                   (next.state == next_match::none && !filters_[f].expression.sees_start_of_text())) {
            // It finds nothing more in this line: it gave up, or found nothing and cannot
            // tell where a text starts.
            continue;
        }
        live_[kept++] = f;
    }
    live_.resize(kept);
}

}  // namespace huecast
