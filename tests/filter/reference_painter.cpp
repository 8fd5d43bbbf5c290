#include "reference_painter.h"

#include <span>
#include <stdexcept>
#include <tuple>

namespace huecast::testing {

namespace {

std::optional<text_colour> match_style(const filter_text& f) {
    if (f.plain_match) return std::nullopt;
    return colour_of(f.attribute);
}

// The style of the byte at `at` of a match of `f` (begin and end its own) with `groups`:
// that of the innermost styled group that holds it (the last to begin, then the first to
// end, then the last in the expression), laid over the match's.
std::optional<text_colour> style_at(const filter_text& f, std::size_t at, std::span<const group_span> groups) {
    const std::optional<text_colour> whole = match_style(f);
    std::optional<std::size_t> inner;
    for (std::size_t g = 0; g < f.group_styles.size(); ++g) {
        if (!f.group_styles[g] || !groups[g].took_part() || at < groups[g].begin || at >= groups[g].end) continue;
        if (!inner || groups[g].begin > groups[*inner].begin ||
            (groups[g].begin == groups[*inner].begin && groups[g].end <= groups[*inner].end)) {
            inner = g;
        }
    }
    if (!inner) return whole;
    return whole ? f.group_styles[*inner]->over(*whole) : *f.group_styles[*inner];
}

}  // namespace

std::vector<segment> reference_paint(const std::vector<filter_text>& filters, std::string_view line,
                                     bool& gave_up, const match_limits& limits) {
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
        expression->report_groups(expression->group_count());
        compiled.push_back(std::move(expression).value());
    }
    // Each byte's style, and the match it belongs to (0 for none): a piece is a run of bytes
    // of one style and, unless plain, of one match.
    std::vector<std::optional<text_colour>> styles(line.size());
    std::vector<std::size_t> match_of(line.size(), 0);
    const std::size_t end = line.size();
    std::size_t position = 0;
    for (std::size_t round = 1; position != end; ++round) {
        std::optional<std::size_t> best;
        std::size_t best_start = end;
        std::size_t best_end = end;
        std::vector<group_span> best_groups;
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
            if (!best || s < best_start) {
                best = f;
                best_start = s;
                best_end = position + m.end;
                best_groups.clear();
                for (const group_span& g : expression->groups()) {
                    best_groups.push_back(g.took_part() ? group_span{position + g.begin, position + g.end} : g);
                }
            }
        }
        if (!best) break;
        for (std::size_t at = best_start; at < best_end; ++at) {
            styles[at] = style_at(filters[*best], at, best_groups);
            if (styles[at]) match_of[at] = round;
        }
        position = best_end;
    }
    std::vector<segment> segments;
    for (std::size_t at = 0; at < end; ++at) {
        if (segments.empty() || segments.back().colour != styles[at] || match_of[at - 1] != match_of[at]) {
            segments.push_back({at, at, styles[at]});
        }
        segments.back().end = at + 1;
    }
    return segments;
}

painter make_painter(const std::vector<filter_text>& filters, const match_limits& limits) {
    FilterList list;
    for (const filter_text& f : filters) {
        Filter filter{match_style(f), f.text, f.text};
        for (const std::optional<text_colour>& style : f.group_styles) filter.group_styles.push_back({style, ""});
        list.push_back(std::move(filter));
    }
    auto compiled = compile_filters(list, limits);
    if (!compiled) throw std::invalid_argument("filter does not compile: " + compiled.error());
    return painter(std::move(compiled).value());
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
