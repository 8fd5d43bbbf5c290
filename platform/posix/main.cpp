// The POSIX entry: locale, arguments in the process code page and their leading options,
// the output policy, standard handles, and no colour left behind by a signal; then
// the program, then what the run's input and output came to.
#include <unistd.h>

#include <csignal>
#include <exception>
#include <string>
#include <vector>

#include "colour/colour_policy.h"
#include "exit_code.h"
#include "internal_error.h"
#include "io/async_sink.h"
#include "io/codec.h"
#include "io/input_lines.h"
#include "messages.h"
#include "options/parse_options.h"
#include "platform/posix/colour_signals.h"
#include "platform/posix/fd_files.h"
#include "platform/posix/fd_streams.h"
#include "platform/posix/locale_codec.h"
#include "platform/posix/xdg_shelf.h"
#include "print/escape_writer.h"
#include "qel/startup_objects.h"
#include "run_program.h"

namespace {

void write_stderr(const std::string& message) {
    const std::string text = huecast::messages::line(message);
    [[maybe_unused]] const auto ignored = ::write(STDERR_FILENO, text.data(), text.size());
}

int run_on_standard_handles(int argc, char** argv) {
    const std::unique_ptr<io::codec> codec = platform::set_locale_from_environment();
    // A reader that goes away shows up as EPIPE on the next write, which ends the run quietly.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> arguments(static_cast<std::size_t>(argc));
    std::vector<const char*> pointers;
    for (int i = 0; i < argc; ++i) {
        codec->decode(argv[i], arguments[static_cast<std::size_t>(i)]);
        pointers.push_back(arguments[static_cast<std::size_t>(i)].c_str());
    }
    pointers.push_back(nullptr);
    const auto options = huecast::parse_options(argc, pointers.data());

    const huecast::output_policy policy = huecast::decide_output_policy(
        platform::is_terminal(STDOUT_FILENO) ? huecast::output_kind::terminal : huecast::output_kind::file_or_pipe,
        options ? options->colour : huecast::colour_when::automatic, huecast::read_colour_environment());
    platform::fd_source in_bytes(STDIN_FILENO);
    platform::fd_sink out_bytes(STDOUT_FILENO);
    platform::fd_sink error_bytes(STDERR_FILENO);
    platform::fd_files files(*codec);
    const platform::xdg_shelf sets(*codec);
    const bool terminal = platform::is_terminal(STDOUT_FILENO);
    if (policy.colour == huecast::colour_method::escapes) {
        // Escapes forced into a pipe reach a pager, not this session's terminal: only a
        // terminal needs the stops met.
        out_bytes.guard_colour(huecast::sgr_sequence(huecast::text_colour::terminal_default()), terminal);
    }
    // On a terminal the painting of a block overlaps the terminal's drawing of the last one;
    // the signals are met on the thread that writes.
    io::async_sink terminal_bytes(out_bytes, {platform::meet_signals_on_this_thread, platform::meet_signals_where_guarded});
    io::text_output output(terminal ? static_cast<io::byte_sink&>(terminal_bytes) : out_bytes, *codec, policy.line_end);
    io::line_reader reader(in_bytes);
    reader.before_waiting([&output] { output.flush(); });
    io::input_lines input(reader, *codec);
#ifndef HUECAST_WITHOUT_LIBRARY_OBJECTS
    // The support library's process-wide objects: after the streams, before the entry, gone
    // after it returns (the benchmark build that measures their cost leaves them out).
    const qel::startup_objects library_objects;
#endif

    huecast::program_streams streams{input, output, error_bytes, policy, nullptr, &files, &sets};
    return huecast::exit_status(huecast::run_program(options, streams));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run_on_standard_handles(argc, argv);
    } catch (...) {
        write_stderr(huecast::messages::internal_error(huecast::current_exception_text(*io::make_utf8_codec())));
        return huecast::exit_status(huecast::exit_code::internal_error);
    }
}
