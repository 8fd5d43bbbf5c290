// Where filter sets are kept on Windows: the user's %APPDATA%\huecast, then the folder
// "filters" beside huecast.exe, where the download keeps the sets that come with it.
#pragma once

#include "filter/named_sets.h"

namespace platform {

class windows_shelf final : public huecast::set_shelf {
public:
    std::vector<std::u16string> directories() const override;
    std::vector<std::u16string> sets_in(std::u16string_view directory) const override;
    std::u16string path_of(std::u16string_view directory, std::u16string_view file) const override;
};

}  // namespace platform
