#include "run_program.h"

#include <string>

#include "entry.h"
#include "messages.h"

namespace huecast {

exit_code run_program(const value_or_error<program_options, option_error>& options, program_streams& streams) {
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

}  // namespace huecast
