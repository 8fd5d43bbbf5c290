// Whether colour goes out, how, and how a line ends: one small value, decided once at
// start-up by the platform's entry from what standard output is, the --color option and
// the environment. Modes never ask the platform again; they choose a colour writer from it.
#pragma once

#include <optional>
#include <string>

#include "io/line_ends.h"

namespace huecast {

// How colour reaches the output.
enum class colour_method {
    none,                // text only
    escapes,             // SGR escape sequences in the byte stream
    console_attributes,  // the Windows console's text-attribute service
};

// How many colours escapes may use: any 24-bit colour, or the 256 of the palette, to which
// a 24-bit colour then goes as the nearest.
enum class colour_depth { palette_256, true_colour };

struct output_policy {
    colour_method colour;
    io::line_end line_end;
    colour_depth depth = colour_depth::palette_256;
    // With console_attributes: the console interprets escapes as well, and a style that its
    // attribute word cannot show goes out as escapes instead of the nearest word.
    bool console_escapes = false;

    bool colours() const { return colour != colour_method::none; }
    friend bool operator==(const output_policy&, const output_policy&) = default;
};

// What standard output leads to.
enum class output_kind {
    terminal,         // a terminal that takes escape sequences
    windows_console,  // a Windows console, coloured through its attribute service
    escape_console,   // a Windows console that interprets escape sequences too
    file_or_pipe,     // anything else: a file, a pipe, a device
};

// The --color option: `automatic` leaves the choice to the environment and the output.
enum class colour_when { automatic, always, never };

// What the environment says about colour, read once by the entry; an unset variable is absent.
struct colour_environment {
    std::optional<std::string> no_color = std::nullopt;        // NO_COLOR
    std::optional<std::string> force_color = std::nullopt;     // FORCE_COLOR
    std::optional<std::string> clicolor_force = std::nullopt;  // CLICOLOR_FORCE
    std::optional<std::string> term = std::nullopt;            // TERM
    std::optional<std::string> colorterm = std::nullopt;       // COLORTERM
};

// The variables as the process has them.
colour_environment read_colour_environment();

// The first rule that applies wins: the option; NO_COLOR set and not empty (no colour);
// FORCE_COLOR or CLICOLOR_FORCE set, not empty and not "0" (colour even into a file or a
// pipe); otherwise colour only on a terminal whose TERM is not "dumb", or on a console.
// Colour forced into a file or a pipe is what a terminal would get: escapes and LF. Without
// colour a terminal or console still gets LF; files and pipes get CR LF. Escapes carry
// 24-bit colour where COLORTERM is "truecolor" or "24bit", as terminals that take it say.
output_policy decide_output_policy(output_kind kind, colour_when when, const colour_environment& environment);

}  // namespace huecast
