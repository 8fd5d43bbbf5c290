#include "command/command_line.h"

#include <string_view>

namespace huecast {

std::string windows_command_line(std::span<const char* const> command) {
    std::string line;
    for (const char* argument : command) {
        const std::string_view text = argument;
        if (!line.empty()) line += ' ';
        if (!text.empty() && text.find_first_of(" \t\n\v\"") == std::string_view::npos) {
            line += text;
            continue;
        }
        line += '"';
        std::size_t backslashes = 0;
        for (const char c : text) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            // Backslashes are literal unless a quote follows them.
            line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(2 * backslashes, '\\');
        line += '"';
    }
    return line;
}

}  // namespace huecast
