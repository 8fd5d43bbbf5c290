// The filter form of an argument: a background digit, a text digit, a comma and a regular
// expression ("0c,error"). A command line is in filter mode only when every argument is
// of this form.
#pragma once

#include <list>
#include <string>

#include "colour_code.h"

namespace huecast {

struct Filter {
    ColourAttribute attribute;  // always 0x00-0xFF
    std::u16string text;        // the expression, enclosing double quotes removed
};

// In command-line order; filters are only appended.
using FilterList = std::list<Filter>;

// True when `argument` is of the filter form; then `filter` holds it decoded.
bool parse_filter(std::u16string_view argument, Filter& filter);

// Empties `list` and fills it from argv[1] .. argv[argc-1]. Returns 0 when every one is a
// filter, 1 at the first that is not (the list then holds those before it).
int parse_filters(FilterList& list, int argc, const char16_t* const argv[]);

}  // namespace huecast
