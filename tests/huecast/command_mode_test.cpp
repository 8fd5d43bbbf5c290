// --run on in-memory streams: a scripted command's output and errors painted each onto its
// own stream, what keeps a command from running, the set chosen by the command's name, and
// the commands that --list-sets shows for each set.
#include "command/command_mode.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <vector>

#include "command/command_line.h"
#include "command/command_sets.h"
#include "entry.h"
#include "memory_files.h"
#include "memory_streams.h"

namespace {

using testing_support::memory_files;
using testing_support::memory_shelf;
using testing_support::memory_sink;
using testing_support::memory_source;

const std::string red = "\x1b[0;91;49m", green = "\x1b[0;92;49m", reset = "\x1b[0m";

// What the command writes: a chunk on its output (or its errors) each time huecast waits.
struct chunk {
    bool errors;
    std::string bytes;
};

class scripted_command final : public huecast::started_command {
public:
    scripted_command(std::deque<chunk> script, huecast::command_end end, std::vector<std::string>& log)
        : script_(std::move(script)), end_(end), log_(log) {}
    io::byte_source& output() override { return output_; }
    io::byte_source& errors() override { return errors_; }
    void wait_for_either(std::optional<std::chrono::milliseconds>) override {
        if (script_.empty()) {
            output_.ended = errors_.ended = true;
            return;
        }
        (script_.front().errors ? errors_ : output_).arrived += script_.front().bytes;
        script_.pop_front();
    }
    void stop_reading(io::byte_source& source) override {
        log_.push_back(&source == &output_ ? "stop output" : "stop errors");
        static_cast<side&>(source).ended = true;
    }
    huecast::command_end wait() override {
        log_.push_back("wait");
        return end_;
    }

private:
    struct side final : io::byte_source {
        std::string arrived;
        bool ended = false;
        io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
            EXPECT_TRUE(wait_for_input({})) << "a read that would wait";
            got = std::min(capacity, arrived.size());
            arrived.copy(buffer, got);
            arrived.erase(0, got);
            return got > 0 ? io::transfer_status::ok : io::transfer_status::end;
        }
        bool wait_for_input(std::chrono::milliseconds) override { return !arrived.empty() || ended; }
        io::control_z control_z_rule() const override { return io::control_z::data; }
        std::string error_text() const override { return "no error"; }
    };
    std::deque<chunk> script_;
    side output_, errors_;
    huecast::command_end end_;
    std::vector<std::string>& log_;
};

class scripted_runner final : public huecast::command_runner {
public:
    std::deque<chunk> script;
    huecast::command_end end;
    std::optional<huecast::start_failure> failure;
    std::vector<std::string> log;  // what happened, in order: the command line first
    huecast::value_or_error<std::unique_ptr<huecast::started_command>, huecast::start_failure> start(
        std::span<const char* const> command) override {
        std::string line = "start";
        for (const char* argument : command) line.append(" ").append(argument);
        log.push_back(line);
        if (failure) return *failure;
        return std::unique_ptr<huecast::started_command>(new scripted_command(script, end, log));
    }
    int exit_status(const huecast::command_end& e) override { return e.number; }
};

struct run_result {
    huecast::exit_code code;
    std::string out;
    std::string errors;  // the command's errors and huecast's messages
    std::optional<huecast::command_end> ended;
};

// A run of the command line `args` with `runner`, both streams taking escapes; with `one_sink`
// both write to `out`, as where they reach one terminal.
run_result run(const std::vector<const char*>& args, scripted_runner& runner, bool one_sink = false,
               const std::map<std::string, std::string>& contents = {}, const memory_shelf* shelf = nullptr) {
    memory_files files;
    files.files = contents;
    const memory_shelf no_sets;
    std::vector<const char*> argv{"huecast"};
    argv.insert(argv.end(), args.begin(), args.end());
    memory_source source("");
    memory_sink out, errors;
    const auto codec = io::make_utf8_codec();
    const huecast::output_policy policy{huecast::colour_method::escapes, io::line_end::lf};
    io::text_output output(out, *codec, policy.line_end);
    io::text_output error_output(one_sink ? out : errors, *codec, policy.line_end);
    io::line_reader reader(source);
    io::input_lines lines(reader, *codec);
    huecast::command_streams command{runner, error_output, policy};
    huecast::program_streams streams{lines, output, errors, policy, nullptr, &files, shelf ? shelf : &no_sets, &command};
    const auto options = huecast::parse_options(static_cast<int>(argv.size()), argv.data());
    const huecast::exit_code code = huecast::run_command_line(options, streams);
    output.flush();
    error_output.flush();
    EXPECT_EQ(source.reads, 0) << "standard input is the command's";
    return {code, out.bytes, errors.bytes, command.ended};
}

