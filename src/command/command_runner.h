// What the platform gives command mode: a command started with huecast's own standard input,
// its output and its errors as two sources that are read only once they are ready (so that
// neither holds up the other) and can be waited on together, and the command's end.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io/byte_stream.h"
#include "value_or_error.h"

namespace huecast {

// How a command ended.
struct command_end {
    bool signalled = false;  // ended by a signal rather than exiting
    int number = 0;          // its exit code, or the signal
    friend bool operator==(const command_end&, const command_end&) = default;
};

class started_command {
public:
    virtual ~started_command() = default;
    // Read only after wait_for_either, or when wait_for_input(0) says so, never to wait.
    virtual io::byte_source& output() = 0;
    virtual io::byte_source& errors() = 0;
    // Waits until the output or the errors, of those still read, has bytes or its end, or
    // until `patience` has passed; none: without limit.
    virtual void wait_for_either(std::optional<std::chrono::milliseconds> patience) = 0;
    // `source` is read no more (where it goes, nothing can be written): the command's next
    // write to it fails, as into a pipe whose reader went away.
    virtual void stop_reading(io::byte_source& source) = 0;
    // Waits for the command to end, once both sources have ended or are read no more.
    virtual command_end wait() = 0;
};

// Why a command did not start, as a shell tells it: not found (looked for where commands are
// kept, no reason; or a path, with the system's reason), or found and not runnable.
struct start_failure {
    bool found = false;
    std::string reason;  // the system's words, in the process code page
};

class command_runner {
public:
    virtual ~command_runner() = default;
    // Starts `command`, its program first (UTF-8), with huecast's standard input; its output
    // and its errors each to a terminal of its own where huecast's is a terminal, otherwise
    // to a pipe.
    virtual value_or_error<std::unique_ptr<started_command>, start_failure> start(
        std::span<const char* const> command) = 0;
    // The name a filter set knows `program` by: its file's name, without the directories.
    virtual std::string name_of(std::string_view program) const {
        return std::string(program.substr(program.find_last_of('/') + 1));
    }
    // The exit status that passes `end` on. Where the system can end a process as the command
    // ended (by its signal), it ends this one so, after the output has been written, and does
    // not return.
    virtual int exit_status(const command_end& end) = 0;
};

}  // namespace huecast
