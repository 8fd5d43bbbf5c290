// Where filter sets are kept on a POSIX system, as the XDG base directories have it: the
// user's $XDG_CONFIG_HOME/huecast (~/.config/huecast), then huecast/ in each of
// $XDG_DATA_DIRS (/usr/local/share:/usr/share), then share/huecast under the prefix that
// the program itself was installed to, for an installation elsewhere. A relative
// XDG_CONFIG_HOME, HOME or directory of XDG_DATA_DIRS is ignored.
#pragma once

#include "filter/sources/named_sets.h"
#include "io/codec.h"

namespace platform {

class xdg_shelf final : public huecast::set_shelf {
public:
    // `names` is the code page of paths and file names.
    explicit xdg_shelf(const io::codec& names) : names_(names) {}
    std::vector<std::string> directories() const override;
    huecast::value_or_error<std::vector<std::string>, huecast::unlisted> sets_in(
        std::string_view directory) const override;
    std::optional<std::string> set_file(std::string_view directory, std::string_view name) const override;

private:
    const io::codec& names_;
};

}  // namespace platform