TEST(CommandMode, EachStreamIsPaintedOntoItsOwnAsItComes) {
    const struct {
        std::deque<chunk> script;
        bool one_sink;
        std::string out, errors;
    } cases[] = {
        {{{false, "ok\n"}, {true, "an error\n"}}, false, green + "ok" + reset + "\n",
         "an " + red + "error" + reset + "\n"},
        // A line that comes in two chunks is painted whole; a last line keeps having no end.
        {{{false, "er"}, {false, "ror\nno end"}}, false, red + "error" + reset + "\nno end", ""},
        {{{true, "er"}, {true, "ror\r\n"}, {true, "\n"}}, false, "", red + "error" + reset + "\n\n"},
        // Where both reach one terminal, the lines of the two show as they came.
        {{{false, "1 ok\n"}, {true, "2 error\n"}, {false, "3\n"}, {true, "4\n"}}, true,
         "1 " + green + "ok" + reset + "\n2 " + red + "error" + reset + "\n3\n4\n", ""},
        {{}, false, "", ""},
    };
    for (const auto& c : cases) {
        scripted_runner runner;
        runner.script = c.script;
        runner.end = {false, 3};
        const run_result r = run({"--file=rules", "--run", "make", "-k"}, runner, c.one_sink,
                                 {{"rules", "0c,error\n0a,ok\n"}});
        EXPECT_EQ(r.code, huecast::exit_code::done) << c.out;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.errors, c.errors);
        EXPECT_EQ(r.ended, (huecast::command_end{false, 3}));
        EXPECT_EQ(runner.log, (std::vector<std::string>{"start make -k", "wait"}));
    }
}

TEST(CommandMode, WhatKeepsACommandFromRunningIsOneLineAndTheShellsStatus) {
    const struct {
        bool found;
        const char* reason;
        const char* program;
        huecast::exit_code code;
        const char* message;
    } cases[] = {
        {false, "", "nope", huecast::exit_code::not_found, "huecast: nope: command not found\n"},
        {false, "No such file or directory", "./nope", huecast::exit_code::not_found,
         "huecast: ./nope: No such file or directory\n"},
        {true, "Permission denied", "/etc/passwd", huecast::exit_code::cannot_run,
         "huecast: /etc/passwd: Permission denied\n"},
        {false, "", "\x1b[2J", huecast::exit_code::not_found, "huecast: \\e[2J: command not found\n"},
    };
    for (const auto& c : cases) {
        scripted_runner runner;
        runner.failure = huecast::start_failure{c.found, c.reason};
        const run_result r = run({"--file=rules", "--run", c.program}, runner, false, {{"rules", "0c,x\n"}});
        EXPECT_EQ(r.code, c.code) << c.message;
        EXPECT_EQ(r.errors, c.message);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.ended);
    }
    // A filter that does not compile stops the run before anything starts.
    scripted_runner runner;
    const run_result bad = run({"--file=rules", "--run", "make"}, runner, false, {{"rules", "0c,(x\n"}});
    EXPECT_EQ(bad.code, huecast::exit_code::usage_error);
    EXPECT_EQ(bad.errors, "huecast: rules:1 \"0c,(x\": missing closing parenthesis at offset 2\n");
    EXPECT_TRUE(runner.log.empty());
}

