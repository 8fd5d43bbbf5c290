// An in-memory stand-in for the platform's files.
#pragma once

#include <map>
#include <string>

#include "file_reader.h"

namespace testing_support {

// Files by name, from memory.
class memory_files final : public huecast::file_reader {
public:
    std::map<std::string, std::string> files;
    huecast::value_or_error<std::string, huecast::unreadable> read(std::string_view name, std::size_t limit,
                                                                   huecast::file_kind) override {
        const auto found = files.find(std::string(name));
        if (found == files.end()) return huecast::unreadable{"No such file or directory"};
        if (found->second.size() > limit) return huecast::unreadable{{}, huecast::unreadable::too_large};
        return found->second;
    }
};

}  // namespace testing_support
