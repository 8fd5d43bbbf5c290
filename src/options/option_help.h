// The options' lines of --help: one for each row of the option table.
#pragma once

#include "io/text_output.h"

namespace huecast {

// A heading, then every option and "--", each line ended.
void write_option_help(io::text_output& output);

}  // namespace huecast
