#include "options/parse_options.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "options/option_table.h"
#include "messages.h"

namespace huecast {
namespace {

// "auto, always or never".
std::string listed(std::span<const std::string_view> words) {
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i != 0) list += i + 1 == words.size() ? " or " : ", ";
        list += words[i];
    }
    return list;
}

std::string what_is_missing(const option_definition& option) {
    if (!option.words.empty()) return "a value: " + listed(option.words);
    if (option.completes == completion::commands) return "a command";
    if (option.completes == completion::files) return "a file name";
    return option.completes == completion::sets ? "the name of a filter set" : "a value";
}

}  // namespace

value_or_error<program_options, option_error> parse_options(int argc, const char* const argv[]) {
    program_options options;
    int i = std::min(1, argc);  // a program may be started with no arguments at all, not even its name
    for (; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!argument.starts_with("--")) break;
        if (argument == end_of_options().name) {
            ++i;
            break;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        const option_definition* option = find_option(name);
        if (option == nullptr) return option_error{messages::unknown_option(argument)};
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos) value = argument.substr(equals + 1);
        if (option->takes == option_value::rest) {
            if (value) return option_error{messages::takes_what_follows(name)};
            if (i + 1 == argc) return option_error{messages::needs_value(name, what_is_missing(*option))};
            options.command = std::span(argv + i + 1, static_cast<std::size_t>(argc - i - 1));
            i = argc;
            break;
        }
        if (option->takes == option_value::none && value) {
            return option_error{messages::takes_no_value(name)};
        }
        if (option->takes != option_value::none && !value) {
            if (option->takes != option_value::attached_or_next || i + 1 == argc) {
                return option_error{messages::needs_value(name, what_is_missing(*option))};
            }
            value = argv[++i];
        }
        const auto word = std::ranges::find(option->words, value.value_or(""));
        if (!option->words.empty() && word == option->words.end()) {
            return option_error{messages::invalid_value(*value, name, listed(option->words))};
        }
        option->act(options, value.value_or(""), static_cast<std::size_t>(word - option->words.begin()));
    }
    options.operands = std::span(argv + i, static_cast<std::size_t>(argc - i));
    return options;
}

}  // namespace huecast
