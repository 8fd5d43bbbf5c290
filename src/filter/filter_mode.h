// Filter mode: standard input copied line by line, with the pieces that the filters match
// written in the filters' colours.
#pragma once

#include "filter/filter_arguments.h"
#include "program_streams.h"

namespace huecast {

// What filter_mode returns when a filter's expression does not compile: one line on the
// error stream names it, and nothing has been read or written.
constexpr int invalid_filter = 2;

// Colours standard input with `filters`, named in messages by their labels. Returns the
// exit code.
int filter_mode(const labelled_filters& filters, program_streams& streams);

}  // namespace huecast
