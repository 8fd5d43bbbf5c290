#include "filter/filter_arguments.h"

#include "colour/colour_code.h"
#include "printable.h"
#include "qel/strings.h"

namespace huecast {

std::optional<Filter> parse_filter(std::u16string_view argument) {
    const colour_code code = read_colour_code(argument);
    if (argument.size() < 3 || !code.two_digits || argument[2] != u',') return std::nullopt;
    const std::u16string_view text = argument.substr(3);
    // The expression part runs to the end of the argument and may not hold a line end.
    if (text.find_first_of(u"\r\n") != std::u16string_view::npos) return std::nullopt;
    Filter filter{code.colour, std::u16string(text)};
    qel::strip_pairs(filter.text, u'"', 0);
    return filter;
}

std::u16string decimal(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

value_or_error<labelled_filters, not_a_filter> parse_filters(std::span<const char16_t* const> arguments) {
    labelled_filters filters;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::optional<Filter> filter = parse_filter(arguments[i]);
        if (!filter) return not_a_filter{i};
        filters.push_back(
            {std::move(*filter), u"filter " + decimal(i + 1) + u" \"" + printable(arguments[i]) + u"\""});
    }
    return filters;
}

}  // namespace huecast
