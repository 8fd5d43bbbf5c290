#include "platform/posix/fd_streams.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/posix/colour_signals.h"

namespace platform {
namespace {

// A pipe of 1 MiB rather than the usual 64 KiB: a sixteenth of the wake-ups on either side
// of it when a whole input streams through. A pipe is shared with the process at its other
// end and counts against the user's limit of pipe pages, so only a run that streams its
// whole input through asks for it. Only ever widened; where the system refuses, the pipe
// stays as it was.
void widen_pipe(int fd) {
#ifdef F_SETPIPE_SZ
    constexpr int wanted = 1 << 20;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode)) return;
    const int size = ::fcntl(fd, F_GETPIPE_SZ);
    if (size >= 0 && size < wanted) ::fcntl(fd, F_SETPIPE_SZ, wanted);
#else
    (void)fd;
#endif
}

}  // namespace

ssize_t read_waiting(int fd, char* buffer, std::size_t capacity, int& error) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, capacity);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        error = errno;
        if (error == EAGAIN || error == EWOULDBLOCK) {
            error = wait_until_ready(fd, POLLIN);
            if (error == 0) continue;
        }
        return -1;
    }
}

io::transfer_status fd_source::read(char* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    const ssize_t n = read_waiting(fd_, buffer, capacity, error_);
    if (n > 0) {
        got = static_cast<std::size_t>(n);
        return io::transfer_status::ok;
    }
    // A closed descriptor, or one open for writing only (EBADF), fails here as in cat.
    return n == 0 ? io::transfer_status::end : io::transfer_status::failed;
}

bool fd_source::wait_for_input(std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        struct pollfd watched {fd_, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        const int n = ::poll(&watched, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
        if (n > 0) return true;
        if (n == 0) return false;
        // What the poll cannot tell, the read will.
        if (errno != EINTR) return true;
    }
}

std::string fd_source::error_text() const { return std::strerror(error_); }

void fd_source::prepare_for_bulk() { widen_pipe(fd_); }

io::transfer_status fd_sink::write(const char* data, std::size_t size) {
    if (guarded_) return guarded_write(fd_, data, size, error_);
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n >= 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (errno == EINTR) continue;
        int failure = errno;
        if (failure == EAGAIN || failure == EWOULDBLOCK) {
            failure = wait_until_ready(fd_, POLLOUT);
            if (failure == 0) continue;
        }
        error_ = failure;
        return failure == EPIPE ? io::transfer_status::closed : io::transfer_status::failed;
    }
    return io::transfer_status::ok;
}

std::string fd_sink::error_text() const { return std::strerror(error_); }

void fd_sink::prepare_for_bulk() { widen_pipe(fd_); }

void fd_sink::guard_colour(std::string_view reset, bool job_control) {
    platform::guard_colour(fd_, reset, job_control);
    guarded_ = true;
}

bool is_terminal(int fd) { return ::isatty(fd) == 1; }

int wait_until_ready(int fd, short events) {
    pollfd ready{fd, events, 0};
    // A hang-up or an error also ends the wait: the next read or write reports it.
    if (::poll(&ready, 1, -1) < 0 && errno != EINTR) return errno;
    return 0;
}

}  // namespace platform
