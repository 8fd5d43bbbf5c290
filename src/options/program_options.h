// What the options that lead a command line asked for, and the arguments after them.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "colour/colour_policy.h"

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

}  // namespace huecast
