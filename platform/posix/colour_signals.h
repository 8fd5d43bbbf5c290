// Ctrl-C and its kin never leave colour behind on a terminal: on SIGINT, SIGTERM, SIGHUP or
// SIGQUIT, while colour may be showing, the reset sequence is written straight to the
// output; then the process dies of the signal as it would have, with the signal's status.
#pragma once

#include <csignal>
#include <string_view>

namespace platform {

// Installs the handlers for the signals that are not ignored. `reset` (at most 15 bytes) is
// written to `fd` when `*colour_shown` is set; it must live as long as the process.
void reset_colour_on_fatal_signals(int fd, std::string_view reset, volatile std::sig_atomic_t* colour_shown);

}  // namespace platform
