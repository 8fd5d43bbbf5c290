#include "colour/colour_policy.h"

#include <cstdlib>

namespace huecast {
namespace {

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool set_and_not_empty(const std::optional<std::string>& v) { return v && !v->empty(); }
bool says_yes(const std::optional<std::string>& v) { return set_and_not_empty(v) && *v != "0"; }

bool wants_colour(output_kind kind, colour_when when, const colour_environment& environment) {
    if (when != colour_when::automatic) return when == colour_when::always;
    if (set_and_not_empty(environment.no_color)) return false;
    if (says_yes(environment.force_color) || says_yes(environment.clicolor_force)) return true;
    if (kind == output_kind::terminal) return environment.term != "dumb";
    return kind == output_kind::windows_console || kind == output_kind::escape_console;
}

colour_depth depth_of(const colour_environment& environment) {
    const bool direct = environment.colorterm == "truecolor" || environment.colorterm == "24bit";
    return direct ? colour_depth::true_colour : colour_depth::palette_256;
}

}  // namespace

colour_environment read_colour_environment() {
    return {variable("NO_COLOR"), variable("FORCE_COLOR"), variable("CLICOLOR_FORCE"), variable("TERM"),
            variable("COLORTERM")};
}

output_policy decide_output_policy(output_kind kind, colour_when when, const colour_environment& environment) {
    // The console sink gives every LF its CR; a terminal's own driver does the same.
    const io::line_end ending = kind == output_kind::file_or_pipe ? io::line_end::crlf : io::line_end::lf;
    if (!wants_colour(kind, when, environment)) return {colour_method::none, ending};
    const colour_depth depth = depth_of(environment);
    if (kind == output_kind::windows_console || kind == output_kind::escape_console) {
        return {colour_method::console_attributes, io::line_end::lf, depth, kind == output_kind::escape_console};
    }
    return {colour_method::escapes, io::line_end::lf, depth};
}

}  // namespace huecast
