#include "entry.h"

#include "colour/colour_code.h"
#include "command/command_mode.h"
#include "command/command_sets.h"
#include "filter/filter_mode.h"
#include "filter/sources/filter_files.h"
#include "filter/sources/filter_sources.h"
#include "io/utf16.h"
#include "messages.h"
#include "printable.h"
#include "qel/compare.h"
#include "text_mode.h"
#include "usage.h"
#include "whole_stream_mode.h"

namespace huecast {
namespace {

// --list-sets: each set found, by name, as "NAME<TAB>FILE<TAB>COMMANDS", one a line; the
// commands it is for are separated by blanks. A file name may hold anything but "/": all
// are escaped as messages escape what they echo, so that none acts on the terminal or breaks
// the lines apart, and names and files are never cut. Then each directory that could not be
// listed, on the error stream; the sets it holds may still be read by name.
exit_code write_sets(program_streams& streams) {
    const auto commands_of = [&](const named_set& set) {
        if (streams.files == nullptr) return std::vector<std::string>{};
        const auto contents = streams.files->read(set.path, filter_file_limit, file_kind::regular);
        return contents ? commands_named_in(*contents, streams.output.text_codec()) : std::vector<std::string>{};
    };
    const shelf_contents found = every_set(*streams.sets);
    constexpr std::size_t whole = static_cast<std::size_t>(-1);
    for (const named_set& set : found.sets) {
        streams.output.write(printable(set.name, whole));
        streams.output.write("\t");
        streams.output.write(printable(set.path, whole));
        streams.output.write("\t");
        std::string commands;
        for (const std::string& command : commands_of(set)) {
            if (!commands.empty()) commands += ' ';
            commands += printable(command);
        }
        streams.output.write(commands);
        streams.output.end_line();
    }
    if (found.unlisted.empty()) return exit_code::done;
    streams.output.flush();
    for (const std::string& line : found.unlisted) report_error(streams, line);
    return exit_code::io_failure;
}

// --run: the filters given, or else the set that names the command.
exit_code run_command(const program_options& options, program_streams& streams) {
    if (streams.command == nullptr) {
        report_error(streams, messages::no_commands_here());
        return exit_code::usage_error;
    }
    std::vector<filter_source> sources = options.filter_sources;
    if (sources.empty()) {
        const std::string name = streams.command->runner.name_of(options.command.front());
        if (streams.sets == nullptr || streams.files == nullptr) {
            report_error(streams, messages::no_set_for_command(name, {}));
            return exit_code::usage_error;
        }
        const auto set = set_for_command(name, *streams.sets, *streams.files, streams.output.text_codec());
        if (!set) {
            report_error(streams, set.error());
            return exit_code::usage_error;
        }
        sources.push_back({filter_source::kind::set, set->name});
    }
    const auto filters = gather_filters(sources, {}, {streams.files, streams.sets, streams.output.text_codec()});
    if (!filters) {
        report_error(streams, filters.error());
        return exit_code::usage_error;
    }
    return command_mode(options.command, *filters, streams);
}

}  // namespace

bool is_help_request(std::span<const char* const> arguments) {
    if (arguments.empty()) return true;
    if (arguments.size() != 1) return false;
    const std::string_view s = arguments.front();
    if (s == "-?" || s == "/?") return true;
    const std::u16string text = io::utf16::to_utf16(s);
    return qel::CompareNoCase(text, u"-h").Value() == 0 || qel::CompareNoCase(text, u"/h").Value() == 0;
}

exit_code dispatch(std::span<const char* const> arguments, program_streams& streams) {
    if (is_help_request(arguments)) {
        write_usage(streams.output).end_line();
        return exit_code::done;
    }
    if (auto filters = parse_filters(arguments)) return filter_mode(*filters, streams);
    const text_colour colour = read_colour_code(arguments.front()).colour;
    if (arguments.size() == 1) return whole_stream_mode(colour, streams);
    return text_mode(arguments.subspan(1), colour, streams);
}

exit_code run_command_line(const value_or_error<program_options, option_error>& options, program_streams& streams) {
    if (!options) {
        report_error(streams, messages::with_help_hint(options.error().message));
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
    if (options->list_sets) return streams.sets != nullptr ? write_sets(streams) : exit_code::done;
    if (options->runs_command()) return run_command(*options, streams);
    if (options->filter_sources.empty()) return dispatch(options->operands, streams);
    const auto filters = gather_filters(options->filter_sources, options->operands,
                                        {streams.files, streams.sets, streams.output.text_codec()});
    if (!filters) {
        report_error(streams, filters.error());
        return exit_code::usage_error;
    }
    return filter_mode(*filters, streams);
}

}  // namespace huecast
