#include "filter/filter_arguments.h"

#include "printable.h"
#include "qel/strings.h"

namespace huecast {

std::optional<Filter> parse_filter(std::u16string_view argument) {
    if (argument.size() < 3 || !is_hex_digit(argument[0]) || !is_hex_digit(argument[1]) || argument[2] != u',') {
        return std::nullopt;
    }
    const std::u16string_view text = argument.substr(3);
    // The expression part runs to the end of the argument and may not hold a line end.
    if (text.find_first_of(u"\r\n") != std::u16string_view::npos) return std::nullopt;
    Filter filter{colour_from_code(argument[0], argument[1]), std::u16string(text)};
    qel::strip_pairs(filter.text, u'"', 0);
    return filter;
}

std::u16string decimal(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

labelled_filters label_arguments(const FilterList& filters, const char16_t* const argv[]) {
    labelled_filters labelled;
    std::size_t index = 1;
    for (const Filter& filter : filters) {
        labelled.push_back({filter, u"filter " + decimal(index) + u" \"" + printable(argv[index]) + u"\""});
        ++index;
    }
    return labelled;
}

value_or_error<FilterList, not_a_filter> parse_filters(int argc, const char16_t* const argv[]) {
    FilterList list;
    for (int i = 1; i < argc; ++i) {
        std::optional<Filter> filter = parse_filter(argv[i]);
        if (!filter) return not_a_filter{i};
        list.push_back(std::move(*filter));
    }
    return list;
}

}  // namespace huecast
