#include "options/parse_options.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "options/option_table.h"
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

// "auto, always or never".
std::u16string listed(std::span<const std::u16string_view> words) {
    std::u16string list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i != 0) list += i + 1 == words.size() ? u" or " : u", ";
        list += words[i];
    }
    return list;
}

std::u16string what_is_missing(const option_definition& option) {
    if (!option.words.empty()) return u"a value: " + listed(option.words);
    if (option.completes == completion::files) return u"a file name";
    return option.completes == completion::sets ? u"the name of a filter set" : u"a value";
}

}  // namespace

value_or_error<program_options, option_error> parse_options(int argc, const char16_t* const argv[]) {
    program_options options;
    int i = std::min(1, argc);  // a program may be started with no arguments at all, not even its name
    for (; i < argc; ++i) {
        const std::u16string_view argument = argv[i];
        if (!argument.starts_with(u"--")) break;
        if (argument == end_of_options().name) {
            ++i;
            break;
        }
        const std::size_t equals = argument.find(u'=');
        const std::u16string_view name = argument.substr(0, equals);
        const option_definition* option = find_option(name);
        if (option == nullptr) return option_error{u"unknown option " + quoted(argument)};
        std::optional<std::u16string_view> value;
        if (equals != std::u16string_view::npos) value = argument.substr(equals + 1);
        if (option->takes == option_value::none && value) {
            return option_error{u"option " + quoted(name) + u" takes no value"};
        }
        if (option->takes != option_value::none && !value) {
            if (option->takes != option_value::attached_or_next || i + 1 == argc) {
                return option_error{u"option " + quoted(name) + u" needs " + what_is_missing(*option)};
            }
            value = argv[++i];
        }
        const auto word = std::ranges::find(option->words, value.value_or(u""));
        if (!option->words.empty() && word == option->words.end()) {
            return option_error{u"invalid value " + quoted(*value) + u" for " + quoted(name) + u": " +
                                listed(option->words)};
        }
        option->act(options, value.value_or(u""), static_cast<std::size_t>(word - option->words.begin()));
    }
    options.operands = std::span(argv + i, static_cast<std::size_t>(argc - i));
    return options;
}

}  // namespace huecast
