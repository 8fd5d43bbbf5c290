#include "messages.h"

#include "printable.h"

namespace huecast::messages {
namespace {

// Every piece of an option echoed in a message goes through here.
std::string quoted(std::string_view text) {
    std::string q(1, '\'');
    q.append(printable(text)).push_back('\'');
    return q;
}

}  // namespace

std::string line(std::string_view message) {
    std::string text = "huecast: ";
    text.append(message).push_back('\n');
    return text;
}

void report(io::byte_sink& errors, const io::codec& codec, std::string_view message) {
    std::string bytes;
    codec.encode(line(message), bytes);
    errors.write(bytes.data(), bytes.size());
}

std::string decimal(std::size_t n) { return std::to_string(n); }

std::string unknown_option(std::string_view argument) { return "unknown option " + quoted(argument); }

std::string takes_no_value(std::string_view option) { return "option " + quoted(option) + " takes no value"; }

std::string takes_what_follows(std::string_view option) {
    return "option " + quoted(option) + " takes the command as the arguments after it, not after '='";
}

std::string needs_value(std::string_view option, std::string_view what) {
    return "option " + quoted(option) + " needs " + std::string(what);
}

std::string invalid_value(std::string_view value, std::string_view option, std::string_view allowed) {
    return "invalid value " + quoted(value) + " for " + quoted(option) + ": " + std::string(allowed);
}

std::string with_help_hint(std::string_view message) { return std::string(message) + "; try 'huecast --help'"; }

std::string argument_label(std::size_t index, std::string_view argument) {
    return "filter " + decimal(index + 1) + " \"" + printable(argument) + "\"";
}

std::string file_line_place(std::string_view file, std::size_t line) { return printable(file) + ":" + decimal(line); }

std::string file_line_label(std::string_view place, std::string_view line) {
    return std::string(place) + " \"" + printable(line) + "\"";
}

std::string option_filter_label(std::string_view value) { return "--filter \"" + printable(value) + "\""; }

std::string not_a_filter(std::string_view label) {
    return std::string(label) + ": not a filter (a colour code or styles, a comma, an expression)";
}

std::string not_a_filter_argument(std::string_view argument) {
    return quoted(argument) + " is not a filter, and with --filter, --file or --set every argument must be one";
}

std::string expression_holds_line_end(std::string_view label) {
    return std::string(label) + ": an expression cannot hold a line end";
}

std::string bad_style(std::string_view label, std::size_t part, std::string_view why) {
    const std::string whose = part == 0 ? "the match's style" : "the style of group " + decimal(part);
    return std::string(label) + ": in " + whose + ", " + printable(why);
}

std::string style_without_group(std::string_view label, std::size_t group, std::string_view written,
                                std::size_t groups) {
    const std::string has = groups == 0 ? "no groups" : groups == 1 ? "only 1 group" : "only " + decimal(groups) + " groups";
    return std::string(label) + ": " + quoted(written) + " is the style of group " + decimal(group) +
           ", but the expression has " + has;
}

std::string bad_expression(std::string_view label, std::string_view why, std::size_t offset) {
    return std::string(label) + ": " + std::string(why) + " at offset " + decimal(offset);
}

std::string filters_too_large(std::string_view label, std::size_t limit_bytes) {
    return std::string(label) + ": with it the compiled filters would take more than " + decimal(limit_bytes >> 20) +
           " MiB, the most they may take in all";
}

namespace {

std::string_view why_gave_up(limit_reached limit) {
    switch (limit) {
        case limit_reached::memory:
            return "its backtracking memory for the line ran out";
        case limit_reached::stack:
            return "its engine's stack for the line ran out";
        case limit_reached::depth:
            return "its backtracking went too deep";
        case limit_reached::other:
            return "its engine failed";
        case limit_reached::none:
        case limit_reached::steps:
            break;
    }
    return "too much backtracking";
}

std::string gave_up_where(std::string_view label, std::string_view where, limit_reached limit) {
    return "warning: " + std::string(label) + " gave up on " + std::string(where) + " (" +
           std::string(why_gave_up(limit)) + ") and colours nothing from there to the line's end; later cases are not reported";
}

}  // namespace

std::string gave_up(std::string_view label, std::size_t line_number, limit_reached limit) {
    return gave_up_where(label, "line " + decimal(line_number), limit);
}

std::string gave_up_in(std::string_view label, std::string_view stream, std::size_t line_number,
                       limit_reached limit) {
    return gave_up_where(label, "line " + decimal(line_number) + " of " + std::string(stream), limit);
}

std::string no_set_for_command(std::string_view name,
                               const std::vector<std::pair<std::string, std::vector<std::string>>>& sets) {
    std::string line = "no filter set is for the command " + quoted(name) + "; give one with --set or --file";
    if (sets.empty()) return line + " (no sets were found)";
    line += " (the sets and their commands:";
    for (std::size_t i = 0; i < sets.size(); ++i) {
        line.append(i == 0 ? " " : "; ").append(printable(sets[i].first)).append(":");
        if (sets[i].second.empty()) line.append(" none");
        for (const std::string& command : sets[i].second) line.append(" ").append(printable(command));
    }
    return line + ")";
}

std::string command_not_found(std::string_view program) { return printable(program) + ": command not found"; }

std::string no_commands_here() { return "--run: commands cannot be run here"; }

std::string cannot_run(std::string_view program, std::string_view why) {
    return printable(program) + ": " + std::string(why);
}

std::string unreadable_file(std::string_view file, std::string_view why) {
    return printable(file) + ": " + std::string(why);
}

std::string file_too_large(std::size_t limit_bytes) {
    return "too large for a filter file (more than " + decimal(limit_bytes >> 20) + " MiB)";
}

std::string file_is_standard_input() {
    return "cannot be a filter file: it is standard input, which holds the text to colour";
}

std::string not_a_regular_file() { return "not a regular file"; }

std::string set_directory_closed(std::string_view name, std::string_view directory, std::string_view why) {
    return "filter set " + quoted(name) + ": cannot search " + printable(directory) + ": " + std::string(why);
}

std::string set_directory_unlisted(std::string_view directory, std::string_view why) {
    return "cannot list " + printable(directory) + ": " + std::string(why);
}

std::string stream_failed(std::string_view stream, std::string_view why) {
    return std::string(stream) + ": " + std::string(why);
}

std::string internal_error(std::string_view what) { return "internal error: " + std::string(what); }

}  // namespace huecast::messages
