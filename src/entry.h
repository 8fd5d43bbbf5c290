// The program's entry once the platform has decoded its arguments: the leading options,
// then the help test and the choice of mode. Returns the exit code.
#pragma once

#include <string>

#include "exit_code.h"
#include "options.h"
#include "program_streams.h"

namespace huecast {

// True for no arguments, or a single "-?" or "/?" (exact) or "-h" or "/h" (either case).
bool is_help_request(int argc, const char16_t* const argv[]);

// A command line without options: the usage text, filter mode, whole-stream mode or text mode.
exit_code wmain(int argc, const char16_t* const argv[], program_streams& streams);

// The whole command line: `options`, parsed from its front by the platform's entry (which
// needed the colour choice first), then wmain on the arguments after them.
exit_code run_command_line(int argc, const char16_t* const argv[],
                     const value_or_error<program_options, option_error>& options, program_streams& streams);

}  // namespace huecast
