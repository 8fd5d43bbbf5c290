#include "platform/posix/fd_streams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

fd_source::fd_source(int fd) : fd_(fd), console_(::isatty(fd) == 1) {}

io::transfer_status fd_source::read(char* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, capacity);
        if (n > 0) {
            got = static_cast<std::size_t>(n);
            return io::transfer_status::ok;
        }
        if (n == 0) return io::transfer_status::end;
        if (errno == EINTR) continue;
        // No standard input at all reads as empty input.
        if (errno == EBADF) return io::transfer_status::end;
        error_ = errno;
        return io::transfer_status::failed;
    }
}

std::string fd_source::error_text() const { return std::strerror(error_); }

io::transfer_status fd_sink::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n >= 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (errno == EINTR) continue;
        error_ = errno;
        return errno == EPIPE ? io::transfer_status::closed : io::transfer_status::failed;
    }
    return io::transfer_status::ok;
}

std::string fd_sink::error_text() const { return std::strerror(error_); }

bool is_colour_terminal(int fd) {
    if (::isatty(fd) != 1) return false;
    const char* term = std::getenv("TERM");
    return term == nullptr || std::strcmp(term, "dumb") != 0;
}

}  // namespace platform
