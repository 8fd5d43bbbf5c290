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

// The style of a capture group: as read (none: empty, so that the group shows as the text
// around it does), and as written, for messages.
struct group_style {
    std::optional<text_colour> style;
    std::string written;
    friend bool operator==(const group_style&, const group_style&) = default;
};

// One filter as a source gives it: the style of its matches and of their groups, its
// expression, and the words that name it in messages: `filter 2 "0c,(abc"` for an argument,
// `rules.filters:3 "0c,(abc"` for a line of a filter file. What the user wrote is in the
// label as printable() shows it, so a label may go into a message as it is.
struct Filter {
    std::optional<text_colour> colour;  // the match's style; none: the match is left as it is
    std::string text;                   // the expression, enclosing double quotes removed
    std::string label;                  // empty until the source names it
    std::vector<group_style> group_styles = {};  // of groups 1, 2, ...
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
