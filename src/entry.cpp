#include "entry.h"

#include <vector>

#include "filter/filter_files.h"
#include "filter/filter_mode.h"
#include "printable.h"
#include "qel/compare.h"
#include "text_mode.h"
#include "usage.h"
#include "whole_stream_mode.h"

namespace huecast {
namespace {

static_assert(filter_file_limit % (1 << 20) == 0, "the message gives the limit in MiB");

std::u16string why_unreadable(const unreadable& error, program_streams& streams) {
    switch (error.why) {
        case unreadable::too_large:
            return u"too large for a filter file (more than " + decimal(filter_file_limit >> 20) + u" MiB)";
        case unreadable::standard_input:
            return u"cannot be a filter file: it is standard input, which holds the text to colour";
        case unreadable::system:
            break;
    }
    std::u16string why;
    streams.output.text_codec().decode(error.reason, why);
    return why;
}

// The filters of every --file, then those of the arguments, all of which must be filters.
int filter_files_mode(const program_options& options, int argc, const char16_t* const argv[],
                      program_streams& streams) {
    labelled_filters filters;
    for (const std::u16string& name : options.filter_files) {
        value_or_error<std::string, unreadable> contents = streams.files != nullptr
                                                               ? streams.files->read(name, filter_file_limit)
                                                               : unreadable{"files cannot be read here"};
        if (!contents) {
            report_error(streams, printable(name) + u": " + why_unreadable(contents.error(), streams));
            return usage_error;
        }
        auto parsed = parse_filter_file(name, *contents, streams.output.text_codec());
        if (!parsed) {
            report_error(streams, parsed.error());
            return usage_error;
        }
        filters.insert(filters.end(), parsed->begin(), parsed->end());
    }
    const auto arguments = parse_filters(argc, argv);
    if (!arguments) {
        report_error(streams, u"'" + printable(argv[arguments.error().index]) +
                                  u"' is not a filter, and with --file every argument must be one");
        return usage_error;
    }
    const labelled_filters labelled = label_arguments(*arguments, argv);
    filters.insert(filters.end(), labelled.begin(), labelled.end());
    return filter_mode(filters, streams);
}

}  // namespace

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
    if (auto filters = parse_filters(argc, argv)) return filter_mode(label_arguments(*filters, argv), streams);
    const text_colour colour = colour_of_argument(argv[1]);
    if (argc == 2) return whole_stream_mode(colour, streams);
    return text_mode(argc, argv, colour, streams);
}

int run_command_line(int argc, const char16_t* const argv[],
                     const value_or_error<program_options, option_error>& options, program_streams& streams) {
    if (!options) {
        report_error(streams, options.error().message + u"; try 'huecast --help'");
        return usage_error;
    }
    if (options->help) {
        write_help(streams.output);
        return 0;
    }
    if (options->version) {
        write_version(streams.output);
        return 0;
    }
    // The arguments after the options, behind the program's name, as a command line of their own.
    std::vector<const char16_t*> rest{argv[0]};
    rest.insert(rest.end(), argv + options->operands, argv + argc);
    const int rest_count = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    if (!options->filter_files.empty()) return filter_files_mode(*options, rest_count, rest.data(), streams);
    return wmain(rest_count, rest.data(), streams);
}

}  // namespace huecast
