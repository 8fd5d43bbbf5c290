#include "options.h"

#include <algorithm>
#include <string_view>

#include "printable.h"

namespace huecast {
namespace {

// Every piece of an option echoed in a message goes through here.
std::u16string quoted(std::u16string_view text) {
    std::u16string q(1, u'\'');
    q.append(printable(text));
    q.push_back(u'\'');
    return q;
}

}  // namespace

value_or_error<program_options, option_error> parse_options(int argc, const char16_t* const argv[]) {
    program_options options;
    int i = std::min(1, argc);  // a program may be started with no arguments at all, not even its name
    for (; i < argc; ++i) {
        const std::u16string_view argument = argv[i];
        if (!argument.starts_with(u"--")) break;
        if (argument == u"--") {
            ++i;
            break;
        }
        const std::size_t equals = argument.find(u'=');
        const std::u16string_view name = argument.substr(0, equals);
        const bool has_value = equals != std::u16string_view::npos;
        const std::u16string_view value = has_value ? argument.substr(equals + 1) : std::u16string_view();
        if (name == u"--color" || name == u"--colour") {
            if (!has_value) return option_error{u"option " + quoted(name) + u" needs a value: auto, always or never"};
            if (value == u"auto") {
                options.colour = colour_when::automatic;
            } else if (value == u"always") {
                options.colour = colour_when::always;
            } else if (value == u"never") {
                options.colour = colour_when::never;
            } else {
                return option_error{u"invalid value " + quoted(value) + u" for " + quoted(name) +
                                    u": auto, always or never"};
            }
        } else if (name == u"--file") {
            if (!has_value) {
                if (i + 1 == argc) return option_error{u"option '--file' needs a file name"};
                options.filter_files.emplace_back(argv[++i]);
            } else {
                options.filter_files.emplace_back(value);
            }
        } else if ((name == u"--help" || name == u"--version") && !has_value) {
            (name == u"--help" ? options.help : options.version) = true;
        } else if (name == u"--help" || name == u"--version") {
            return option_error{u"option " + quoted(name) + u" takes no value"};
        } else {
            return option_error{u"unknown option " + quoted(argument)};
        }
    }
    options.operands = std::span(argv + i, static_cast<std::size_t>(argc - i));
    return options;
}

}  // namespace huecast
