// The filter form of an argument: a background digit, a text digit, a comma and a regular
// expression ("0c,error"). A command line is in filter mode only when every argument is
// of this form.
#pragma once

#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "colour/colour_code.h"
#include "value_or_error.h"

namespace huecast {

struct Filter {
    ColourAttribute attribute;  // always 0x00-0xFF
    std::u16string text;        // the expression, enclosing double quotes removed
};

// In command-line order; filters are only appended.
using FilterList = std::list<Filter>;

// A filter with the words that name it in messages: `filter 2 "0c,(abc"` for an argument,
// `rules.filters:3 "0c,(abc"` for a line of a filter file. What the user wrote is in them
// as printable() shows it, so a label may go into a message as it is.
struct labelled_filter {
    Filter filter;
    std::u16string label;
};
using labelled_filters = std::vector<labelled_filter>;

// `n` in decimal digits, for the numbers that messages about filters hold.
std::u16string decimal(std::size_t n);

// The filters of a command line, labelled by their place among its arguments.
labelled_filters label_arguments(const FilterList& filters, const char16_t* const argv[]);

// The first argument that is not of the filter form.
struct not_a_filter {
    int index;  // in argv
};

// `argument` decoded, when it is of the filter form.
std::optional<Filter> parse_filter(std::u16string_view argument);

// The filters of argv[1] .. argv[argc-1], when every one is a filter (none for argc <= 1).
value_or_error<FilterList, not_a_filter> parse_filters(int argc, const char16_t* const argv[]);

}  // namespace huecast
