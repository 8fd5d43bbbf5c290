// Filter sets by name: NAME.filters, looked for in the directories that the platform's
// shelf names, the user's own first; the first directory that holds a set of that name
// gives it, so a user's set of the same name stands in for one that came with huecast. A
// set is a regular file (or a link to one): a directory, a FIFO, a device or a link that
// leads nowhere is no set, and hides none.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_reader.h"
#include "io/codec.h"
#include "value_or_error.h"

namespace huecast {

// A directory that is there but cannot be listed: the system's reason, in UTF-8.
struct unlisted {
    std::string reason;
};

// Where sets are kept: the platform's side.
class set_shelf {
public:
    virtual ~set_shelf() = default;
    // The directories to look in, in order.
    virtual std::vector<std::string> directories() const = 0;
    // The names, without ".filters", of the sets in `directory`, in any order; none when it
    // does not exist.
    virtual value_or_error<std::vector<std::string>, unlisted> sets_in(std::string_view directory) const = 0;
    // The file that would hold the set `name` in `directory`; none when no file of that name
    // there could be a set (an empty name, one that holds a separator, a hidden file's).
    virtual std::optional<std::string> set_file(std::string_view directory, std::string_view name) const = 0;
};

// A set and the file that holds it.
struct named_set {
    std::string name;
    std::string path;
    friend bool operator==(const named_set&, const named_set&) = default;
};

// What the shelf holds: one set for each name (the first directory's), ordered by name, and
// a line "cannot list DIR: why" for each directory that could not be listed.
struct shelf_contents {
    std::vector<named_set> sets;
    std::vector<std::string> unlisted;
};
shelf_contents every_set(const set_shelf& shelf);

// A set read: the file it came from and its bytes.
struct read_set_file {
    std::string path;
    std::string contents;
};

// The set `name`, read through `reader` (at most `limit` bytes). Its file is opened directly
// in each directory in turn, so that a name costs no listing, and a directory that may be
// searched but not listed serves as well. Or the one line that says why there is none: no
// set of that name (with the names of those there are), a directory that cannot be searched
// (which might hold it), or a file that cannot be read. `codec` decodes the system's words.
value_or_error<read_set_file, std::string> read_set(const set_shelf& shelf, file_reader& reader,
                                                    std::string_view name, std::size_t limit,
                                                    const io::codec& codec);

constexpr std::string_view set_suffix = ".filters";

}  // namespace huecast
