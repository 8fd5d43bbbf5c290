// The POSIX entry: locale, standard handles, arguments in the process code page; then the
// program, then what the run's input and output came to.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "internal_error.h"
#include "run.h"
#include "io/codec.h"
#include "platform/posix/fd_streams.h"
#include "platform/posix/locale_codec.h"
#include "platform/posix/terminal_console.h"
#include "qel/startup_objects.h"

namespace {

void write_stderr(const std::string& line) {
    const std::string text = "huecast: " + line + "\n";
    [[maybe_unused]] const auto ignored = ::write(STDERR_FILENO, text.data(), text.size());
}

// A pipe of 1 MiB rather than the usual 64 KiB: a sixteenth of the wake-ups on either side
// of it, which on two cores halved the time of copying into a pipe. Only ever widened;
// where the system refuses, the pipe stays as it was.
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

int run(int argc, char** argv) {
    const std::unique_ptr<io::codec> codec = platform::set_locale_from_environment();
    // A reader that goes away shows up as EPIPE on the next write, which ends the run quietly.
    std::signal(SIGPIPE, SIG_IGN);
    widen_pipe(STDIN_FILENO);
    widen_pipe(STDOUT_FILENO);

    platform::fd_source in_bytes(STDIN_FILENO);
    platform::fd_sink out_bytes(STDOUT_FILENO);
    platform::fd_sink error_bytes(STDERR_FILENO);
    const bool terminal = platform::is_colour_terminal(STDOUT_FILENO);
    io::text_output output(out_bytes, *codec, terminal);
    io::line_reader input(in_bytes);
    input.tie(&output);
    platform::terminal_console console(output, terminal);
#ifndef HUECAST_WITHOUT_LIBRARY_OBJECTS
    // The support library's process-wide objects: after the streams, before the entry, gone
    // after it returns (the benchmark build that measures their cost leaves them out).
    const qel::startup_objects library_objects;
#endif

    std::vector<std::u16string> arguments(static_cast<std::size_t>(argc));
    std::vector<const char16_t*> pointers;
    for (int i = 0; i < argc; ++i) {
        codec->decode(argv[i], arguments[static_cast<std::size_t>(i)]);
        pointers.push_back(arguments[static_cast<std::size_t>(i)].c_str());
    }
    pointers.push_back(nullptr);

    huecast::program_streams streams{input, output, console, error_bytes};
    return huecast::run(argc, pointers.data(), streams);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (...) {
        write_stderr("internal error: " + huecast::current_exception_text(*io::make_multibyte_codec()));
        return 3;
    }
}
