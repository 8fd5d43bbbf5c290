#include "colour/colour_policy.h"

#include <cstdlib>

namespace huecast {
namespace {

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

}  // namespace

colour_environment read_colour_environment() { return {variable("TERM")}; }

output_policy decide_output_policy(output_kind kind, const colour_environment& environment) {
    constexpr output_policy plain{colour_method::none, io::line_end::crlf};
    switch (kind) {
        case output_kind::terminal:
            // A terminal that says it is dumb takes no escapes; it is written to as a file is.
            if (environment.term == "dumb") return plain;
            return {colour_method::escapes, io::line_end::lf};
        case output_kind::windows_console:
            // The console sink gives every LF its CR.
            return {colour_method::console_attributes, io::line_end::lf};
        case output_kind::file_or_pipe:
            break;
    }
    return plain;
}

}  // namespace huecast
