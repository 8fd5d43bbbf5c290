#include "run_program.h"

#include <new>
#include <string>

#include "command/command_mode.h"
#include "entry.h"
#include "messages.h"
#include "out_of_memory.h"

namespace huecast {
namespace {

exit_code run_to_the_end(const value_or_error<program_options, option_error>& options, program_streams& streams) {
    const exit_code code = run_command_line(options, streams);
    streams.output.finish();
    const auto failure = [&](std::string_view stream, const std::string& why) {
        std::string text;
        streams.output.text_codec().decode(why, text);
        report_error(streams, messages::stream_failed(stream, text));
        return exit_code::io_failure;
    };
    if (streams.output.status() == io::transfer_status::failed) {
        return failure("standard output", streams.output.error_text());
    }
    if (streams.input.status() == io::transfer_status::failed) {
        return failure("standard input", streams.input.error_text());
    }
    return code;
}

}  // namespace

exit_code run_program(const value_or_error<program_options, option_error>& options, program_streams& streams) {
    try {
        return run_to_the_end(options, streams);
    } catch (const std::bad_alloc&) {
        give_up_memory_set_aside();
        // The colour scopes closed as the exception went by; what they and the lines before
        // wrote goes out, as far as it can without more memory.
        const auto write_out = [](io::text_output& text) {
            try {
                text.finish();
            } catch (const std::bad_alloc&) {
            }
        };
        write_out(streams.output);
        if (streams.command != nullptr) write_out(streams.command->errors);
        if (streams.say_out_of_memory != nullptr) {
            streams.say_out_of_memory();
        } else {
            streams.errors.write(messages::out_of_memory_line.data(), messages::out_of_memory_line.size());
        }
        // A command's output is input too.
        const bool read = streams.input.started() || (streams.command != nullptr && streams.command->started);
        return read ? exit_code::io_failure : exit_code::usage_error;
    }
}

}  // namespace huecast
