#include "reference_painter.h"

#include <stdexcept>

namespace huecast::testing {

std::vector<segment> reference_paint(const std::vector<filter_text>& filters, std::u16string_view line,
                                     bool& gave_up, const match_limits& limits) {
    std::vector<segment> segments;
    std::vector<bool> filter_gave_up(filters.size(), false);
    gave_up = false;
    const std::size_t end = line.size();
    std::size_t position = 0;
    do {
        bool have_best = false;
        text_colour best_colour = colour_of(0);
        std::size_t best_start = end;
        std::size_t best_end = end;
        for (std::size_t f = 0; f < filters.size(); ++f) {
            if (filter_gave_up[f]) continue;
            value_or_error<matcher, compile_error> expression = matcher::compile(filters[f].text, limits);
            if (!expression) throw std::invalid_argument("reference filter does not compile");
            // The rest of the line as a text of its own, searched from its front: no use of
            // the matcher's `from`, and its ASCII test sees the rest alone.
            found_match m;
            const search_result result =
                expression->search(search_text(line.substr(position)), 0, anchor::unanchored, m);
            if (result == search_result::gave_up) {
                filter_gave_up[f] = gave_up = true;
                continue;
            }
            if (result != search_result::found) continue;
            const std::size_t s = position + m.begin;
            if (best_start == end || s < best_start) {
                have_best = true;
                best_colour = colour_of(filters[f].attribute);
                best_start = s;
                best_end = position + m.end;
            }
        }
        if (position != best_start) segments.push_back({position, best_start, std::nullopt});
        if (have_best) segments.push_back({best_start, best_end, best_colour});
        position = best_end;
    } while (position != end);
    return segments;
}

painter make_painter(const std::vector<filter_text>& filters, const match_limits& limits) {
    std::vector<painter_filter> compiled;
    for (const filter_text& f : filters) {
        value_or_error<matcher, compile_error> expression = matcher::compile(f.text, limits);
        if (!expression) throw std::invalid_argument("filter does not compile");
        compiled.push_back({colour_of(f.attribute), std::move(expression).value()});
    }
    return painter(std::move(compiled));
}

}  // namespace huecast::testing
