#include "platform/posix/fd_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

huecast::value_or_error<std::string, huecast::unreadable> fd_files::read(std::u16string_view name) {
    std::string path;
    names_.encode(name, path);
    if (path.find('\0') != std::string::npos) return huecast::unreadable{std::strerror(ENOENT)};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return huecast::unreadable{std::strerror(errno)};
    std::string contents;
    char block[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n > 0) {
            contents.append(block, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        const int error = n < 0 ? errno : 0;
        ::close(fd);
        if (error != 0) return huecast::unreadable{std::strerror(error)};
        return contents;
    }
}

}  // namespace platform
