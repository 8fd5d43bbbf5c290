// What the options that lead a command line asked for, and the arguments after them.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "colour/colour_policy.h"

namespace huecast {

// Where filters come from besides the arguments: a file by its path (--file), a set by its
// name (--set), or one filter as written (--filter).
struct filter_source {
    enum class kind { file, set, filter };
    kind from;
    std::string name;  // the path, the set's name, or the filter
    friend bool operator==(const filter_source&, const filter_source&) = default;
};

struct program_options {
    colour_when colour = colour_when::automatic;
    bool help = false;
    bool version = false;
    bool list_sets = false;
    std::vector<filter_source> filter_sources;  // in the order given
    // --run: the command and its arguments, a view like `operands` (which are then none).
    std::span<const char* const> command;
    bool runs_command() const { return !command.empty(); }
    // The arguments after the options: a view of the vector the options were read from,
    // which must outlive it.
    std::span<const char* const> operands;
};

}  // namespace huecast
