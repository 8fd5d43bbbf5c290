#include "entry.h"

#include <span>
#include <vector>

#include "colour/colour_code.h"
#include "filter/filter_mode.h"
#include "filter/filter_sources.h"
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

exit_code wmain(int argc, const char16_t* const argv[], program_streams& streams) {
    if (is_help_request(argc, argv)) {
        write_usage(streams.output).end_line();
        return exit_code::done;
    }
    const std::span<const char16_t* const> arguments(argv + 1, static_cast<std::size_t>(argc - 1));
    if (auto filters = parse_filters(arguments)) return filter_mode(*filters, streams);
    const text_colour colour = read_colour_code(argv[1]).colour;
    if (argc == 2) return whole_stream_mode(colour, streams);
    return text_mode(argc, argv, colour, streams);
}

exit_code run_command_line(int argc, const char16_t* const argv[],
                     const value_or_error<program_options, option_error>& options, program_streams& streams) {
    if (!options) {
        report_error(streams, options.error().message + u"; try 'huecast --help'");
        return exit_code::usage_error;
    }
    if (options->help) {
        write_help(streams.output);
        return exit_code::done;
    }
    if (options->version) {
        write_version(streams.output);
        return exit_code::done;
    }
    // The arguments after the options, behind the program's name, as a command line of their own.
    std::vector<const char16_t*> rest{argv[0]};
    rest.insert(rest.end(), argv + options->operands, argv + argc);
    const int rest_count = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    if (options->filter_files.empty()) return wmain(rest_count, rest.data(), streams);
    const auto filters = gather_filters(options->filter_files, std::span(rest.data() + 1, rest.size() - 2),
                                        streams.files, streams.output.text_codec());
    if (!filters) {
        report_error(streams, filters.error());
        return exit_code::usage_error;
    }
    return filter_mode(*filters, streams);
}

}  // namespace huecast
