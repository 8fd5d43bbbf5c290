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

// Why a regular file asked for by `path` could not be opened with `error`: it is not there as
// one, or the directory it would be in cannot be searched, or the file itself is closed to us.
huecast::unreadable why_not_opened(const std::string& path, int error) {
    struct stat found {};
    if (::stat(path.c_str(), &found) == 0) {
        if (!S_ISREG(found.st_mode)) return huecast::unreadable{{}, huecast::unreadable::absent};
        return huecast::unreadable{std::strerror(error)};
    }
    const int lookup = errno;
    if (lookup == ENOENT || lookup == ENOTDIR || lookup == ELOOP) {
        return huecast::unreadable{{}, huecast::unreadable::absent};
    }
    return huecast::unreadable{std::strerror(lookup), huecast::unreadable::system, lookup == EACCES};
}

}  // namespace

fd_files::fd_files(const io::codec& names) : names_(names) {
    struct stat input {};
    if (::fstat(STDIN_FILENO, &input) == 0) {
        has_input_ = true;
        input_device_ = input.st_dev;
        input_inode_ = input.st_ino;
    }
}

huecast::value_or_error<std::string, huecast::unreadable> fd_files::read(std::string_view name, std::size_t limit,
                                                                         huecast::file_kind kind) {
    const bool regular = kind == huecast::file_kind::regular;
    std::string path;
    names_.encode(name, path);
    if (path.find('\0') != std::string::npos) return huecast::unreadable{std::strerror(ENOENT)};
    // Opening a FIFO waits for a writer, and opening a terminal could make it this process's
    // own: where only a regular file will do, neither may happen.
    const open_file file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regular ? O_NONBLOCK | O_NOCTTY : 0))};
    if (file.fd < 0) return regular ? why_not_opened(path, errno) : huecast::unreadable{std::strerror(errno)};
    struct stat opened {};
    const bool known = ::fstat(file.fd, &opened) == 0;
    if (regular) {
        if (!known) return huecast::unreadable{std::strerror(errno)};
        if (!S_ISREG(opened.st_mode)) return huecast::unreadable{{}, huecast::unreadable::absent};
        ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    }
    // /dev/stdin, /proc/self/fd/0 or the file standard input was redirected from: reading
    // it would take the lines meant for colouring, or colour the filters. A device that
    // keeps nothing (/dev/null) may be both.
    if (has_input_ && known && opened.st_dev == input_device_ &&
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
