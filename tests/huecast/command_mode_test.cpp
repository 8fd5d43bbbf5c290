// --run on in-memory streams: a scripted command's output and errors painted each onto its
// own stream, and what a set's file says it is for.
#include "command/command_mode.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <vector>

#include "command/command_sets.h"
#include "entry.h"
#include "memory_files.h"
#include "memory_streams.h"

namespace {

using testing_support::memory_files;
using testing_support::memory_sink;
using testing_support::memory_source;

const std::string red = "\x1b[0;91;49m", green = "\x1b[0;92;49m", reset = "\x1b[0m";

// What the command writes: a chunk on its output (or its errors) each time huecast waits.
struct chunk {
    bool errors;
    std::string bytes;
};

// A command that writes its script, then ends with exit code 3.
class scripted_command final : public huecast::started_command {
public:
    explicit scripted_command(std::deque<chunk> script) : script_(std::move(script)) {}
    io::byte_source& output() override { return output_; }
    io::byte_source& errors() override { return errors_; }
    void wait_for_either(std::optional<std::chrono::milliseconds>) override {
        if (script_.empty()) output_.ended = errors_.ended = true;
        if (script_.empty()) return;
        (script_.front().errors ? errors_ : output_).arrived += script_.front().bytes;
        script_.pop_front();
    }
    void stop_reading(io::byte_source& source) override { static_cast<side&>(source).ended = true; }
    huecast::command_end wait() override { return {false, 3}; }

private:
    struct side final : io::byte_source {
        std::string arrived;
        bool ended = false;
        io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
            EXPECT_TRUE(wait_for_input({})) << "a read that would wait";
            got = arrived.copy(buffer, capacity);
            arrived.erase(0, got);
            return got > 0 ? io::transfer_status::ok : io::transfer_status::end;
        }
        bool wait_for_input(std::chrono::milliseconds) override { return !arrived.empty() || ended; }
        io::control_z control_z_rule() const override { return io::control_z::data; }
        std::string error_text() const override { return "no error"; }
    };
    std::deque<chunk> script_;
    side output_, errors_;
};

struct scripted_runner final : huecast::command_runner {
    std::deque<chunk> script;
    huecast::value_or_error<std::unique_ptr<huecast::started_command>, huecast::start_failure> start(
        std::span<const char* const>) override {
        return std::unique_ptr<huecast::started_command>(new scripted_command(script));
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
run_result run(const std::vector<const char*>& args, scripted_runner& runner, bool one_sink,
               const std::map<std::string, std::string>& contents) {
    memory_files files;
    files.files = contents;
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
    huecast::program_streams streams{lines, output, errors, policy, nullptr, &files, nullptr, &command};
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
        const run_result r = run({"--file=rules", "--run", "make", "-k"}, runner, c.one_sink,
                                 {{"rules", "0c,error\n0a,ok\n"}});
        EXPECT_EQ(r.code, huecast::exit_code::done) << c.out;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.errors, c.errors);
        EXPECT_EQ(r.ended, (huecast::command_end{false, 3}));
    }
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

}  // namespace
