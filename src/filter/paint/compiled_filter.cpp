#include "filter/paint/compiled_filter.h"

#include "messages.h"

namespace huecast {

value_or_error<std::vector<compiled_filter>, std::string> compile_filters(const FilterList& filters,
                                                                          const match_limits& limits) {
    std::vector<compiled_filter> compiled;
    compiled.reserve(filters.size());
    std::size_t bytes = 0;
    for (const Filter& f : filters) {
        value_or_error<matcher, compile_error> expression = matcher::compile(f.text, limits);
        if (!expression) return messages::bad_expression(f.label, expression.error().message, expression.error().offset);
        const std::size_t groups = expression->group_count();
        if (f.group_styles.size() > groups) {
            return messages::style_without_group(f.label, groups + 1, f.group_styles[groups].written, groups);
        }
        bytes += expression->compiled_bytes();
        if (bytes > most_compiled_bytes) return messages::filters_too_large(f.label, most_compiled_bytes);
        // Groups after the last with a style change nothing, so they are neither reported
        // nor looked at.
        std::vector<std::optional<text_colour>> group_styles;
        for (std::size_t g = f.group_styles.size(); g > 0; --g) {
            if (f.group_styles[g - 1].style) {
                for (std::size_t i = 0; i < g; ++i) group_styles.push_back(f.group_styles[i].style);
                break;
            }
        }
        if (!group_styles.empty()) expression->report_groups(group_styles.size());
        compiled.push_back({f.colour, std::move(expression).value(), f.label, std::move(group_styles)});
    }
    return compiled;
}

}  // namespace huecast
