// What a run ends with, as the process's exit status: every entry, mode and platform main
// returns one of these, and only the platform's main turns it into a number.
#pragma once

namespace huecast {

enum class exit_code : int {
    done = 0,            // also when the reader of the output went away
    io_failure = 1,      // standard input could not be read or standard output written, memory
                         // ran out once input was read, or --list-sets could not list a directory
    usage_error = 2,     // a bad option, filter file, set or expression, or memory that ran out
                         // before any input was read; nothing was read
    internal_error = 3,  // anything else; one line on the error stream
    // The command of --run could not be run, as a shell has it: found but not runnable (126),
    // or not found (127); one line on the error stream. Once it ran, the run ends with its status.
    cannot_run = 126,
    not_found = 127,
};

constexpr int exit_status(exit_code code) { return static_cast<int>(code); }

}  // namespace huecast
