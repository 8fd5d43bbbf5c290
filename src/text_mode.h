// Text mode: the words, joined by single blanks, written in one colour and followed by a
// line break in the colour that was in force before.
#pragma once

#include <span>

#include "colour/colour.h"
#include "exit_code.h"
#include "program_streams.h"

namespace huecast {

exit_code text_mode(std::span<const char* const> words, text_colour colour, program_streams& streams);

}  // namespace huecast
