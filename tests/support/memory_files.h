// In-memory stand-ins for the platform's files and its shelf of filter sets.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "file_reader.h"
#include "filter/sources/named_sets.h"

namespace testing_support {

// Files by name, from memory.
class memory_files final : public huecast::file_reader {
public:
    std::map<std::string, std::string> files;
    huecast::value_or_error<std::string, huecast::unreadable> read(std::string_view name,
                                                                   std::size_t limit) override {
        const auto found = files.find(std::string(name));
        if (found == files.end()) return huecast::unreadable{"No such file or directory"};
        if (found->second.size() > limit) return huecast::unreadable{{}, huecast::unreadable::too_large};
        return found->second;
    }
};

// Directories of sets, in order, each with the names of its sets; a file is "DIRECTORY/FILE".
class memory_shelf final : public huecast::set_shelf {
public:
    std::vector<std::pair<std::string, std::vector<std::string>>> shelves;
    std::vector<std::string> directories() const override {
        std::vector<std::string> names;
        for (const auto& [directory, sets] : shelves) names.push_back(directory);
        return names;
    }
    std::vector<std::string> sets_in(std::string_view directory) const override {
        for (const auto& [name, sets] : shelves) {
            if (name == directory) return sets;
        }
        return {};
    }
    std::string path_of(std::string_view directory, std::string_view file) const override {
        return std::string(directory) + "/" + std::string(file);
    }
};

}  // namespace testing_support
