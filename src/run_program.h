// One run of the program on its streams: the entry, then the rest of the output written out.
// A failure to read standard input or to write standard output becomes one line on the
// error sink and exit_code::io_failure; a reader of the output that went away is no failure.
// Memory that runs out anywhere ends the run: what was written goes out, then the one line
// that says so (see out_of_memory.h).
#pragma once

#include "exit_code.h"
#include "options/parse_options.h"
#include "program_streams.h"

namespace huecast {

exit_code run_program(const value_or_error<program_options, option_error>& options, program_streams& streams);

}  // namespace huecast
