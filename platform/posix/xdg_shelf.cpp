#include "platform/posix/xdg_shelf.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace platform {
namespace {

// A variable's value when it is set and not empty.
std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The prefix the running program was installed under: /opt/x for /opt/x/bin/huecast.
std::string own_prefix() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return "";
    path.resize(static_cast<std::size_t>(n));
    for (int up = 0; up < 2; ++up) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos || slash == 0) return "";
        path.resize(slash);
    }
    return path;
}

}  // namespace

std::vector<std::string> xdg_shelf::directories() const {
    std::vector<std::string> found;
    // Relative paths are to be ignored, as the XDG base directories have it.
    std::string config = variable("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        const std::string home = variable("HOME");
        config = home.empty() ? "" : home + "/.config";
    }
    if (!config.empty()) found.push_back(config + "/huecast");
    std::string data = variable("XDG_DATA_DIRS");
    if (data.empty()) data = "/usr/local/share:/usr/share";
    for (std::size_t at = 0; at <= data.size();) {
        const std::size_t colon = std::min(data.find(':', at), data.size());
        const std::string directory = data.substr(at, colon - at);
        if (!directory.empty() && directory.front() == '/') found.push_back(directory + "/huecast");
        at = colon + 1;
    }
    if (const std::string prefix = own_prefix(); !prefix.empty()) found.push_back(prefix + "/share/huecast");

    std::vector<std::string> directories;
    for (const std::string& directory : found) {
        std::string text;
        names_.decode(directory, text);
        // Each place once, in the order of its first mention.
        if (std::find(directories.begin(), directories.end(), text) == directories.end()) directories.push_back(text);
    }
    return directories;
}

std::vector<std::string> xdg_shelf::sets_in(std::string_view directory) const {
    std::string path;
    names_.encode(directory, path);
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(path.c_str()), &::closedir);
    if (listing == nullptr) return names;
    std::string suffix;
    names_.encode(huecast::set_suffix, suffix);
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() <= suffix.size() || !name.ends_with(suffix) || name.front() == '.') continue;
        std::string text;
        names_.decode(name.substr(0, name.size() - suffix.size()), text);
        names.push_back(std::move(text));
    }
    return names;
}

std::string xdg_shelf::path_of(std::string_view directory, std::string_view file) const {
    return std::string(directory) + "/" + std::string(file);
}

}  // namespace platform
