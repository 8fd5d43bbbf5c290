#include "filter/filter_arguments.h"

#include "qel/strings.h"

namespace huecast {
namespace {

bool is_hex_digit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

bool parse_filter(std::u16string_view argument, Filter& filter) {
    if (argument.size() < 3 || !is_hex_digit(argument[0]) || !is_hex_digit(argument[1]) || argument[2] != u',') {
        return false;
    }
    const std::u16string_view text = argument.substr(3);
    // The expression part runs to the end of the argument and may not hold a line end.
    if (text.find_first_of(u"\r\n") != std::u16string_view::npos) return false;
    filter.attribute = colour_from_code(argument[0], argument[1]);
    filter.text.assign(text);
    qel::strip_pairs(filter.text, u'"', 0);
    return true;
}

int parse_filters(FilterList& list, int argc, const char16_t* const argv[]) {
    list.clear();
    for (int i = 1; i < argc; ++i) {
        Filter filter;
        if (!parse_filter(argv[i], filter)) return 1;
        list.push_back(std::move(filter));
    }
    return 0;
}

}  // namespace huecast
