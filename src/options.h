// The options that may lead a command line, before the colour code or filters: GNU long
// options only (--color=WHEN, --colour=WHEN, --file=FILE or --file FILE, --help, --version).
// The first argument that does not start with "--", or "--" itself, ends them; everything
// after is read as on a command line without options.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "colour/colour_policy.h"
#include "value_or_error.h"

namespace huecast {

struct program_options {
    colour_when colour = colour_when::automatic;
    bool help = false;
    bool version = false;
    std::vector<std::u16string> filter_files;  // in the order given
    // The arguments after the options: a view of the vector the options were read from,
    // which must outlive it.
    std::span<const char16_t* const> operands;
};

// Why the options cannot be used, e.g. "unknown option '--x'".
struct option_error {
    std::u16string message;
};

// The options of argv[1] .. argv[argc-1]; the operands are a view of `argv`.
value_or_error<program_options, option_error> parse_options(int argc, const char16_t* const argv[]);

}  // namespace huecast
