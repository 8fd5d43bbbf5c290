// The byte layer over POSIX file descriptors. A descriptor that another process sharing it
// made non-blocking is waited on, never given up: its O_NONBLOCK belongs to them too, and
// is left as it is.
#pragma once

#include <sys/types.h>

#include <string_view>

#include "io/byte_stream.h"

namespace platform {

class fd_source final : public io::byte_source {
public:
    explicit fd_source(int fd) : fd_(fd) {}
    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override;
    // Ctrl-Z ends nothing on a POSIX system.
    io::control_z control_z_rule() const override { return io::control_z::data; }
    bool wait_for_input(std::chrono::milliseconds patience) override;
    std::string error_text() const override;
    void prepare_for_bulk() override;

private:
    int fd_;
    int error_ = 0;
};

class fd_sink final : public io::byte_sink {
public:
    explicit fd_sink(int fd) : fd_(fd) {}
    io::transfer_status write(const char* data, std::size_t size) override;
    std::string error_text() const override;
    void prepare_for_bulk() override;
    // From now on no signal leaves colour behind on this output (see colour_signals.h). For
    // standard output, and standard error where a command's errors are painted, before the
    // first write.
    void guard_colour(std::string_view reset, bool job_control);

private:
    int fd_;
    int error_ = 0;
    bool guarded_ = false;
};

// True when `fd` is a terminal.
bool is_terminal(int fd);

// Waits until `fd` is ready for `events` (POLLIN, POLLOUT) or a signal cuts the wait short.
// Returns 0, or the errno where the wait itself failed.
int wait_until_ready(int fd, short events);

// One read from `fd` that is not cut short by a signal and waits where the descriptor would
// block: the count read (0 at the end), or -1 with `error` the errno.
ssize_t read_waiting(int fd, char* buffer, std::size_t capacity, int& error);

}  // namespace platform
