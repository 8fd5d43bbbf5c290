// Filter mode: standard input copied line by line, with the pieces that the filters match
// written in the filters' colours.
#pragma once

#include "program_streams.h"

namespace huecast {

// What filter_mode returns besides 0: some argument is not a filter, and nothing has been
// read or written.
constexpr int not_all_filters = 1;
// A filter's expression does not compile: one line on the error stream names it, and
// nothing has been read or written.
constexpr int invalid_filter = 2;

int filter_mode(const char16_t* const argv[], int argc, program_streams& streams);

}  // namespace huecast
