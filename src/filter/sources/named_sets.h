// Filter sets by name: NAME.filters, looked for in the directories that the platform's
// shelf names, the user's own first; the first directory that holds a set of that name
// gives it, so a user's set of the same name stands in for one that came with huecast.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace huecast {

// Where sets are kept: the platform's side.
class set_shelf {
public:
    virtual ~set_shelf() = default;
    // The directories to look in, in order.
    virtual std::vector<std::string> directories() const = 0;
    // The names, without ".filters", of the sets in `directory`, in any order; none when it
    // does not exist or cannot be read.
    virtual std::vector<std::string> sets_in(std::string_view directory) const = 0;
    // The path of `file` in `directory`.
    virtual std::string path_of(std::string_view directory, std::string_view file) const = 0;
};

// A set and the file that holds it.
struct named_set {
    std::string name;
    std::string path;
    friend bool operator==(const named_set&, const named_set&) = default;
};

// Every set that `shelf` holds, one for each name (the first directory's), ordered by name.
std::vector<named_set> every_set(const set_shelf& shelf);

// The file of the set `name`, when the shelf holds one.
std::optional<std::string> find_set(const set_shelf& shelf, std::string_view name);

// The one line that says a set is not there: its name, and the names of those that are.
std::string no_such_set(const set_shelf& shelf, std::string_view name);

constexpr std::string_view set_suffix = ".filters";

}  // namespace huecast
