// Commands on Windows: CreateProcess with the command line quoted as the C runtime splits it
// (the program is looked for as CreateProcess looks: an .exe, beside huecast, in the current
// folder, the system folders, then on the PATH), with huecast's standard input and console,
// and its output and errors each through a pipe of its own. The console's Ctrl-C and
// Ctrl-Break reach the command, which shares the console; huecast lives on until the command
// has ended, and ends with its exit code.
#pragma once

#include "command/command_runner.h"
#include "io/codec.h"

namespace platform {

class process_runner final : public huecast::command_runner {
public:
    // `codec` is the process code page, that of the system's messages.
    explicit process_runner(const io::codec& codec) : codec_(codec) {}
    huecast::value_or_error<std::unique_ptr<huecast::started_command>, huecast::start_failure> start(
        std::span<const char* const> command) override;
    // "make.exe", "C:\Tools\make" and "MAKE" are all make.
    std::string name_of(std::string_view program) const override;
    int exit_status(const huecast::command_end& end) override { return end.number; }

private:
    const io::codec& codec_;
};

}  // namespace platform
