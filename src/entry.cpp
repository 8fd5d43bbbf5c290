#include "entry.h"

#include "filter/filter_mode.h"
#include "qel/compare.h"
#include "text_mode.h"
#include "usage.h"
#include "whole_stream_mode.h"

namespace huecast {

bool is_help_request(int argc, const char16_t* const argv[]) {
    if (argc == 1) return true;
    if (argc != 2) return false;
    const std::u16string s = argv[1];
    return s == u"-?" || s == u"/?" || qel::CompareNoCase(s, u"-h").Value() == 0 ||
           qel::CompareNoCase(s, u"/h").Value() == 0;
}

int wmain(int argc, const char16_t* const argv[], program_streams& streams) {
    if (is_help_request(argc, argv)) {
        write_usage(streams.output).end_line();
        return 0;
    }
    if (auto filters = parse_filters(argc, argv)) return filter_mode(*filters, argv, streams);
    const text_colour colour = colour_of_argument(argv[1]);
    if (argc == 2) return whole_stream_mode(colour, streams);
    return text_mode(argc, argv, colour, streams);
}

}  // namespace huecast
