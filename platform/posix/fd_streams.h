// The byte layer over POSIX file descriptors.
#pragma once

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

private:
    int fd_;
    int error_ = 0;
};

// True when `fd` is a terminal.
bool is_terminal(int fd);

}  // namespace platform
