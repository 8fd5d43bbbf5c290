#include "filter/named_sets.h"

#include <algorithm>

#include "printable.h"

namespace huecast {

std::vector<named_set> every_set(const set_shelf& shelf) {
    std::vector<named_set> found;
    for (const std::u16string& directory : shelf.directories()) {
        std::vector<std::u16string> names = shelf.sets_in(directory);
        std::sort(names.begin(), names.end());
        for (std::u16string& name : names) {
            const bool shadowed = std::any_of(found.begin(), found.end(), [&](const named_set& s) { return s.name == name; });
            if (!shadowed) found.push_back({name, shelf.path_of(directory, name + std::u16string(set_suffix))});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const named_set& a, const named_set& b) { return a.name < b.name; });
    return found;
}

std::optional<std::u16string> find_set(const set_shelf& shelf, std::u16string_view name) {
    for (const std::u16string& directory : shelf.directories()) {
        const std::vector<std::u16string> names = shelf.sets_in(directory);
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            return shelf.path_of(directory, std::u16string(name) + std::u16string(set_suffix));
        }
    }
    return std::nullopt;
}

std::u16string no_such_set(const set_shelf& shelf, std::u16string_view name) {
    std::u16string line = u"no filter set '" + printable(name) + u"'";
    const std::vector<named_set> sets = every_set(shelf);
    if (sets.empty()) {
        line += u"; there are none in";
        const std::vector<std::u16string> directories = shelf.directories();
        for (std::size_t i = 0; i < directories.size(); ++i) line += (i == 0 ? u" " : u", ") + printable(directories[i]);
        return line;
    }
    line += u"; the sets found:";
    for (std::size_t i = 0; i < sets.size(); ++i) line += (i == 0 ? u" " : u", ") + printable(sets[i].name);
    return line;
}

}  // namespace huecast
