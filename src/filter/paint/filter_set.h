// The filters of a run, front first, and what can be told of a line before any of them is
// searched in it. Built once: each filter's expression gives the literals that every match
// of it contains (expression_facts), and one prefilter holds them all. For each line, the
// set scans it once for every literal, and answers which filters may match it at all and,
// for a filter that is one plain word, where its first match lies. The caller then searches
// only those filters, and never learns how the literals were chosen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "filter/prefilter/literal_prefilter.h"
#include "filter/match/matcher.h"

namespace huecast {

// Movable, not copyable (it owns the matchers); one line is screened at a time.
class filter_set {
public:
    explicit filter_set(std::vector<matcher> filters);

    std::size_t size() const { return filters_.size(); }
    matcher& operator[](std::size_t filter) { return filters_[filter]; }

    // Sets `candidates` to the filters (front first) that may match somewhere in `line`;
    // one left out has no match anywhere in it. Readies first_match for the same line.
    void screen(const search_text& line, std::vector<std::size_t>& candidates);

    // For a candidate of the line screened last: true, with `match` set, when the set already
    // knows the filter's first match in the whole line, which a search would find too.
    bool first_match(std::size_t filter, found_match& match) const {
        const std::uint32_t length = word_length_[filter];
        if (length == 0 || first_at_[filter] == literal_prefilter::unknown_place) return false;
        const std::size_t at = first_at_[filter];
        match = {at, at, at + length};
        return true;
    }

private:
    std::vector<matcher> filters_;
    // For a filter that is one plain word: its length, else 0. Such a word is the only
    // literal the prefilter holds for it (expression_facts::plain_literal), so the first
    // place the prefilter finds for it is its first match.
    std::vector<std::uint32_t> word_length_;
    literal_prefilter prefilter_;
    std::vector<char> may_match_;  // the prefilter's answer for the line
    std::vector<std::uint32_t> first_at_;
};

// Inline: it runs once a line, and its loop belongs with the painter's.
inline void filter_set::screen(const search_text& line, std::vector<std::size_t>& candidates) {
    candidates.resize(filters_.size());
    // Without literals there is no plain word either, so first_match has nothing to give.
    if (!prefilter_.useful()) {
        for (std::size_t f = 0; f < filters_.size(); ++f) candidates[f] = f;
        return;
    }
    prefilter_.scan(line.view(), prefilter_.folds_beyond_ascii() && line.may_hold_equivalents(), may_match_, first_at_);
    std::size_t n = 0;
    for (std::size_t f = 0; f < filters_.size(); ++f) {
        candidates[n] = f;
        n += may_match_[f] != 0;
    }
    candidates.resize(n);
}

}  // namespace huecast
