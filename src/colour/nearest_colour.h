// The nearest colour where an output cannot show the one asked for: a 24-bit colour among
// the 256 of the palette, for terminals that take no 24-bit colour; any colour among the
// console's sixteen, for a console coloured through its attribute word. "Nearest" is the
// least squared distance of red, green and blue; a tie goes to the lower number.
#pragma once

#include <cstdint>

#include "colour/colour.h"

namespace huecast {

// The nearest of palette entries 16-255, xterm's 6x6x6 cube and grey ramp: the sixteen
// below them are set differently by every terminal, so a colour never maps there.
std::uint8_t nearest_palette(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// The nearest of the console's sixteen to `colour`, which is set. The sixteen of a code, a
// name or a palette number below 16 are themselves; others are measured against the
// console's classic colour table.
console_colour nearest_console(colour_value colour);

}  // namespace huecast
