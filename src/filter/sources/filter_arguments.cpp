#include "filter/sources/filter_arguments.h"

#include "colour/colour_code.h"
#include "messages.h"

namespace huecast {
namespace {

// Double quotes around the whole expression, as many pairs as there are, are not part of
// it: a shell that keeps quotes (cmd.exe) hands them on. A quote with no partner at the
// other end is the expression's own.
void strip_quote_pairs(std::string& text) {
    std::size_t pairs = 0;
    while (text.size() >= 2 * (pairs + 1) && text[pairs] == '"' && text[text.size() - 1 - pairs] == '"') ++pairs;
    text = text.substr(pairs, text.size() - 2 * pairs);
}

}  // namespace

std::optional<Filter> parse_filter(std::string_view argument) {
    const colour_code code = read_colour_code(argument);
    if (argument.size() < 3 || !code.two_digits || argument[2] != ',') return std::nullopt;
    const std::string_view text = argument.substr(3);
    // The expression part runs to the end of the argument and may not hold a line end.
    if (text.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
    Filter filter{code.colour, std::string(text), {}};
    strip_quote_pairs(filter.text);
    return filter;
}

value_or_error<FilterList, not_a_filter> parse_filters(std::span<const char* const> arguments) {
    FilterList filters;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::optional<Filter> filter = parse_filter(arguments[i]);
        if (!filter) return not_a_filter{i};
        filter->label = messages::argument_label(i, arguments[i]);
        filters.push_back(std::move(*filter));
    }
    return filters;
}

}  // namespace huecast
