// Every option, described once: its names, the value it takes and the words allowed there,
// its line in --help, what a shell completes after it, and what it sets. The parser and
// --help are driven by this table; a test holds the manual page and the shell completions
// against it.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "options/program_options.h"

namespace huecast {

// What an option takes after its name.
enum class option_value {
    none,              // a switch: "--help"
    attached,          // only as "--name=VALUE"
    attached_or_next,  // "--name=VALUE", or the next argument: "--name VALUE"
    rest,              // every argument after it, at least one: "--run make -j4"; it ends the options
};

// What a shell completes as the option's value: the names of the filter sets (`sets`) as
// huecast --list-sets gives them; a command and its own arguments (`commands`).
enum class completion { nothing, words, files, sets, commands };

// What a well-formed option sets: `value` is what came with it (empty for a switch), `word`
// its place among the option's words, when it has words. An option that takes the `rest`
// has none: the parser keeps those arguments as the command.
using option_action = void (*)(program_options& options, std::string_view value, std::size_t word);

struct option_definition {
    std::string_view name = {};                      // "--color"
    std::span<const std::string_view> aliases = {};  // other names that mean the same: "--colour"
    option_value takes = option_value::none;
    std::string_view value_name = {};                // what --help calls the value: "WHEN"
    std::span<const std::string_view> words = {};    // the only values allowed; none: any
    completion completes = completion::nothing;
    std::string_view help = {};                      // the option's line in --help
    option_action act = nullptr;
};

// The options, in the order --help lists them.
std::span<const option_definition> option_table();

// "--": no option, but the end of them; --help lists it after the options.
const option_definition& end_of_options();

// The option that `name` (no value attached) names, or nullptr.
const option_definition* find_option(std::string_view name);

}  // namespace huecast
