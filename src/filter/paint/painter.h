// Splits a line into the pieces that filters colour and the plain text between them. From
// the current position, every filter's first non-empty match in the rest of the line (a
// text of its own) is asked of the filter set; the one that starts earliest wins, the front
// filter winning a tie; the winner is coloured and the next round starts where it ended.
// A filter that styles capture groups colours each character of its match in the style of
// the innermost styled group that holds it, laid over the match's style; a group's part
// outside the match is not shown.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "filter/paint/compiled_filter.h"
#include "filter/paint/filter_set.h"
#include "print/segment.h"

namespace huecast {

// Where the painter puts the pieces of a line, in order, as it finds them, so that a line
// with millions of matches never holds them all.
class segment_sink {
public:
    virtual void take(const segment& piece) = 0;

protected:
    ~segment_sink() = default;
};

// A segment_sink that hands each piece to `f`.
template <class F>
class segment_sink_of final : public segment_sink {
public:
    explicit segment_sink_of(F f) : f_(std::move(f)) {}
    void take(const segment& piece) override { f_(piece); }

private:
    F f_;
};

class painter {
public:
    explicit painter(std::vector<compiled_filter> filters);

    // Gives `out` non-empty pieces that cover `line` once, in order; an empty line gives
    // none. Two plain pieces are never adjacent, and neither are two of one match in the
    // same style.
    void paint(std::string_view line, segment_sink& out);
    // The same pieces, into `segments` (emptied first).
    void paint(std::string_view line, std::vector<segment>& segments);

    // The filters (indices, front first) that reached a search limit on the last line
    // painted: each was taken as matching nothing from there to the end of that line.
    const std::vector<std::size_t>& gave_up() const { return filters_.gave_up(); }
    // Which limit filter `f` reached when it gave up on the last line.
    limit_reached reached_by(std::size_t f) const { return filters_.reached_by(f); }
    const compiled_filter& filter(std::size_t f) const { return filters_[f]; }

private:
    // A styled group that holds part of a match: where it lies (which may reach outside the
    // match: only its part inside is shown), and its style laid over the match's.
    struct shown_group {
        std::size_t begin;
        std::size_t end;
        text_colour style;
    };

    // Paints the rest of `line` from `first`, a match of filter `best`, which is styled and
    // begins at or after `position`, where the round that found it began.
    void paint_on_from_styled(std::string_view line, std::size_t best, const found_match& first, std::size_t position,
                              segment_sink& out);
    // Hands on the pieces of `match`, a match of `filter` whose pieces are not the match in
    // one style. The plain text before it begins at `plain`, and may go on into it; returns
    // where the plain text not handed on yet begins (the match's end when none is left).
    std::size_t paint_styled(std::size_t filter, const found_match& match, std::size_t plain, segment_sink& out);

    // What the loop takes of each filter, side by side: the match's style, and whether its
    // matches are cut by paint_styled (it styles a group, or leaves its match as it is).
    // The others, every filter of the classic form among them, take none of that work.
    // Its size a power of two: the loop indexes the rules with a shift.
    struct alignas(32) paint_rule {
        std::optional<text_colour> colour;
        bool styled;
    };

    filter_set filters_;
    std::vector<paint_rule> rules_;
    std::vector<shown_group> shown_;
    std::vector<std::size_t> cuts_;
};

}  // namespace huecast
