// Where filter sets are kept on Windows: the user's %APPDATA%\huecast, then the folder
// "filters" beside huecast.exe, where the download keeps the sets that come with it.
#pragma once

#include "filter/sources/named_sets.h"

namespace platform {

class windows_shelf final : public huecast::set_shelf {
public:
    std::vector<std::string> directories() const override;
    huecast::value_or_error<std::vector<std::string>, huecast::unlisted> sets_in(
        std::string_view directory) const override;
    std::optional<std::string> set_file(std::string_view directory, std::string_view name) const override;
};

}  // namespace platform
