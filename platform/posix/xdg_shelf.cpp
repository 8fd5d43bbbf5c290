#include "platform/posix/xdg_shelf.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace platform {
namespace {

// A variable's value when it is an absolute path; relative paths are to be ignored, as the
// XDG base directories have it, and a relative HOME is no better a base than a relative
// XDG_CONFIG_HOME.
std::string absolute_variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

// True when `entry` of the open directory `listing` is a regular file or a link to one.
bool is_regular(DIR* listing, const dirent& entry) {
    if (entry.d_type == DT_REG) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat target {};
    return ::fstatat(::dirfd(listing), entry.d_name, &target, 0) == 0 && S_ISREG(target.st_mode);
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
    std::string config = absolute_variable("XDG_CONFIG_HOME");
    if (config.empty()) {
        const std::string home = absolute_variable("HOME");
        if (!home.empty()) config = home + "/.config";
    }
    if (!config.empty()) found.push_back(config + "/huecast");
    const char* data_dirs = std::getenv("XDG_DATA_DIRS");
    std::string data = data_dirs != nullptr ? data_dirs : "";
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

huecast::value_or_error<std::vector<std::string>, huecast::unlisted> xdg_shelf::sets_in(
    std::string_view directory) const {
    std::string path;
    names_.encode(directory, path);
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(path.c_str()), &::closedir);
    if (listing == nullptr) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) return names;
        std::string why;
        names_.decode(std::strerror(error), why);
        return huecast::unlisted{why};
    }
    std::string suffix;
    names_.encode(huecast::set_suffix, suffix);
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() <= suffix.size() || !name.ends_with(suffix) || name.front() == '.') continue;
        if (!is_regular(listing.get(), *entry)) continue;
        std::string text;
        names_.decode(name.substr(0, name.size() - suffix.size()), text);
        names.push_back(std::move(text));
    }
    return names;
}

std::optional<std::string> xdg_shelf::set_file(std::string_view directory, std::string_view name) const {
    // What a listing would never give: a name that leads out of the directory, or a hidden file's.
    if (name.empty() || name.front() == '.' || name.find('/') != std::string_view::npos) return std::nullopt;
    return std::string(directory) + "/" + std::string(name) + std::string(huecast::set_suffix);
}

}  // namespace platform
