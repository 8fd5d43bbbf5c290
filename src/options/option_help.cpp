#include "options/option_help.h"

#include <algorithm>
#include <string>

#include "options/option_table.h"

namespace huecast {
namespace {

// Where the explanations begin, in line with those of the environment variables after them.
constexpr std::size_t help_column = 31;

void write_line(io::text_output& output, const option_definition& option) {
    std::u16string line = u"  ";
    const auto add_name = [&](std::u16string_view name) {
        if (line.size() > 2) line += u", ";
        line += name;
        if (!option.value_name.empty()) line.append(u"=").append(option.value_name);
    };
    add_name(option.name);
    for (const std::u16string_view alias : option.aliases) add_name(alias);
    line.resize(std::max(line.size() + 2, help_column), u' ');
    line.append(option.help).push_back(u'\n');
    output.write(line);
}

}  // namespace

void write_option_help(io::text_output& output) {
    output.write(u"Options, before the colour code or filters:\n");
    for (const option_definition& option : option_table()) write_line(output, option);
    write_line(output, end_of_options());
}

}  // namespace huecast
