#include "options/option_table.h"

#include <algorithm>
#include <iterator>

namespace huecast {
namespace {

constexpr std::string_view colour_aliases[] = {"--colour"};
constexpr std::string_view colour_words[] = {"auto", "always", "never"};
constexpr colour_when colour_word_meanings[] = {colour_when::automatic, colour_when::always, colour_when::never};
static_assert(std::size(colour_words) == std::size(colour_word_meanings));

constexpr option_definition table[] = {
    {.name = "--color",
     .aliases = colour_aliases,
     .takes = option_value::attached,
     .value_name = "WHEN",
     .words = colour_words,
     .completes = completion::words,
     .help = "colour: auto (on a terminal; the default), always, never",
     .act = [](program_options& options, std::string_view, std::size_t word) {
         options.colour = colour_word_meanings[word];
     }},
    {.name = "--filter",
     .takes = option_value::attached_or_next,
     .value_name = "FILTER",
     .help = "add a filter STYLES,REGEX, e.g. 'bold red;cyan,error: (\\w+)'",
     .act = [](program_options& options, std::string_view filter, std::size_t) {
         options.filter_sources.push_back({filter_source::kind::filter, std::string(filter)});
     }},
    {.name = "--file",
     .takes = option_value::attached_or_next,
     .value_name = "FILE",
     .completes = completion::files,
     .help = "read filters from FILE, one per line; # starts a comment",
     .act = [](program_options& options, std::string_view file, std::size_t) {
         options.filter_sources.push_back({filter_source::kind::file, std::string(file)});
     }},
    {.name = "--set",
     .takes = option_value::attached_or_next,
     .value_name = "NAME",
     .completes = completion::sets,
     .help = "read the filter set NAME (NAME.filters where sets are kept)",
     .act = [](program_options& options, std::string_view name, std::size_t) {
         options.filter_sources.push_back({filter_source::kind::set, std::string(name)});
     }},
    {.name = "--run",
     .takes = option_value::rest,
     .value_name = "COMMAND",
     .completes = completion::commands,
     .help = "run COMMAND with its arguments, colouring its output and errors",
     .act = nullptr},
    {.name = "--list-sets",
     .help = "list the filter sets found, with their files and commands",
     .act = [](program_options& options, std::string_view, std::size_t) { options.list_sets = true; }},
    {.name = "--help",
     .help = "show this text",
     .act = [](program_options& options, std::string_view, std::size_t) { options.help = true; }},
    {.name = "--version",
     .help = "show the version",
     .act = [](program_options& options, std::string_view, std::size_t) { options.version = true; }},
};

constexpr option_definition end = {.name = "--", .help = "end of the options"};

}  // namespace

std::span<const option_definition> option_table() { return table; }

const option_definition& end_of_options() { return end; }

const option_definition* find_option(std::string_view name) {
    for (const option_definition& option : table) {
        if (option.name == name || std::ranges::find(option.aliases, name) != option.aliases.end()) return &option;
    }
    return nullptr;
}

}  // namespace huecast
