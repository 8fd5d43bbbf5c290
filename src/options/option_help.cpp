#include "options/option_help.h"

#include <algorithm>
#include <string>

#include "options/option_table.h"

namespace huecast {
namespace {

// Where the explanations begin, in line with those of the environment variables after them.
constexpr std::size_t help_column = 31;

void write_line(io::text_output& output, const option_definition& option) {
    std::string line = "  ";
    const auto add_name = [&](std::string_view name) {
        if (line.size() > 2) line += ", ";
        line += name;
        if (option.takes == option_value::rest) {
            line.append(" ").append(option.value_name).append(" [ARG...]");
        } else if (!option.value_name.empty()) {
            line.append("=").append(option.value_name);
        }
    };
    add_name(option.name);
    for (const std::string_view alias : option.aliases) add_name(alias);
    line.resize(std::max(line.size() + 2, help_column), ' ');
    line.append(option.help).push_back('\n');
    output.write(line);
}

}  // namespace

void write_option_help(io::text_output& output) {
    output.write("Options, before the colour code or filters:\n");
    for (const option_definition& option : option_table()) write_line(output, option);
    write_line(output, end_of_options());
}

}  // namespace huecast
