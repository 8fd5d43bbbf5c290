#include "run.h"

#include <optional>

#include "command/command_mode.h"
#include "exit_code.h"
#include "io/input_lines.h"
#include "io/line_reader.h"
#include "options/parse_options.h"
#include "qel/startup_objects.h"
#include "run_program.h"

namespace huecast {

int run(const system_ends& ends) {
    const auto options = parse_options(static_cast<int>(ends.arguments.size()), ends.arguments.data());
    const colour_when when = options ? options->colour : colour_when::automatic;
    const colour_environment environment = read_colour_environment();
    const output_policy policy = decide_output_policy(ends.standard_output, when, environment);
    io::text_output output(ends.output(policy), ends.codec, policy.line_end);
    io::line_reader reader(ends.input);
    reader.before_waiting([&output] { output.flush(); });
    io::input_lines input(reader, ends.codec);
    qel::console_device* const console = ends.console ? ends.console(output) : nullptr;
    // The support library's process-wide objects: after the streams, before the entry, gone
    // after it returns.
    std::optional<qel::startup_objects> library_objects;
    if (ends.library_objects) library_objects.emplace();

    // A command's errors are painted onto standard error, which may be a terminal where
    // standard output is not: a text stream and a policy of their own.
    std::optional<io::text_output> errors;
    std::optional<command_streams> command;
    if (options && options->runs_command() && ends.commands != nullptr) {
        const output_policy error_policy = decide_output_policy(ends.standard_error, when, environment);
        errors.emplace(ends.error_output ? ends.error_output(error_policy) : ends.errors, ends.codec,
                       error_policy.line_end);
        qel::console_device* const error_console = ends.error_console ? ends.error_console(*errors) : nullptr;
        command.emplace(command_streams{*ends.commands, *errors, error_policy, error_console});
    }

    program_streams streams{input, output, ends.errors, policy, console, &ends.files,
                            &ends.sets, command ? &*command : nullptr, ends.say_out_of_memory};
    const exit_code code = run_program(options, streams);
    if (code == exit_code::done && command && command->ended) return ends.commands->exit_status(*command->ended);
    return exit_status(code);
}

}  // namespace huecast
