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
        bytes += expression->compiled_bytes();
        if (bytes > most_compiled_bytes) return messages::filters_too_large(f.label, most_compiled_bytes);
        compiled.push_back({f.colour, std::move(expression).value(), f.label});
    }
    return compiled;
}

}  // namespace huecast
