#include "platform/posix/fd_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

// Closes the descriptor on every way out of read.
struct open_file {
    int fd;
    ~open_file() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

fd_files::fd_files(const io::codec& names) : names_(names) {
    struct stat input {};
    if (::fstat(STDIN_FILENO, &input) == 0) {
        has_input_ = true;
        input_device_ = input.st_dev;
        input_inode_ = input.st_ino;
    }
}

huecast::value_or_error<std::string, huecast::unreadable> fd_files::read(std::string_view name,
                                                                         std::size_t limit) {
    std::string path;
    names_.encode(name, path);
    if (path.find('\0') != std::string::npos) return huecast::unreadable{std::strerror(ENOENT)};
    const open_file file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return huecast::unreadable{std::strerror(errno)};
    // /dev/stdin, /proc/self/fd/0 or the file standard input was redirected from: reading
    // it would take the lines meant for colouring, or colour the filters. A device that
    // keeps nothing (/dev/null) may be both.
    struct stat opened {};
    if (has_input_ && ::fstat(file.fd, &opened) == 0 && opened.st_dev == input_device_ &&
        opened.st_ino == input_inode_ && !(S_ISCHR(opened.st_mode) && ::isatty(file.fd) == 0)) {
        return huecast::unreadable{{}, huecast::unreadable::standard_input};
    }
    std::string contents;
    char block[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(file.fd, block, sizeof block);
        if (n > 0) {
            // Checked as the bytes come, so that a file without end costs no more than this.
            if (static_cast<std::size_t>(n) > limit - contents.size()) {
                return huecast::unreadable{{}, huecast::unreadable::too_large};
            }
            contents.append(block, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return huecast::unreadable{std::strerror(errno)};
        return contents;
    }
}

}  // namespace platform
