#include "filter/paint/painter.h"

namespace huecast {
namespace {

std::vector<text_colour> colours_of(const std::vector<painter_filter>& filters) {
    std::vector<text_colour> colours;
    for (const painter_filter& f : filters) colours.push_back(f.colour);
    return colours;
}

// Takes the matchers out and leaves the colours, so the two may be read in either order.
std::vector<matcher> matchers_of(std::vector<painter_filter>& filters) {
    std::vector<matcher> matchers;
    for (painter_filter& f : filters) matchers.push_back(std::move(f.expression));
    return matchers;
}

}  // namespace

painter::painter(std::vector<painter_filter> filters)
    : colours_(colours_of(filters)), filters_(matchers_of(filters)) {
    next_.resize(filters_.size());
}

void painter::search_from(std::size_t filter, const search_text& line, std::size_t position) {
    next_match& next = next_[filter];
    switch (filters_[filter].search(line, position, anchor::unanchored, next.match)) {
        case search_result::found:
            next.state = next_match::found;
            break;
        case search_result::none:
            next.state = next_match::none;
            break;
        case search_result::gave_up:
            next.state = next_match::gave_up;
            gave_up_.push_back(filter);
            break;
    }
}

// The filter's next match (or the lack of one) is known from a search that began at an
// earlier position q; the rest of the line now begins at `position` (> q). An attempt that
// starts after `position` sees the same characters as it did from q, because the
// expression looks back at most one character (\b, \B) and no verb ties its attempts
// together (see reaches_behind_start): such attempts fail or succeed as they did. Only the
// attempt at `position` itself can differ, since `^`, `\A`, `\G`, `\b` and `\B` there now
// see the start of a text. So one attempt anchored at `position` settles it: if it
// succeeds, that match is the first; if not, the known result stands. That holds only
// while the known match's own attempt (where it began before any \K) lies after
// `position`; otherwise the filter is searched again from `position`. An expression that
// cannot see the start of a text (matcher::sees_start_of_text) needs not even that attempt:
// the search from q already made it, at the same place, and it failed.
inline void painter::revisit(std::size_t filter, const search_text& line, std::size_t position) {
    next_match& next = next_[filter];
    matcher& expression = filters_[filter];
    // The new start is always where a character begins (a match ends at one), so the rest
    // of the line reads the same from there as it did from q.
    const bool needs_full_search = next.state == next_match::unknown || expression.reaches_behind_start() ||
                                   (next.state == next_match::found && next.match.attempt <= position);
    if (needs_full_search) {
        search_from(filter, line, position);
        return;
    }
    if (!expression.sees_start_of_text()) return;
    switch (expression.search(line, position, anchor::at_start, next.match)) {
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

void painter::paint(std::string_view line, std::vector<segment>& segments) {
    segment_sink_of collect([&](const segment& piece) { segments.push_back(piece); });
    segments.clear();
    paint(line, collect);
}

void painter::paint(std::string_view line, segment_sink& out) {
    gave_up_.clear();
    if (line.empty()) return;
    // One for the whole line, so that what is learnt about the line serves every search.
    const search_text text(line);
    filters_.screen(text, active_);
    for (const std::size_t f : active_) {
        next_match& next = next_[f];
        next.state = filters_.first_match(f, next.match) ? next_match::found : next_match::unknown;
    }

    std::size_t position = 0;
    while (position < line.size()) {
        std::size_t best = filters_.size();
        std::size_t kept = 0;
        for (const std::size_t f : active_) {
            revisit(f, text, position);
            const next_match& next = next_[f];
            // A filter that gave up, or that found nothing and cannot tell where a text
            // starts, finds nothing more in this line.
            if (next.state == next_match::gave_up ||
                (next.state == next_match::none && !filters_[f].sees_start_of_text())) {
                continue;
            }
            active_[kept++] = f;
            if (next.state != next_match::found) continue;
            if (best == filters_.size() || next.match.begin < next_[best].match.begin) best = f;
        }
        active_.resize(kept);
        if (best == filters_.size()) {
            out.take({position, line.size(), std::nullopt});
            return;
        }
        const found_match& winner = next_[best].match;
        if (winner.begin > position) out.take({position, winner.begin, std::nullopt});
        out.take({winner.begin, winner.end, colours_[best]});
        position = winner.end;
    }
}

}  // namespace huecast
