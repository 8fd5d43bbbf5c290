#include <gtest/gtest.h>

#include <vector>

#include "entry.h"
#include "io/line_reader.h"
#include "io/text_output.h"
#include "memory_streams.h"
#include "usage.h"

namespace {

using testing_support::marking_console;
using testing_support::memory_sink;
using testing_support::memory_source;
using testing_support::recording_console;

// One run of the program on in-memory streams; colour changes show as markers.
struct run_result {
    huecast::exit_code code;
    std::string out;
    int reads;
};

run_result run(std::initializer_list<const char*> args, const std::string& input = "", bool terminal = false,
               bool utf8 = true) {
    const std::vector<const char*> arguments(args);
    memory_source source(input, 5);
    memory_sink sink, errors;
    const auto codec = utf8 ? io::make_utf8_codec() : io::make_byte_codec();
    const huecast::output_policy policy{huecast::colour_method::console_attributes,
                                        terminal ? io::line_end::lf : io::line_end::crlf};
    io::text_output output(sink, *codec, policy.line_end);
    io::line_reader reader(source);
    reader.before_waiting([&output] { output.flush(); });
    io::input_lines lines(reader, *codec);
    marking_console console(output);
    huecast::program_streams streams{lines, output, errors, policy, &console};
    const huecast::exit_code code = huecast::dispatch(arguments, streams);
    output.flush();
    return {code, sink.bytes, source.reads};
}

TEST(Dispatch, ChoosesTheModeFromTheArguments) {
    const std::string input = "one\r\ntwo";
    // Whole-stream mode: each line set and restored, the line end in the saved colour.
    EXPECT_EQ(run({"1f"}, input).out, "[1F]one[/]\r\n[1F]two[/]\r\n");
    EXPECT_EQ(run({"-help"}, input).out, "[FFF]one[/]\r\n[FFF]two[/]\r\n");
    // Text mode never reads standard input.
    auto text = run({"1f", "hello", "world"}, input);
    EXPECT_EQ(text.out, "[1F]hello world[/]\r\n");
    EXPECT_EQ(text.reads, 0);
    EXPECT_EQ(run({"-?", "x"}).out, "[FFF]x[/]\r\n");
    EXPECT_EQ(run({"1f,abc", "hello"}).out, "[1F]hello[/]\r\n");
    EXPECT_EQ(run({"1f", "2e,def"}).out, "[1F]2e,def[/]\r\n");
    // One argument that is no filter leaves everything to the plain modes: a filter after it
    // that would not compile is only text, and nothing is read.
    auto mixed = run({"0a,ok", "hello", "0c,(abc"}, "ok\n");
    EXPECT_EQ(mixed.out, "[0A]hello 0c,(abc[/]\r\n");
    EXPECT_EQ(mixed.reads, 0);
    // A filter alone is filter mode, not a colour for the whole stream.
    EXPECT_EQ(run({"1f,zzz"}, input).out.find("[1F]"), std::string::npos);
    EXPECT_EQ(run({"1f,abc", "2e,def"}, input).code, huecast::exit_code::done);
}

TEST(Dispatch, UsageTextAndItsSingleLineEnd) {
    for (auto args : {std::initializer_list<const char*>{}, {"/H"}}) {
        const auto result = run(args, "unread\n");
        EXPECT_EQ(result.code, huecast::exit_code::done);
        EXPECT_EQ(result.reads, 0);
        ASSERT_GT(result.out.size(), 20u);
        EXPECT_TRUE(result.out.ends_with("7 = White       F = Bright white\r\n"));
        EXPECT_FALSE(result.out.ends_with("\r\n\r\n"));
    }
}

TEST(UsageText, SixteenLinesInTheirLayout) {
    std::vector<std::string> lines;
    std::string_view rest = huecast::usage_text;
    for (std::size_t at; (at = rest.find("\r\n")) != std::string_view::npos; rest.remove_prefix(at + 2)) {
        lines.emplace_back(rest.substr(0, at));
    }
    lines.emplace_back(rest);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(huecast::usage_text.find('\n', huecast::usage_text.find("Bright")), std::string_view::npos);
    const std::string_view address_free = lines[0].substr(0, lines[0].find("*** free *** ") + 13);
    EXPECT_EQ(huecast::usage_text.size() - (lines[0].size() - address_free.size()), 726u);
    for (int i : {2, 4, 6}) EXPECT_EQ(lines[static_cast<std::size_t>(i)].find('-'), 38u) << i;
    EXPECT_EQ(lines[5].find_first_not_of(' '), 40u);
    for (std::size_t i = 8; i < 16; ++i) {
        EXPECT_EQ(lines[i].find(" = ", 4), 17u) << "second colour entry of line " << i + 1;
    }
}

TEST(WholeStreamMode, EmptyLinesBlanksAndNoInput) {
    EXPECT_EQ(run({"1f"}, "").out, "");
    EXPECT_EQ(run({"1f"}, "\n  \n").out, "[1F][/]\r\n[1F]  [/]\r\n");
    EXPECT_EQ(run({"7"}, "x\n").out, "[FF]x[/]\r\n");
    // Bytes that are not UTF-8, NULs and lone CRs come back as they were.
    const std::string odd("\xFF\xC3(\0\rz\n", 7);
    EXPECT_EQ(run({"1f"}, odd).out, "[1F]" + odd.substr(0, 6) + "[/]\r\n");
    EXPECT_EQ(run({"1f"}, odd, false, false).out, "[1F]" + odd.substr(0, 6) + "[/]\r\n");
}

TEST(TextMode, JoinsArgumentsWithSingleBlanks) {
    EXPECT_EQ(run({"1f", "a", "", "b"}).out, "[1F]a  b[/]\r\n");
    EXPECT_EQ(run({"1f", ""}).out, "[1F][/]\r\n");
    EXPECT_EQ(run({"0a", " spaced  out ", "x"}).out, "[0A] spaced  out  x[/]\r\n");
    // A character the code page cannot show is written as "?" and the text goes on.
    EXPECT_EQ(run({"0a", "caf\xC3\xA9 \xE4\xB8\xAD!"}, "", false, false).out, "[0A]caf\xE9 ?![/]\r\n");
}

TEST(ConsoleColor, SavesOnceAndRestoresOnEveryRequestAndAtTheEnd) {
    recording_console console(true, 0x07);
    {
        qel::console_color guard(console, 0x1E);
        guard.restore();
    }
    EXPECT_EQ(console.calls, (std::vector<std::string>{"query", "apply 001E", "apply 0007", "apply 0007"}));

    recording_console detached(false);
    {
        qel::console_color guard(detached);
        guard.set(0x0C);
        guard.restore();
    }
    // Without a console there is nothing to put back.
    EXPECT_EQ(detached.calls, (std::vector<std::string>{"query", "apply 000C"}));
}

}  // namespace
