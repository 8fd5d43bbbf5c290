#include "usage.h"

#include "options/option_help.h"

namespace huecast {

const std::u16string_view usage_text =
    u"huecast v2.1 *** coloured console *** free *** https://huecast.example\r\n"
    u"Usage:\r\n"
    u"huecast <BG color><text color>        - write stdin with specified color\r\n"
    u"huecast <BG color><text color>,<regex> ...\r\n"
    u"                                      - write stdin by lines with color\r\n"
    u"                                        specified for each line by a filter\r\n"
    u"huecast <BG color><text color> <text> - write <text> with specified color\r\n"
    u"<BG color> and <text color> are same hex digit 0-F as in COLOR command\r\n"
    u"0 = Black       8 = Gray\r\n"
    u"1 = Blue        9 = Light blue\r\n"
    u"2 = Green       A = Light green\r\n"
    u"3 = Aqua        B = Light aqua\r\n"
    u"4 = Red         C = Light red\r\n"
    u"5 = Purple      D = Light purple\r\n"
    u"6 = Yellow      E = Light yellow\r\n"
    u"7 = White       F = Bright white";

io::text_output& write_usage(io::text_output& output) {
    output.write(usage_text);
    return output;
}

namespace {

constexpr std::u16string_view environment_text =
    u"Environment:\n"
    u"  NO_COLOR                     set and not empty: no colour\n"
    u"  FORCE_COLOR, CLICOLOR_FORCE  set, not empty and not 0: colour even into a file or pipe\n"
    u"  TERM                         dumb: no colour on that terminal\n"
    u"  LC_ALL, LC_CTYPE, LANG       the character set of input, output and arguments\n";

}  // namespace

void write_help(io::text_output& output) {
    write_usage(output).end_line();
    write_option_help(output);
    output.write(environment_text);
}

void write_version(io::text_output& output) {
    output.write(u"huecast " HUECAST_VERSION u"\n"
                 u"Copyright 2026 The huecast developers. MIT License: free to use, change and share; no warranty.\n");
}

}  // namespace huecast
