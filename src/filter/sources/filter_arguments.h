// The filter form of an argument: a background digit, a text digit, a comma and a regular
// expression ("0c,error"). A command line is in filter mode only when every argument is
// of this form.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "colour/colour.h"
#include "value_or_error.h"

namespace huecast {

// One filter as a source gives it: the colour of its matches, its expression, and the words
// that name it in messages: `filter 2 "0c,(abc"` for an argument, `rules.filters:3
// "0c,(abc"` for a line of a filter file. What the user wrote is in the label as printable()
// shows it, so a label may go into a message as it is.
struct Filter {
    text_colour colour;
    std::string text;   // the expression, enclosing double quotes removed
    std::string label;  // empty until the source names it
};

// The filters of a run, front first: every source of filters gives them so, and filter
// mode takes them so.
using FilterList = std::vector<Filter>;

// The first argument that is not of the filter form.
struct not_a_filter {
    std::size_t index;  // in the arguments given
};

// `argument` decoded, when it is of the filter form.
std::optional<Filter> parse_filter(std::string_view argument);

// The filters of `arguments`, labelled by their place among them (from 1), when every one
// is a filter (none for no arguments).
value_or_error<FilterList, not_a_filter> parse_filters(std::span<const char* const> arguments);

}  // namespace huecast
