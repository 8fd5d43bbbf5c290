// The program's entry once the platform has decoded its arguments and read the options
// that lead them: --help, --version and --list-sets, the filters of a run with --filter,
// --file or --set, and otherwise the choice of mode from the arguments alone.
#pragma once

#include <span>

#include "exit_code.h"
#include "options/parse_options.h"
#include "program_streams.h"

namespace huecast {

// True for no arguments, or a single "-?" or "/?" (exact) or "-h" or "/h" (either case).
bool is_help_request(std::span<const char* const> arguments);

// A command line without options: the usage text, filter mode, whole-stream mode or text mode.
exit_code dispatch(std::span<const char* const> arguments, program_streams& streams);

// The whole command line, its options read from its front by the platform's entry (which
// needed the colour choice first).
exit_code run_command_line(const value_or_error<program_options, option_error>& options, program_streams& streams);

}  // namespace huecast
