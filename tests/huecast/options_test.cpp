// The leading options: how they are read, and what a whole command line with them does,
// on in-memory streams and files.
#include "options/parse_options.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "entry.h"
#include "filter/sources/filter_files.h"
#include "memory_files.h"
#include "memory_streams.h"

namespace {

using huecast::colour_when;
using testing_support::memory_files;
using testing_support::memory_sink;
using testing_support::memory_source;

std::vector<const char*> command_line(const std::vector<const char*>& args) {
    std::vector<const char*> argv{"huecast"};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(nullptr);
    return argv;
}

// The operands are a view of `argv`, which the caller keeps.
auto parsed(const std::vector<const char*>& argv) {
    return huecast::parse_options(static_cast<int>(argv.size() - 1), argv.data());
}

TEST(Options, OnlyLeadingLongOptionsAndDoubleDashEndsThem) {
    constexpr auto file = huecast::filter_source::kind::file, set = huecast::filter_source::kind::set,
                   filter = huecast::filter_source::kind::filter;
    const struct {
        std::vector<const char*> args;
        colour_when colour;
        std::vector<huecast::filter_source> sources;
        std::vector<std::string> operands;
        std::vector<std::string> command = {};
    } cases[] = {
        {{"0a", "--color=never"}, colour_when::automatic, {}, {"0a", "--color=never"}},
        {{"--color=always", "0a"}, colour_when::always, {}, {"0a"}},
        {{"--colour=never", "--color=auto"}, colour_when::automatic, {}, {}},
        {{"--file=a", "--set", "b", "--file", "c", "--set=d", "0c,x"}, colour_when::automatic,
         {{file, "a"}, {set, "b"}, {file, "c"}, {set, "d"}}, {"0c,x"}},
        {{"--filter=red,x", "--file=a", "--filter", "--set=b", "0c,x"}, colour_when::automatic,
         {{filter, "red,x"}, {file, "a"}, {filter, "--set=b"}}, {"0c,x"}},
        {{"--", "--color=never"}, colour_when::automatic, {}, {"--color=never"}},
        {{"-?", "--help"}, colour_when::automatic, {}, {"-?", "--help"}},
        {{"-", "x"}, colour_when::automatic, {}, {"-", "x"}},
        // --run takes every argument after it, options or not; after an operand it is one.
        {{"--set=build", "--run", "make", "-j4", "--color=never"}, colour_when::automatic, {{set, "build"}}, {},
         {"make", "-j4", "--color=never"}},
        {{"--color=always", "--run", "--", "--help"}, colour_when::always, {}, {}, {"--", "--help"}},
        {{"0a", "--run", "make"}, colour_when::automatic, {}, {"0a", "--run", "make"}},
    };
    for (const auto& c : cases) {
        const auto argv = command_line(c.args);
        const auto options = parsed(argv);
        ASSERT_TRUE(options) << c.args.size();
        EXPECT_EQ(options->colour, c.colour) << c.args.size();
        EXPECT_EQ(options->filter_sources, c.sources);
        EXPECT_EQ(std::vector<std::string>(options->operands.begin(), options->operands.end()), c.operands);
        EXPECT_EQ(std::vector<std::string>(options->command.begin(), options->command.end()), c.command);
    }
    EXPECT_TRUE(parsed(command_line({"--help", "x"}))->help);
    EXPECT_TRUE(parsed(command_line({"--version"}))->version);
}

TEST(Options, EveryMistakeIsNamed) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"--x"}, "unknown option '--x'"},
        {{"--color"}, "option '--color' needs a value: auto, always or never"},
        {{"--colour=yes"}, "invalid value 'yes' for '--colour': auto, always or never"},
        {{"--help=1"}, "option '--help' takes no value"},
        {{"--file"}, "option '--file' needs a file name"},
        {{"--set"}, "option '--set' needs the name of a filter set"},
        {{"--filter"}, "option '--filter' needs a value"},
        {{"--color=never", "--versio"}, "unknown option '--versio'"},
        {{"--run"}, "option '--run' needs a command"},
        {{"--run=make"}, "option '--run' takes the command as the arguments after it, not after '='"},
        // What the user typed is echoed, but nothing in it reaches the terminal as a control.
        {{"--x\x1b]0;pwned\x07"}, "unknown option '--x\\e]0;pwned\\x07'"},
        {{"--color=\r\u202e"}, "invalid value '\\r\\u202e' for '--color': auto, always or never"},
    };
    for (const auto& [args, message] : cases) {
        const auto options = parsed(command_line(args));
        ASSERT_FALSE(options);
        EXPECT_EQ(options.error().message, message);
    }
}

struct run_result {
    huecast::exit_code code;
    std::string out;
    std::string errors;
    int reads;
};

run_result run(const std::vector<const char*>& args, const std::string& input = "",
               const std::map<std::string, std::string>& files = {}) {
    const auto argv = command_line(args);
    const int argc = static_cast<int>(argv.size() - 1);
    memory_source source(input);
    memory_sink sink, errors;
    const auto codec = io::make_utf8_codec();
    // A pipe that takes colour, so that pieces show where they are cut.
    const huecast::output_policy policy{huecast::colour_method::escapes, io::line_end::lf};
    io::text_output output(sink, *codec, policy.line_end);
    io::line_reader reader(source);
    io::input_lines lines(reader, *codec);
    memory_files disk;
    disk.files = files;
    huecast::program_streams streams{lines, output, errors, policy, nullptr, &disk};
    const auto code = huecast::run_command_line(huecast::parse_options(argc, argv.data()), streams);
    output.flush();
    return {code, sink.bytes, errors.bytes, source.reads};
}

