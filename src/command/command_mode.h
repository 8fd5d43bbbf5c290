// Command mode (--run): a command run with its output painted onto standard output and its
// errors onto standard error, each line whole and each stream with its own output policy;
// lines of the two come out as they come in.
#pragma once

#include <optional>
#include <span>

#include "colour/colour_policy.h"
#include "command/command_runner.h"
#include "exit_code.h"
#include "filter/sources/filter_arguments.h"
#include "io/text_output.h"
#include "qel/console_color.h"

namespace huecast {

struct program_streams;

// What a run with --run has besides the program's streams.
struct command_streams {
    command_runner& runner;
    io::text_output& errors;  // standard error as text, for the command's errors
    output_policy error_policy;
    qel::console_device* error_console = nullptr;  // for colour_method::console_attributes
    std::optional<command_end> ended = std::nullopt;  // once the command ran and ended
    bool started = false;                             // once the command runs: its output is read
};

// Runs `command` with its output and errors painted by `filters`, and waits for its end,
// which `streams.command` then holds (the run ends with its status). Nothing it writes is
// lost or held back past a line: both streams are read to their end. A filter that does not
// compile is a usage error, before anything is started; a command that cannot be started is
// one line on the error stream, and cannot_run or not_found.
exit_code command_mode(std::span<const char* const> command, const FilterList& filters, program_streams& streams);

}  // namespace huecast
