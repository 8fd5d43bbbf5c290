// Filter mode: standard input copied line by line, with the pieces that the filters match
// written in the filters' colours.
#pragma once

#include "exit_code.h"
#include "filter/sources/filter_arguments.h"
#include "io/line_reader.h"
#include "program_streams.h"

namespace huecast {

// What of a line is painted before its end has come, wherever filters paint a stream.
extern const io::piece_policy painting_pieces;

// Colours standard input with `filters`, named in messages by their labels. A filter whose
// expression does not compile is a usage error: one line on the error stream names it, and
// nothing has been read or written.
exit_code filter_mode(const FilterList& filters, program_streams& streams);

}  // namespace huecast
