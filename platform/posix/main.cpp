// The POSIX entry: the locale and its code page, the arguments in UTF-8, the standard
// descriptors, files, the XDG shelf of sets and the way to commands; standard output guarded
// so that no signal leaves colour behind, and on a terminal written on a thread of its own
// (standard error too is guarded where a command's errors are painted). The rest is the
// portable run.
#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <new>
#include <string>
#include <vector>

#include "exit_code.h"
#include "internal_error.h"
#include "io/async_sink.h"
#include "io/codec.h"
#include "messages.h"
#include "out_of_memory.h"
#include "platform/posix/colour_signals.h"
#include "platform/posix/command_process.h"
#include "platform/posix/fd_files.h"
#include "platform/posix/fd_streams.h"
#include "platform/posix/locale_codec.h"
#include "platform/posix/xdg_shelf.h"
#include "print/escape_writer.h"
#include "run.h"

namespace {

void write_stderr(const std::string& message) {
    const std::string text = huecast::messages::line(message);
    [[maybe_unused]] const auto ignored = ::write(STDERR_FILENO, text.data(), text.size());
}

// Threads made from now on get a stack of 256 KiB.
void use_small_thread_stacks() {
#ifdef __GLIBC__
    pthread_attr_t small;
    if (::pthread_attr_init(&small) != 0) return;
    if (::pthread_attr_setstacksize(&small, 256 * 1024) == 0) ::pthread_setattr_default_np(&small);
    ::pthread_attr_destroy(&small);
#endif
}

void say_out_of_memory() noexcept {
    [[maybe_unused]] const auto ignored = ::write(STDERR_FILENO, huecast::messages::out_of_memory_line.data(),
                                                  huecast::messages::out_of_memory_line.size());
}

int run_on_standard_descriptors(int argc, char** argv) {
    const std::unique_ptr<io::codec> codec = platform::set_locale_from_environment();
    // A reader that goes away shows up as EPIPE on the next write, which ends the run quietly.
    const auto pipe_signal_before = std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> arguments(static_cast<std::size_t>(argc));
    std::vector<const char*> pointers;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        codec->decode(argv[i], arguments[i]);
        pointers.push_back(arguments[i].c_str());
    }

    platform::fd_source in_bytes(STDIN_FILENO);
    platform::fd_sink out_bytes(STDOUT_FILENO);
    platform::fd_sink error_bytes(STDERR_FILENO);
    platform::fd_files files(*codec);
    const platform::xdg_shelf sets(*codec);
    const bool terminal = platform::is_terminal(STDOUT_FILENO);
    const bool error_terminal = platform::is_terminal(STDERR_FILENO);
    const std::string reset = huecast::sgr_sequence(huecast::text_colour::terminal_default());
    // On a terminal the painting of a block overlaps the terminal's drawing of the last one;
    // the signals are met on the thread that writes. That thread only writes: the stack of
    // a thread by default (8 MiB) would take more of a limited address space than the lines.
    use_small_thread_stacks();
    io::async_sink terminal_bytes(out_bytes, {platform::meet_signals_on_this_thread, platform::meet_signals_where_guarded});
    const auto output_for = [&](const huecast::output_policy& policy) -> io::byte_sink& {
        if (policy.colour == huecast::colour_method::escapes) {
            // Escapes forced into a pipe reach a pager, not this session's terminal: only a
            // terminal needs the stops met.
            out_bytes.guard_colour(reset, terminal);
        }
        return terminal ? static_cast<io::byte_sink&>(terminal_bytes) : out_bytes;
    };
    const auto error_output_for = [&](const huecast::output_policy& policy) -> io::byte_sink& {
        if (policy.colour == huecast::colour_method::escapes) error_bytes.guard_colour(reset, error_terminal);
        return error_bytes;
    };
    platform::process_runner commands(*codec, pipe_signal_before == SIG_IGN);
#ifdef HUECAST_WITHOUT_LIBRARY_OBJECTS
    constexpr bool library_objects = false;
#else
    constexpr bool library_objects = true;
#endif
    const auto kind = [](bool is_terminal) {
        return is_terminal ? huecast::output_kind::terminal : huecast::output_kind::file_or_pipe;
    };
    return huecast::run({*codec, pointers, kind(terminal), in_bytes, error_bytes, files, sets, output_for, {},
                         library_objects, &commands, kind(error_terminal), error_output_for, {}, say_out_of_memory});
}

}  // namespace

int main(int argc, char** argv) {
    // Before the first allocation: where even the way out has no room, nothing can be done.
    if (!huecast::set_aside_memory_for_the_way_out()) {
        say_out_of_memory();
        return huecast::exit_status(huecast::exit_code::usage_error);
    }
    try {
        return run_on_standard_descriptors(argc, argv);
    } catch (const std::bad_alloc&) {
        // Before the run began: no input was read.
        say_out_of_memory();
        return huecast::exit_status(huecast::exit_code::usage_error);
    } catch (...) {
        write_stderr(huecast::messages::internal_error(huecast::current_exception_text(*io::make_utf8_codec())));
        return huecast::exit_status(huecast::exit_code::internal_error);
    }
}
