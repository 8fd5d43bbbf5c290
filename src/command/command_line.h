// A command and its arguments as one Windows command line, quoted so that the C runtime's
// splitting (the rules of CommandLineToArgvW) gives back exactly those arguments.
#pragma once

#include <span>
#include <string>

namespace huecast {

// `command` (UTF-8), the program first, joined by blanks: an argument that is empty or holds
// a blank, a tab, a line end or a double quote goes in double quotes, with a quote inside
// as \" and the backslashes before a quote, or before the closing one, doubled.
std::string windows_command_line(std::span<const char* const> command);

}  // namespace huecast
