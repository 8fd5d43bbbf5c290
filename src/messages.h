// Every line that huecast says to its user on standard error, worded here and nowhere else:
// "huecast: <what>: <why>". What the user wrote goes into a message as printable() shows it
// (labels already hold it so), so that nothing echoed can harm the terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/byte_stream.h"
#include "filter/match/search_limits.h"
#include "io/codec.h"

namespace huecast::messages {

// The whole line for `message`, with the program's name in front and the line end after.
std::string line(std::string_view message);
// Writes that line to `errors`, in the bytes of `codec`.
void report(io::byte_sink& errors, const io::codec& codec, std::string_view message);

// `n` in decimal digits.
std::string decimal(std::size_t n);

// The options.
std::string unknown_option(std::string_view argument);
std::string takes_no_value(std::string_view option);
std::string takes_what_follows(std::string_view option);  // --run=make
std::string needs_value(std::string_view option, std::string_view what);
std::string invalid_value(std::string_view value, std::string_view option, std::string_view allowed);
// A usage error, with where to look.
std::string with_help_hint(std::string_view message);

// Filters: the labels that name them, and what can be wrong with them.
std::string argument_label(std::size_t index, std::string_view argument);  // filter 2 "0c,(abc"
std::string file_line_place(std::string_view file, std::size_t line);      // rules.filters:3
std::string file_line_label(std::string_view place, std::string_view line);
std::string option_filter_label(std::string_view value);                   // --filter "red,(abc"
std::string not_a_filter(std::string_view label);
std::string not_a_filter_argument(std::string_view argument);
std::string expression_holds_line_end(std::string_view label);
// `part` 0 is the match's style, n group n's; `why` is parse_style's reason.
std::string bad_style(std::string_view label, std::size_t part, std::string_view why);
std::string style_without_group(std::string_view label, std::size_t group, std::string_view written,
                                std::size_t groups);
std::string bad_expression(std::string_view label, std::string_view why, std::size_t offset);
std::string filters_too_large(std::string_view label, std::size_t limit_bytes);
std::string gave_up(std::string_view label, std::size_t line_number, limit_reached limit);
// The same on line `line_number` of one of a command's streams ("the command's errors").
std::string gave_up_in(std::string_view label, std::string_view stream, std::size_t line_number,
                       limit_reached limit);

// Filter files.
std::string unreadable_file(std::string_view file, std::string_view why);
std::string file_too_large(std::size_t limit_bytes);
std::string file_is_standard_input();
std::string not_a_regular_file();

// Filter sets: a directory that might hold the set but cannot be searched, and one that is
// there but cannot be listed.
std::string set_directory_closed(std::string_view name, std::string_view directory, std::string_view why);
std::string set_directory_unlisted(std::string_view directory, std::string_view why);

// The command of --run: the set chosen by its name, and what kept it from running.
// `sets` names each set with the commands it is for: {"build", {"make", "ninja"}}.
std::string no_set_for_command(std::string_view name,
                               const std::vector<std::pair<std::string, std::vector<std::string>>>& sets);
std::string command_not_found(std::string_view program);
std::string no_commands_here();
std::string cannot_run(std::string_view program, std::string_view why);

// Memory that ran out: the whole line, fixed, so that writing it needs none.
inline constexpr std::string_view out_of_memory_line = "huecast: out of memory\n";

// The streams, and the last resort.
std::string stream_failed(std::string_view stream, std::string_view why);
std::string internal_error(std::string_view what);

}  // namespace huecast::messages
