#include "run.h"

#include <optional>

#include "exit_code.h"
#include "io/input_lines.h"
#include "io/line_reader.h"
#include "options/parse_options.h"
#include "qel/startup_objects.h"
#include "run_program.h"

namespace huecast {

int run(const system_ends& ends) {
    const auto options = parse_options(static_cast<int>(ends.arguments.size()), ends.arguments.data());
    const output_policy policy = decide_output_policy(
        ends.standard_output, options ? options->colour : colour_when::automatic, read_colour_environment());
    io::text_output output(ends.output(policy), ends.codec, policy.line_end);
    io::line_reader reader(ends.input);
    reader.before_waiting([&output] { output.flush(); });
    io::input_lines input(reader, ends.codec);
    qel::console_device* const console = ends.console ? ends.console(output) : nullptr;
    // The support library's process-wide objects: after the streams, before the entry, gone
    // after it returns.
    std::optional<qel::startup_objects> library_objects;
    if (ends.library_objects) library_objects.emplace();

    program_streams streams{input, output, ends.errors, policy, console, &ends.files, &ends.sets};
    return exit_status(run_program(options, streams));
}

}  // namespace huecast
