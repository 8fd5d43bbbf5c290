// The forms of a filter. The filter form of an argument: a background digit, a text digit,
// a comma and a regular expression ("0c,error"); a command line is in filter mode only when
// every argument is of this form. A styled filter, which --filter and the lines of filter
// files take besides: styles, a comma and an expression ("bold red;cyan,error: (\w+)").
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "colour/colour.h"
#include "colour/parse_style.h"
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
// `rules.filters:3 "0c,(abc"` for a line of a filter file, `--filter "red,(abc"`. What the
// user wrote is in the label as printable() shows it, so a label may go into a message as
// it is.
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

// Why a text is a filter of neither form.
struct filter_form_error {
    enum class fault {
        no_comma,   // nothing ends the styles
        line_end,   // the expression holds a CR or an LF
        bad_style,  // parse_style refuses one of the styles
    };
    fault what;
    std::size_t part = 0;    // for bad_style: 0 for the match's style, n for group n's
    style_error style = {};  // for bad_style
};

// `text` as --filter and the lines of filter files read it. A text of the filter form (two
// hexadecimal digits, then a comma) means what it means as an argument. Any other is a
// styled filter, STYLES,REGEX: STYLES runs to the first comma, since no style holds one, and
// the expression is all that follows it, commas and semicolons included. STYLES is one style
// as parse_style reads it, or several separated by ";": the match's, then those of groups 1,
// 2, ...; a style of nothing but blanks is empty. Labels are left to the source.
value_or_error<Filter, filter_form_error> parse_styled_filter(std::string_view text);

// The message for `error` in the filter that `label` names.
std::string filter_form_message(const filter_form_error& error, std::string_view label);

// The filters of `arguments`, labelled by their place among them (from 1), when every one
// is a filter (none for no arguments).
value_or_error<FilterList, not_a_filter> parse_filters(std::span<const char* const> arguments);

}  // namespace huecast
