#include "filter/filter_mode.h"

#include "filter/filter_arguments.h"
#include "input_lines.h"

namespace huecast {

int filter_mode(const char16_t* const argv[], int argc, program_streams& streams) {
    FilterList filters;
    if (const int result = parse_filters(filters, argc, argv); result != 0) return result;
    // Colouring the matched pieces is not built yet: the lines pass through unchanged.
    for_each_input_line(streams, [&](auto line) {
        write_line_body(streams.output, line);
        streams.output.end_line();
    });
    return 0;
}

}  // namespace huecast
