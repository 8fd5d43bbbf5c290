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

std::string not_a_filter_line(std::string_view place, std::string_view line) {
    return std::string(place) + ": not a filter (colour digits, a comma, an expression): \"" + printable(line) + "\"";
}

std::string not_a_filter_argument(std::string_view argument) {
    return quoted(argument) + " is not a filter, and with --file or --set every argument must be one";
}

std::string bad_expression(std::string_view label, std::string_view why, std::size_t offset) {
    return std::string(label) + ": " + std::string(why) + " at offset " + decimal(offset);
}

std::string filters_too_large(std::string_view label, std::size_t limit_bytes) {
    return std::string(label) + ": with it the compiled filters would take more than " + decimal(limit_bytes >> 20) +
           " MiB, the most they may take in all";
}

std::string gave_up(std::string_view label, std::size_t line_number, limit_reached limit) {
    const auto why = [&]() -> std::string_view {
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
    };
    return "warning: " + std::string(label) + " gave up on line " + decimal(line_number) + " (" + std::string(why()) +
           ") and colours nothing from there to the line's end; later cases are not reported";
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

std::string stream_failed(std::string_view stream, std::string_view why) {
    return std::string(stream) + ": " + std::string(why);
}

std::string internal_error(std::string_view what) { return "internal error: " + std::string(what); }

}  // namespace huecast::messages