TEST(CommandMode, AStreamThatCannotBeWrittenIsReadNoMoreAndTheOtherGoesOn) {
    scripted_runner runner;
    runner.script = {{false, "one\n"}, {true, "error\n"}, {false, "two\n"}, {true, "error\n"}};
    std::vector<const char*> argv{"huecast", "--file=rules", "--run", "make"};
    memory_source source("");
    memory_sink out, errors;
    out.fail_after = 0;
    out.failure = io::transfer_status::closed;
    const auto codec = io::make_utf8_codec();
    const huecast::output_policy policy{huecast::colour_method::none, io::line_end::lf};
    io::text_output output(out, *codec, policy.line_end), error_output(errors, *codec, policy.line_end);
    io::line_reader reader(source);
    io::input_lines lines(reader, *codec);
    memory_files files;
    files.files = {{"rules", "0c,x\n"}};
    huecast::command_streams command{runner, error_output, policy};
    huecast::program_streams streams{lines, output, errors, policy, nullptr, &files, nullptr, &command};
    EXPECT_EQ(huecast::run_command_line(huecast::parse_options(4, argv.data()), streams), huecast::exit_code::done);
    EXPECT_EQ(runner.log, (std::vector<std::string>{"start make", "stop output", "wait"}));
    EXPECT_EQ(errors.bytes, "error\nerror\n");
}

TEST(CommandSets, TheCommandsLineNamesWhatASetIsFor) {
    const auto codec = io::make_utf8_codec();
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"# commands: make ninja\n0c,error\n", {"make", "ninja"}},
        {"\xEF\xBB\xBF# commands:\tgcc  g++ \r\n# commands: cc\r\n", {"gcc", "g++", "cc"}},
        // Only that form: not another comment, not indented, not without its colon.
        {"# the commands: make\n  # commands: make\n#commands: make\n# commands make\n", {}},
        {"# commands:", {}},
    };
    for (const auto& [contents, commands] : cases) EXPECT_EQ(huecast::commands_named_in(contents, *codec), commands);
}

TEST(CommandSets, TheCommandsNameTheSetTheUsersFirst) {
    memory_shelf shelf;
    shelf.shelves = {{"user", {"mybuild", "notes"}}, {"system", {"build", "diff", "notes"}}};
    const std::map<std::string, std::string> files = {{"user/mybuild.filters", "# commands: make\n0e,mine\n"},
                   {"user/notes.filters", "0a,ok\n"},
                   {"system/build.filters", "# commands: make ninja\n0c,error\n"},
                   {"system/diff.filters", "# commands: diff git\n0a,^\\+\n"},
                   {"system/notes.filters", "# commands: less\n"}};
    const struct {
        const char* program;
        std::string out;
    } chosen[] = {
        {"make", "\x1b[0;93;49mmine\x1b[0m error\n"},     // the user's set, though "build" sorts first
        {"/usr/bin/ninja", "mine " + red + "error" + reset + "\n"},  // by its name, without the directories
    };
    for (const auto& c : chosen) {
        scripted_runner runner;
        runner.script = {{false, "mine error\n"}};
        const run_result r = run({"--run", c.program}, runner, false, files, &shelf);
        EXPECT_EQ(r.code, huecast::exit_code::done) << c.program;
        EXPECT_EQ(r.out, c.out);
    }
    // The user's notes hide the system's, and with them the commands they named.
    scripted_runner runner;
    const run_result none = run({"--run", "less"}, runner, false, files, &shelf);
    EXPECT_EQ(none.code, huecast::exit_code::usage_error);
    EXPECT_EQ(none.errors,
              "huecast: no filter set is for the command 'less'; give one with --set or --file (the sets and their "
              "commands: build: make ninja; diff: diff git; mybuild: make; notes: none)\n");
    EXPECT_TRUE(runner.log.empty());

    const run_result listed = run({"--list-sets"}, runner, false, files, &shelf);
    EXPECT_EQ(listed.out,
              "build\tsystem/build.filters\tmake ninja\ndiff\tsystem/diff.filters\tdiff git\n"
              "mybuild\tuser/mybuild.filters\tmake\nnotes\tuser/notes.filters\t\n");
}

TEST(WindowsCommandLine, TheRuntimeSplitsItBackIntoTheArguments) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"make", "-j4"}, "make -j4"},
        {{"C:\\Program Files\\x.exe", ""}, "\"C:\\Program Files\\x.exe\" \"\""},
        {{"echo", "a \"b\" c"}, "echo \"a \\\"b\\\" c\""},
        // Backslashes are doubled only where a quote follows them.
        {{"x", "a\\\\b", "d\\ e\\", "q\\\"", "tab\there"}, "x a\\\\b \"d\\ e\\\\\" \"q\\\\\\\"\" \"tab\there\""},
    };
    for (const auto& [arguments, line] : cases) EXPECT_EQ(huecast::windows_command_line(arguments), line);
}

}  // namespace
