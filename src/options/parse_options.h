// The options that may lead a command line, before the colour code or filters: GNU long
// options only, as the option table describes them. The first argument that does not start
// with "--", or "--" itself, ends them; everything after is read as on a command line
// without options.
#pragma once

#include <string>

#include "options/program_options.h"
#include "value_or_error.h"

namespace huecast {

// Why the options cannot be used, e.g. "unknown option '--x'".
struct option_error {
    std::string message;
};

// The options of argv[1] .. argv[argc-1]; the operands are a view of `argv`.
value_or_error<program_options, option_error> parse_options(int argc, const char* const argv[]);

}  // namespace huecast
