#include "usage.h"

#include "options/option_help.h"

namespace huecast {

const std::string_view usage_text =
    "huecast v2.1 *** coloured console *** free *** https://huecast.example\r\n"
    "Usage:\r\n"
    "huecast <BG color><text color>        - write stdin with specified color\r\n"
    "huecast <BG color><text color>,<regex> ...\r\n"
    "                                      - write stdin by lines with color\r\n"
    "                                        specified for each line by a filter\r\n"
    "huecast <BG color><text color> <text> - write <text> with specified color\r\n"
    "<BG color> and <text color> are same hex digit 0-F as in COLOR command\r\n"
    "0 = Black       8 = Gray\r\n"
    "1 = Blue        9 = Light blue\r\n"
    "2 = Green       A = Light green\r\n"
    "3 = Aqua        B = Light aqua\r\n"
    "4 = Red         C = Light red\r\n"
    "5 = Purple      D = Light purple\r\n"
    "6 = Yellow      E = Light yellow\r\n"
    "7 = White       F = Bright white";

io::text_output& write_usage(io::text_output& output) {
    output.write(usage_text);
    return output;
}

namespace {

constexpr std::string_view environment_text =
    "Environment:\n"
    "  NO_COLOR                     set and not empty: no colour\n"
    "  FORCE_COLOR, CLICOLOR_FORCE  set, not empty and not 0: colour even into a file or pipe\n"
    "  TERM                         dumb: no colour on that terminal\n"
    "  COLORTERM                    truecolor or 24bit: styles' 24-bit colours as they are\n"
    "  LC_ALL, LC_CTYPE, LANG       the character set of input, output and arguments\n";

}  // namespace

void write_help(io::text_output& output) {
    write_usage(output).end_line();
    write_option_help(output);
    output.write(environment_text);
}

void write_version(io::text_output& output) {
    output.write("huecast " HUECAST_VERSION "\n"
                 "Copyright 2026 The huecast developers. MIT License: free to use, change and share; no warranty.\n");
}

}  // namespace huecast
