// Commands on POSIX: the command runs in huecast's own process group and session, so that
// what the terminal sends (Ctrl-C, Ctrl-\, Ctrl-Z, a hang-up) reaches both, and with
// huecast's standard input. Its output and its errors each go to a pseudo-terminal of their
// own where huecast's go to a terminal (with that terminal's window size, kept as it
// changes), otherwise to a pipe. A signal that another process sends huecast goes on to the
// command (colour_signals.h); when the command stops on its own (reading the terminal from
// the background, say), huecast stops as well, so that the shell sees the job stop, and when
// huecast goes on, so does the command.
#pragma once

#include "command/command_runner.h"
#include "io/codec.h"

namespace platform {

class process_runner final : public huecast::command_runner {
public:
    // `codec` is the code page of the command line; `pipe_signal_ignored`: SIGPIPE was
    // ignored when huecast started, and the command inherits that (otherwise it gets its
    // default action back, which huecast set aside for itself).
    process_runner(const io::codec& codec, bool pipe_signal_ignored) : codec_(codec), pipe_ignored_(pipe_signal_ignored) {}

    huecast::value_or_error<std::unique_ptr<huecast::started_command>, huecast::start_failure> start(
        std::span<const char* const> command) override;
    // A command that a signal ended ends huecast by the same signal.
    int exit_status(const huecast::command_end& end) override;

private:
    const io::codec& codec_;
    const bool pipe_ignored_;
};

}  // namespace platform
