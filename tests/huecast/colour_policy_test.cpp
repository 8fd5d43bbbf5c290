// Whether colour goes out, how, and with which line end, as a table of every rule that
// decides it, in order of precedence.
#include "colour/colour_policy.h"

#include <gtest/gtest.h>

namespace {

using huecast::colour_method;
using huecast::colour_when;
using huecast::output_kind;
using huecast::output_policy;

const output_policy escapes{colour_method::escapes, io::line_end::lf};
const output_policy console{colour_method::console_attributes, io::line_end::lf};
const output_policy plain_terminal{colour_method::none, io::line_end::lf};
const output_policy plain_file{colour_method::none, io::line_end::crlf};
const output_policy escapes_24bit{colour_method::escapes, io::line_end::lf, huecast::colour_depth::true_colour};
const output_policy escape_console{colour_method::console_attributes, io::line_end::lf,
                                   huecast::colour_depth::palette_256, true};

TEST(OutputPolicy, FirstRuleThatAppliesWins) {
    const auto unset = std::nullopt;
    const struct {
        const char* why;
        output_kind kind;
        colour_when when;
        huecast::colour_environment environment;
        output_policy expected;
    } cases[] = {
        {"auto: a terminal", output_kind::terminal, colour_when::automatic, {unset, unset, unset, "xterm"}, escapes},
        {"auto: no TERM at all", output_kind::terminal, colour_when::automatic, {}, escapes},
        {"auto: a dumb terminal", output_kind::terminal, colour_when::automatic, {unset, unset, unset, "dumb"},
         plain_terminal},
        {"auto: a console", output_kind::windows_console, colour_when::automatic, {}, console},
        {"auto: a pipe", output_kind::file_or_pipe, colour_when::automatic, {unset, unset, unset, "xterm"}, plain_file},
        {"NO_COLOR", output_kind::terminal, colour_when::automatic, {"1", unset, unset, "xterm"}, plain_terminal},
        {"NO_COLOR on a console", output_kind::windows_console, colour_when::automatic, {"1"}, plain_terminal},
        {"NO_COLOR empty counts as unset", output_kind::terminal, colour_when::automatic, {""}, escapes},
        {"NO_COLOR before FORCE_COLOR", output_kind::file_or_pipe, colour_when::automatic, {"1", "1"}, plain_file},
        {"FORCE_COLOR into a pipe", output_kind::file_or_pipe, colour_when::automatic, {unset, "1"}, escapes},
        {"FORCE_COLOR=0 forces nothing", output_kind::file_or_pipe, colour_when::automatic, {unset, "0"}, plain_file},
        {"FORCE_COLOR empty forces nothing", output_kind::file_or_pipe, colour_when::automatic, {unset, ""}, plain_file},
        {"CLICOLOR_FORCE into a pipe", output_kind::file_or_pipe, colour_when::automatic, {unset, unset, "1"}, escapes},
        {"CLICOLOR_FORCE=0", output_kind::file_or_pipe, colour_when::automatic, {unset, unset, "0"}, plain_file},
        {"FORCE_COLOR before TERM=dumb", output_kind::terminal, colour_when::automatic, {unset, "3", unset, "dumb"},
         escapes},
        {"FORCE_COLOR keeps a console's own service", output_kind::windows_console, colour_when::automatic,
         {unset, "1"}, console},
        {"--color=always into a pipe", output_kind::file_or_pipe, colour_when::always, {}, escapes},
        {"--color=always before NO_COLOR", output_kind::file_or_pipe, colour_when::always, {"1"}, escapes},
        {"--color=always on a dumb terminal", output_kind::terminal, colour_when::always, {unset, unset, unset, "dumb"},
         escapes},
        {"--color=never before FORCE_COLOR", output_kind::terminal, colour_when::never, {unset, "1", "1"},
         plain_terminal},
        {"--color=never on a console", output_kind::windows_console, colour_when::never, {}, plain_terminal},
        {"--color=never into a pipe", output_kind::file_or_pipe, colour_when::never, {}, plain_file},
        {"COLORTERM=truecolor", output_kind::terminal, colour_when::automatic, {unset, unset, unset, "xterm", "truecolor"},
         escapes_24bit},
        {"COLORTERM=24bit forced into a pipe", output_kind::file_or_pipe, colour_when::automatic,
         {unset, "1", unset, unset, "24bit"}, escapes_24bit},
        {"COLORTERM of another word", output_kind::terminal, colour_when::automatic, {unset, unset, unset, "xterm", "yes"},
         escapes},
        {"auto: a console that takes escapes", output_kind::escape_console, colour_when::automatic, {}, escape_console},
        {"NO_COLOR on a console that takes escapes", output_kind::escape_console, colour_when::automatic, {"1"},
         plain_terminal},
    };
    for (const auto& c : cases) EXPECT_EQ(huecast::decide_output_policy(c.kind, c.when, c.environment), c.expected) << c.why;
}

}  // namespace
