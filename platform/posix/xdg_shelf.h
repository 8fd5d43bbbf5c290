// Where filter sets are kept on a POSIX system, as the XDG base directories have it: the
// user's $XDG_CONFIG_HOME/huecast (~/.config/huecast), then huecast/ in each of
// $XDG_DATA_DIRS (/usr/local/share:/usr/share), then share/huecast under the prefix that
// the program itself was installed to, for an installation elsewhere.
#pragma once

#include "filter/sources/named_sets.h"
#include "io/codec.h"

namespace platform {

class xdg_shelf final : public huecast::set_shelf {
public:
    // `names` is the code page of paths and file names.
    explicit xdg_shelf(const io::codec& names) : names_(names) {}
    std::vector<std::string> directories() const override;
    std::vector<std::string> sets_in(std::string_view directory) const override;
    std::string path_of(std::string_view directory, std::string_view file) const override;

private:
    const io::codec& names_;
};

}  // namespace platform
