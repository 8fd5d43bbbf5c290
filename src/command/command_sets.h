// The commands a filter set is for, as its own file names them on a comment line of the form
// "# commands: make ninja cmake", and the set that --run takes for a command when no filters
// are given: the first that names it, the user's own sets before those that came with huecast.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_reader.h"
#include "filter/sources/named_sets.h"
#include "io/codec.h"
#include "value_or_error.h"

namespace huecast {

// The names on the "# commands:" lines of a set's file, in order; its bytes are in the code
// page of `codec`.
std::vector<std::string> commands_named_in(std::string_view contents, const io::codec& codec);

struct set_and_commands {
    named_set set;
    std::vector<std::string> commands;
};

// Every set on `shelf`, ordered by name, with the commands its file names (none where it
// cannot be read).
std::vector<set_and_commands> every_set_with_commands(const set_shelf& shelf, file_reader& files,
                                                      const io::codec& codec);

// The set for the command called `name`; or the message that none is, with every set and
// what it is for.
value_or_error<named_set, std::string> set_for_command(std::string_view name, const set_shelf& shelf,
                                                       file_reader& files, const io::codec& codec);

}  // namespace huecast
