#include "filter/paint/painter.h"

#include <algorithm>

namespace huecast {

painter::painter(std::vector<compiled_filter> filters) : filters_(std::move(filters)) {
    for (std::size_t f = 0; f < filters_.size(); ++f) {
        const compiled_filter& filter = filters_[f];
        rules_.push_back({filter.colour, !filter.colour || !filter.group_styles.empty()});
    }
}

void painter::paint(std::string_view line, std::vector<segment>& segments) {
    segment_sink_of collect([&](const segment& piece) { segments.push_back(piece); });
    segments.clear();
    paint(line, collect);
}

void painter::paint(std::string_view line, segment_sink& out) {
    filters_.begin_line(line);
    if (line.empty()) return;
    std::size_t position = 0;
    while (position < line.size()) {
        const found_match* winner = nullptr;
        std::size_t best = 0;
        // Front first, so that a later filter wins only by starting strictly earlier.
        filters_.each_first_match_from(position, [&](std::size_t f, const found_match& match) {
            if (winner == nullptr || match.begin < winner->begin) {
                winner = &match;
                best = f;
            }
        });
        if (winner == nullptr) {
            out.take({position, line.size(), std::nullopt});
            return;
        }
        const paint_rule& rule = rules_[best];
        if (rule.styled) {
            paint_on_from_styled(line, best, *winner, position, out);
            return;
        }
        if (winner->begin > position) out.take({position, winner->begin, std::nullopt});
        out.take({winner->begin, winner->end, rule.colour});
        position = winner->end;
    }
}

// The loop of paint, with the plain text that may go on from one round into the next. Its
// round is paint's own, written out again rather than shared, so that each loop has the
// filter set's search inlined where it runs.
void painter::paint_on_from_styled(std::string_view line, std::size_t best, const found_match& first,
                                   std::size_t position, segment_sink& out) {
    const found_match* winner = &first;
    // Where the plain text not handed on yet begins.
    std::size_t plain = position;
    for (;;) {
        const paint_rule& rule = rules_[best];
        if (rule.styled) {
            plain = paint_styled(best, *winner, plain, out);
        } else {
            if (winner->begin > plain) out.take({plain, winner->begin, std::nullopt});
            out.take({winner->begin, winner->end, rule.colour});
            plain = winner->end;
        }
        position = winner->end;
        if (position == line.size()) break;
        winner = nullptr;
        filters_.each_first_match_from(position, [&](std::size_t f, const found_match& match) {
            if (winner == nullptr || match.begin < winner->begin) {
                winner = &match;
                best = f;
            }
        });
        if (winner == nullptr) {
            out.take({plain, line.size(), std::nullopt});
            return;
        }
    }
    if (plain < position) out.take({plain, position, std::nullopt});
}

std::size_t painter::paint_styled(std::size_t filter, const found_match& match, std::size_t plain,
                                  segment_sink& out) {
    const compiled_filter& f = filters_[filter];
    const std::span<const group_span> groups = filters_.groups_of(filter);
    shown_.clear();
    cuts_.assign({match.begin, match.end});
    // The matcher reports as many groups as have styles (compile_filters asks for them).
    for (std::size_t g = 0; g < std::min(f.group_styles.size(), groups.size()); ++g) {
        if (!f.group_styles[g] || !groups[g].took_part()) continue;
        const std::size_t begin = std::max(groups[g].begin, match.begin);
        const std::size_t end = std::min(groups[g].end, match.end);
        if (begin >= end) continue;
        shown_.push_back({groups[g].begin, groups[g].end,
                          f.colour ? f.group_styles[g]->over(*f.colour) : *f.group_styles[g]});
        cuts_.push_back(begin);
        cuts_.push_back(end);
    }
    std::sort(cuts_.begin(), cuts_.end());
    cuts_.erase(std::unique(cuts_.begin(), cuts_.end()), cuts_.end());

    std::size_t run_begin = plain;
    std::optional<text_colour> run_style;
    for (std::size_t i = 0; i + 1 < cuts_.size(); ++i) {
        const std::size_t begin = cuts_[i];
        const std::size_t end = cuts_[i + 1];
        // The innermost group that holds the piece: of those that hold it, the one that
        // begins last, then ends first, then comes last (a group inside another that spans
        // the same text), all by where the groups lie, not by their parts in the match.
        // Groups that overlap without nesting (one in a lookahead) are told apart by the
        // same order.
        const shown_group* inner = nullptr;
        for (const shown_group& s : shown_) {
            if (s.begin > begin || s.end < end) continue;
            if (inner == nullptr || s.begin > inner->begin || (s.begin == inner->begin && s.end <= inner->end)) {
                inner = &s;
            }
        }
        const std::optional<text_colour> style = inner != nullptr ? inner->style : f.colour;
        if (style != run_style) {
            if (run_begin < begin) out.take({run_begin, begin, run_style});
            run_begin = begin;
            run_style = style;
        }
    }
    if (!run_style) return run_begin;
    out.take({run_begin, match.end, run_style});
    return match.end;
}

}  // namespace huecast
