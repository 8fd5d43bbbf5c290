// No colour is left behind on a terminal by a signal. Every byte written to a guarded output
// (standard output, and standard error where a command's errors are painted) goes through
// guarded_write, which follows what the bytes leave the terminal showing. On any signal whose
// default action ends the process (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, the
// real-time ones, ...), while a colour shows on either, the reset sequence goes out there and
// the process dies of the signal as it would have; those that report a fault of the program
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) are left to the sanitizers and debuggers. Typed
// at the terminal (Ctrl-C, Ctrl-\, Ctrl-Z), a signal resets whenever any colour went out,
// since the terminal then throws away the output it has not shown yet. On a terminal,
// SIGTSTP, SIGTTIN and SIGTTOU are met the same way, except that the process stops, and once
// it goes on, the colour that was showing goes out again before its next byte. The reset
// never waits for a terminal that does not take it: the signal has its effect all the same.
//
// While a command runs (pass_signals_to), the process lives as long as the command: a signal
// that another process sends it goes on to the command instead, and one that the terminal
// sends (Ctrl-C, Ctrl-\, a hang-up), which reaches the command too, only resets the colour;
// the stops still stop the process, and one sent by another process stops the command first.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string_view>

#include "io/byte_stream.h"

namespace platform {

// Guards `fd`, which gets colour as escape sequences; `reset` (at most 15 bytes) puts the
// terminal's own colours back. `job_control`: the stops too, for a terminal. Signals the
// caller chose to ignore stay ignored, and those already handled keep their handler. Once
// for each descriptor, before the first write to it; two at most.
void guard_colour(int fd, std::string_view reset, bool job_control);

// Signals are met on the thread that writes to the guarded descriptors (the one that called
// guard_colour, until another says it writes): one that lands on another thread is handed on
// to it, so that a write it cuts short returns to meet it. A thread that takes over the
// writing says so before its first write, and hands back before it ends.
void meet_signals_on_this_thread();
void meet_signals_where_guarded();

// Writes all `size` bytes to the guarded descriptor `fd`, waiting while it would block; where
// it fails, `error` is the errno.
io::transfer_status guarded_write(int fd, const char* data, std::size_t size, int& error);

// From now on the signals are passed to the running `command` as the header says, whether or
// not anything is guarded; 0 once it has ended, and they have their own effect again.
void pass_signals_to(pid_t command);

// Ends the process as `signal` ended the command: the colour reset where it shows, and no
// core of this process's own. Returns only where the signal does not end a process.
void end_by_signal(int signal);

}  // namespace platform