TEST(CommandLine, HelpVersionAndMistakes) {
    const run_result help = run({"--help", "0a"}, "unread\n");
    EXPECT_EQ(help.code, huecast::exit_code::done);
    EXPECT_TRUE(help.out.starts_with("huecast v2.1")) << help.out;
    // The options' lines, made from the option table, in order and in the column of the
    // environment's; an option added between them leaves them as they are.
    std::size_t at = 0;
    for (const char* line : {"F = Bright white\nOptions, before the colour code or filters:\n",
                             "\n  --color=WHEN, --colour=WHEN  colour: auto (on a terminal; the default), always, never\n",
                             "\n  --file=FILE                  read filters from FILE, one per line; # starts a comment\n",
                             "\n  --                           end of the options\nEnvironment:\n",
                             "\n  NO_COLOR                     set and not empty: no colour\n"}) {
        at = help.out.find(line, at);
        ASSERT_NE(at, std::string::npos) << line << "\nin\n" << help.out;
    }
    EXPECT_EQ(help.reads, 0);
    const run_result version = run({"--version"});
    EXPECT_TRUE(version.out.starts_with("huecast 2.1.0.2\n"));
    EXPECT_EQ(std::count(version.out.begin(), version.out.end(), '\n'), 2);
    const run_result bad = run({"--x", "0a"}, "unread\n");
    EXPECT_EQ(bad.code, huecast::exit_code::usage_error);
    EXPECT_EQ(bad.errors, "huecast: unknown option '--x'; try 'huecast --help'\n");
    EXPECT_EQ((bad.out + std::to_string(bad.reads)), "0");
    // After "--" and after the first other argument, everything is what it would be alone.
    EXPECT_EQ(run({"--", "0c", "--x"}).out, "\x1b[0;91;49m--x\x1b[0m\n");
}

TEST(CommandLine, FilterFilesComeBeforeTheArgumentsFilters) {
    const std::map<std::string, std::string> files = {
        {"rules", "\xEF\xBB\xBF# errors first\r\n\r\n0c,error\r\n  \n\t # then warnings\n0e,warn\n"},
        {"more", "0a,ok"},
        {"bad", "0c,x\nhello\n"},
        {"broken", "\n0c,(x\n"},
        {"group", "red;;bold,(a)\n"},
        {"return", "0c,x\n0c,a\r(\n"},
        {"\x1b]0;t\x07", "x\n"},
        {"huge", std::string(huecast::filter_file_limit + 1, '#')}};
    const run_result good = run({"--file=rules", "--file", "more", "0b,ok|error"}, "ok error warn\n", files);
    EXPECT_EQ(good.code, huecast::exit_code::done);
    EXPECT_EQ(good.out, "\x1b[0;92;49mok\x1b[0m \x1b[0;91;49merror\x1b[0m \x1b[0;93;49mwarn\x1b[0m\n");
    EXPECT_EQ(good.errors, "");

    const struct {
        std::vector<const char*> args;
        const char* error;
    } mistakes[] = {
        {{"--file=missing"}, "huecast: missing: No such file or directory\n"},
        {{"--file=bad"}, "huecast: bad:2 \"hello\": not a filter (a colour code or styles, a comma, an expression)\n"},
        {{"--file=group"}, "huecast: group:1 \"red;;bold,(a)\": 'bold' is the style of group 2, but the expression has "
                          "only 1 group\n"},
        {{"--filter=bold;purpel,(x)"}, "huecast: --filter \"bold;purpel,(x)\": in the style of group 1, 'purpel' is "
                                       "neither a colour nor an attribute\n"},
        {{"--file=broken"}, "huecast: broken:2 \"0c,(x\": missing closing parenthesis at offset 2\n"},
        {{"--file=rules", "0a"}, "huecast: '0a' is not a filter, and with --filter, --file or --set every argument must be one\n"},
        {{"--file=return"}, "huecast: return:2 \"0c,a\\r(\": an expression cannot hold a line end\n"},
        {{"--file=\x1b]0;t\x07"}, "huecast: \\e]0;t\\x07:1 \"x\": not a filter (a colour code or styles, a comma, an "
                                 "expression)\n"},
        {{"--file=\x1b]0;t\x07x"}, "huecast: \\e]0;t\\x07x: No such file or directory\n"},
        {{"--file=rules", "\x1b[2J"}, "huecast: '\\e[2J' is not a filter, and with --filter, --file or --set every argument must be one\n"},
        {{"--file=huge"}, "huecast: huge: too large for a filter file (more than 1 MiB)\n"},
    };
    for (const auto& m : mistakes) {
        const run_result r = run(m.args, "unread\n", files);
        EXPECT_EQ(r.code, huecast::exit_code::usage_error) << m.error;
        EXPECT_EQ(r.errors, m.error);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.reads, 0) << m.error;
    }
}

}  // namespace
