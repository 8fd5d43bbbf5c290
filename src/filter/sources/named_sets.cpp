#include "filter/sources/named_sets.h"

#include <algorithm>

#include "filter/sources/filter_files.h"
#include "messages.h"
#include "printable.h"

namespace huecast {
namespace {

// The line that says a set is not there: its name, and the names of those that are.
std::string no_such_set(const set_shelf& shelf, std::string_view name) {
    std::string line = "no filter set '" + printable(name) + "'";
    const std::vector<named_set> sets = every_set(shelf).sets;
    if (sets.empty()) {
        line += "; there are none in";
        const std::vector<std::string> directories = shelf.directories();
        for (std::size_t i = 0; i < directories.size(); ++i) line += (i == 0 ? " " : ", ") + printable(directories[i]);
        return line;
    }
    line += "; the sets found:";
    for (std::size_t i = 0; i < sets.size(); ++i) line += (i == 0 ? " " : ", ") + printable(sets[i].name);
    return line;
}

}  // namespace

shelf_contents every_set(const set_shelf& shelf) {
    shelf_contents found;
    for (const std::string& directory : shelf.directories()) {
        value_or_error<std::vector<std::string>, unlisted> names = shelf.sets_in(directory);
        if (!names) {
            found.unlisted.push_back(messages::set_directory_unlisted(directory, names.error().reason));
            continue;
        }
        std::sort(names->begin(), names->end());
        for (std::string& name : *names) {
            const bool shadowed =
                std::any_of(found.sets.begin(), found.sets.end(), [&](const named_set& s) { return s.name == name; });
            if (shadowed) continue;
            if (std::optional<std::string> path = shelf.set_file(directory, name)) {
                found.sets.push_back({std::move(name), std::move(*path)});
            }
        }
    }
    std::stable_sort(found.sets.begin(), found.sets.end(),
                     [](const named_set& a, const named_set& b) { return a.name < b.name; });
    return found;
}

value_or_error<read_set_file, std::string> read_set(const set_shelf& shelf, file_reader& reader,
                                                    std::string_view name, std::size_t limit,
                                                    const io::codec& codec) {
    for (const std::string& directory : shelf.directories()) {
        std::optional<std::string> path = shelf.set_file(directory, name);
        if (!path) break;
        value_or_error<std::string, unreadable> contents = reader.read(*path, limit, file_kind::regular);
        if (contents) return read_set_file{std::move(*path), std::move(*contents)};
        const unreadable& why = contents.error();
        if (why.why == unreadable::absent) continue;
        // A later directory's set of the same name would stand in for one this one may hold.
        if (why.directory_closed) return messages::set_directory_closed(name, directory, why_unreadable(why, codec));
        return messages::unreadable_file(*path, why_unreadable(why, codec));
    }
    return no_such_set(shelf, name);
}

}  // namespace huecast
