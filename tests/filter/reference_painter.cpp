#include "reference_painter.h"

#include <stdexcept>
#include <tuple>

namespace huecast::testing {

std::vector<segment> reference_paint(const std::vector<filter_text>& filters, std::string_view line,
                                     bool& gave_up, const match_limits& limits) {
    std::vector<segment> segments;
    std::vector<bool> filter_gave_up(filters.size(), false);
    gave_up = false;
    // Compiling is deterministic: once per line gives what once per search would.
    std::vector<matcher> compiled;
    for (const filter_text& f : filters) {
        value_or_error<matcher, compile_error> expression = matcher::compile(f.text, limits);
        if (!expression) throw std::invalid_argument("reference filter does not compile");
        // A plain word in a group, so that PCRE2 searches for it rather than the matcher's own
        // literal search, which the painter's pieces are compared with.
        if (!expression->facts().plain_literal.empty()) {
            expression = matcher::compile("(?:" + f.text + ")", limits);
            if (!expression) throw std::invalid_argument("reference filter does not compile in a group");
        }
        compiled.push_back(std::move(expression).value());
    }
    const std::size_t end = line.size();
    std::size_t position = 0;
    do {
        bool have_best = false;
        text_colour best_colour = colour_of(0);
        std::size_t best_start = end;
        std::size_t best_end = end;
        for (std::size_t f = 0; f < filters.size(); ++f) {
            if (filter_gave_up[f]) continue;
            matcher* expression = &compiled[f];
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
    std::vector<compiled_filter> compiled;
    for (const filter_text& f : filters) {
        value_or_error<matcher, compile_error> expression = matcher::compile(f.text, limits);
        if (!expression) throw std::invalid_argument("filter does not compile");
        compiled.push_back({colour_of(f.attribute), std::move(expression).value(), f.text});
    }
    return painter(std::move(compiled));
}

const char* broken_search_promise(matcher& expression, std::string_view line, std::size_t from, bool& gave_up) {
    const search_text whole(line);
    const std::string_view rest = line.substr(from);
    // Behind a character outside ASCII that it cannot see, the rest is searched with UTF.
    constexpr std::string_view e = "\u00e9";
    const std::string behind_e = std::string(e) + std::string(rest);
    found_match inside, alone, with_utf, anchored;
    const search_result from_inside = expression.search(whole, from, anchor::unanchored, inside);
    const search_result of_rest = expression.search(search_text(rest), 0, anchor::unanchored, alone);
    const search_result of_rest_with_utf =
        expression.search(search_text(behind_e), e.size(), anchor::unanchored, with_utf);
    const search_result at_start = expression.search(whole, from, anchor::at_start, anchored);
    gave_up = from_inside == search_result::gave_up || of_rest == search_result::gave_up ||
              of_rest_with_utf == search_result::gave_up || at_start == search_result::gave_up;
    if (gave_up) return nullptr;

    // Offsets in the whole line.
    const auto in_line = [from](const found_match& m, std::size_t offset_of_rest) {
        return std::tuple(m.attempt - offset_of_rest + from, m.begin - offset_of_rest + from,
                          m.end - offset_of_rest + from);
    };
    if (from_inside != of_rest) return "a search from inside the line and one of the rest alone disagree";
    if (of_rest != of_rest_with_utf) return "the rest alone and the rest searched with UTF disagree";
    if (from_inside == search_result::found) {
        if (in_line(inside, from) != in_line(alone, 0)) {
            return "a search from inside the line and one of the rest alone find different matches";
        }
        if (in_line(with_utf, e.size()) != in_line(alone, 0)) {
            return "the rest alone and the rest searched with UTF find different matches";
        }
    }
    const bool first_starts_there = from_inside == search_result::found && inside.attempt == from;
    if ((at_start == search_result::found) != first_starts_there) {
        return "an anchored search disagrees with where the first match's attempt begins";
    }
    if (first_starts_there && in_line(anchored, from) != in_line(inside, from)) {
        return "an anchored search finds another match than the first";
    }
    return nullptr;
}

}  // namespace huecast::testing
