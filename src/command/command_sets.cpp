#include "command/command_sets.h"

#include <algorithm>
#include <utility>

#include "filter/sources/filter_files.h"
#include "messages.h"

namespace huecast {
namespace {

constexpr std::string_view commands_line = "# commands:";

// Where `set` stands among the shelf's directories: the user's own come first.
std::size_t rank_of(const named_set& set, const set_shelf& shelf, const std::vector<std::string>& directories) {
    for (std::size_t i = 0; i < directories.size(); ++i) {
        if (shelf.set_file(directories[i], set.name) == set.path) return i;
    }
    return directories.size();
}

}  // namespace

std::vector<std::string> commands_named_in(std::string_view contents, const io::codec& codec) {
    if (contents.starts_with("\xEF\xBB\xBF")) contents.remove_prefix(3);
    std::vector<std::string> commands;
    std::string line;
    while (!contents.empty()) {
        const std::size_t lf = contents.find('\n');
        std::string_view bytes = contents.substr(0, lf);
        contents.remove_prefix(lf == std::string_view::npos ? contents.size() : lf + 1);
        if (!bytes.starts_with(commands_line)) continue;
        line.clear();
        codec.decode(bytes.substr(commands_line.size()), line);
        std::string_view rest = line;
        for (;;) {
            const std::size_t start = rest.find_first_not_of(" \t\r");
            if (start == std::string_view::npos) break;
            rest.remove_prefix(start);
            const std::size_t end = std::min(rest.find_first_of(" \t\r"), rest.size());
            commands.emplace_back(rest.substr(0, end));
            rest.remove_prefix(end);
        }
    }
    return commands;
}

std::vector<set_and_commands> every_set_with_commands(const set_shelf& shelf, file_reader& files,
                                                      const io::codec& codec) {
    std::vector<set_and_commands> sets;
    for (named_set& set : every_set(shelf).sets) {
        const auto contents = files.read(set.path, filter_file_limit, file_kind::regular);
        std::vector<std::string> commands = contents ? commands_named_in(*contents, codec) : std::vector<std::string>{};
        sets.push_back({std::move(set), std::move(commands)});
    }
    return sets;
}

value_or_error<named_set, std::string> set_for_command(std::string_view name, const set_shelf& shelf,
                                                       file_reader& files, const io::codec& codec) {
    std::vector<set_and_commands> sets = every_set_with_commands(shelf, files, codec);
    const std::vector<std::string> directories = shelf.directories();
    const set_and_commands* chosen = nullptr;
    std::size_t chosen_rank = 0;
    for (const set_and_commands& s : sets) {
        if (std::ranges::find(s.commands, name) == s.commands.end()) continue;
        const std::size_t rank = rank_of(s.set, shelf, directories);
        if (chosen == nullptr || rank < chosen_rank) {
            chosen = &s;
            chosen_rank = rank;
        }
    }
    if (chosen != nullptr) return chosen->set;
    std::vector<std::pair<std::string, std::vector<std::string>>> listing;
    for (set_and_commands& s : sets) listing.emplace_back(std::move(s.set.name), std::move(s.commands));
    return messages::no_set_for_command(name, listing);
}

}  // namespace huecast
