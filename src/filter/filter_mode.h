// Filter mode: standard input copied line by line, with the pieces that the filters match
// written in the filters' colours.
#pragma once

#include "program_streams.h"

namespace huecast {

// What filter_mode returns besides 0: some argument is not a filter, and nothing has been
// read or written.
constexpr int not_all_filters = 1;

int filter_mode(const char16_t* const argv[], int argc, program_streams& streams);

}  // namespace huecast
