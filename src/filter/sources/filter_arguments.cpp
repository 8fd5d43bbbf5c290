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

bool holds_line_end(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

bool is_blank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

std::optional<Filter> parse_filter(std::string_view argument) {
    const colour_code code = read_colour_code(argument);
    if (argument.size() < 3 || !code.two_digits || argument[2] != ',') return std::nullopt;
    const std::string_view text = argument.substr(3);
    // The expression part runs to the end of the argument and may not hold a line end.
    if (holds_line_end(text)) return std::nullopt;
    Filter filter{code.colour, std::string(text), {}};
    strip_quote_pairs(filter.text);
    return filter;
}

value_or_error<Filter, filter_form_error> parse_styled_filter(std::string_view text) {
    if (std::optional<Filter> classic = parse_filter(text)) return std::move(*classic);
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return filter_form_error{filter_form_error::fault::no_comma};
    Filter filter{std::nullopt, std::string(text.substr(comma + 1)), {}};
    if (holds_line_end(filter.text)) return filter_form_error{filter_form_error::fault::line_end};
    std::string_view styles = text.substr(0, comma);
    for (std::size_t part = 0;; ++part) {
        const std::size_t semicolon = styles.find(';');
        const std::string_view written = styles.substr(0, semicolon);
        std::optional<text_colour> style;
        if (!is_blank(written)) {
            auto parsed = parse_style(written);
            if (!parsed) return filter_form_error{filter_form_error::fault::bad_style, part, parsed.error()};
            style = *parsed;
        }
        if (part == 0) {
            filter.colour = style;
        } else {
            filter.group_styles.push_back({style, std::string(written)});
        }
        if (semicolon == std::string_view::npos) break;
        styles.remove_prefix(semicolon + 1);
    }
    strip_quote_pairs(filter.text);
    return filter;
}

std::string filter_form_message(const filter_form_error& error, std::string_view label) {
    switch (error.what) {
        case filter_form_error::fault::no_comma:
            break;
        case filter_form_error::fault::line_end:
            return messages::expression_holds_line_end(label);
        case filter_form_error::fault::bad_style:
            return messages::bad_style(label, error.part, error.style.reason());
    }
    return messages::not_a_filter(label);
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
