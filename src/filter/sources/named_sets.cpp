#include "filter/sources/named_sets.h"

#include <algorithm>

#include "printable.h"

namespace huecast {

std::vector<named_set> every_set(const set_shelf& shelf) {
    std::vector<named_set> found;
    for (const std::string& directory : shelf.directories()) {
        std::vector<std::string> names = shelf.sets_in(directory);
        std::sort(names.begin(), names.end());
        for (std::string& name : names) {
            const bool shadowed = std::any_of(found.begin(), found.end(), [&](const named_set& s) { return s.name == name; });
            if (!shadowed) found.push_back({name, shelf.path_of(directory, name + std::string(set_suffix))});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const named_set& a, const named_set& b) { return a.name < b.name; });
    return found;
}

std::optional<std::string> find_set(const set_shelf& shelf, std::string_view name) {
    for (const std::string& directory : shelf.directories()) {
        const std::vector<std::string> names = shelf.sets_in(directory);
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            return shelf.path_of(directory, std::string(name) + std::string(set_suffix));
        }
    }
    return std::nullopt;
}

std::string no_such_set(const set_shelf& shelf, std::string_view name) {
    std::string line = "no filter set '" + printable(name) + "'";
    const std::vector<named_set> sets = every_set(shelf);
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

}  // namespace huecast
