// Whole-stream mode: standard input copied line by line, every line in one colour; the
// line ends stay in the colour that was in force before.
#pragma once

#include "colour/colour.h"
#include "exit_code.h"
#include "program_streams.h"

namespace huecast {

exit_code whole_stream_mode(text_colour colour, program_streams& streams);

}  // namespace huecast
