// The program's entry once the platform has decoded its arguments: the help test and the
// choice of mode. Returns the exit code.
#pragma once

#include <string>

#include "program_streams.h"

namespace huecast {

// True for no arguments, or a single "-?" or "/?" (exact) or "-h" or "/h" (either case).
bool is_help_request(int argc, const char16_t* const argv[]);

int wmain(int argc, const char16_t* const argv[], program_streams& streams);

}  // namespace huecast
