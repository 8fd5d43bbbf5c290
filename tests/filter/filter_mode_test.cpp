// Filter mode driven through in-memory streams: what reaches the output, where colours
// change, what goes to the error stream and when nothing at all is read.
#include "filter/filter_mode.h"

#include <gtest/gtest.h>

#include <vector>

#include "io/codec.h"
#include "io/line_reader.h"
#include "test_streams.h"

namespace huecast {
namespace {

using testing::memory_sink;
using testing::memory_source;
using testing::recording_console;

struct run_result {
    exit_code code;
    std::string output;
    std::string errors;
    int reads;
    std::vector<qel::ColourAttribute> applied;
};

run_result run(std::vector<std::string> arguments, std::string input, bool terminal = true) {
    std::vector<const char*> argv;
    for (const auto& a : arguments) argv.push_back(a.c_str());

    const auto codec = io::make_utf8_codec();
    memory_source source(std::move(input));
    memory_sink out_bytes;
    memory_sink error_bytes;
    const output_policy policy = terminal ? output_policy{colour_method::console_attributes, io::line_end::lf}
                                          : output_policy{colour_method::none, io::line_end::crlf};
    io::text_output output(out_bytes, *codec, policy.line_end);
    io::line_reader reader(source);
    reader.before_waiting([&output] { output.flush(); });
    io::input_lines lines(reader, *codec);
    recording_console console(output);
    program_streams streams{lines, output, error_bytes, policy, &console};
    const auto filters = parse_filters(argv);
    if (!filters) return {exit_code::internal_error, "", "", source.reads, {}};
    const exit_code code = filter_mode(*filters, streams);
    output.flush();
    return {code, out_bytes.bytes, error_bytes.bytes, source.reads, console.applied};
}

TEST(FilterMode, ColoursEachPieceBetweenSetAndRestore) {
    const run_result r = run({"0c,error", "0e,warn(ing)?", "0a,\\bok\\b"},
                             "An Error and an ERROR\nwarning: ok, not okay\n\nnothing here");
    EXPECT_EQ(r.code, exit_code::done);
    EXPECT_EQ(r.output,
              "An {0C}Error{07} and an {0C}ERROR{07}\n{07}"
              "{0E}warning{07}: {0A}ok{07}, not okay\n{07}"
              "\n{07}"
              "nothing here\n{07}");
    EXPECT_EQ(r.errors, "");
}

TEST(FilterMode, TextOutsideAsciiAndUndecodableBytesSurvive) {
    const run_result r = run({"0c,ошибка", "0a,b"}, "x\xff" "b \xd0\x9e\xd0\xa8\xd0\x98\xd0\x91\xd0\x9a\xd0\x90\n");
    EXPECT_EQ(r.output, "x\xff{0A}b{07} {0C}\xd0\x9e\xd0\xa8\xd0\x98\xd0\x91\xd0\x9a\xd0\x90{07}\n{07}");
    // Bytes that are no character, NULs and lone CRs stay in the line as they are; the pieces
    // must fall around them.
    const std::string odd("\xfe" "ab\x80\r\0ERROR\xc3", 12);
    const run_result same = run({"0c,error", "0a,b"}, odd + "\n" + odd);
    const std::string painted = "\xfe" "a{0A}b{07}\x80\r" + std::string(1, '\0') + "{0C}ERROR{07}\xc3\n{07}";
    EXPECT_EQ(same.output, painted + painted);
}

TEST(FilterMode, AnInvalidFilterStopsTheRunBeforeAnythingIsRead) {
    const run_result r = run({"0a,ok", "0c,(abc", "0e,[z"}, "error\n");
    EXPECT_EQ(r.code, exit_code::usage_error);
    EXPECT_EQ(r.errors, "huecast: filter 2 \"0c,(abc\": missing closing parenthesis at offset 4\n");
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(r.reads, 0);
    EXPECT_TRUE(r.applied.empty());
}

TEST(FilterMode, OutputThatIsNoTerminalIsAPlainCopy) {
    const run_result r = run({"0c,error"}, "an error\r\nx\xff\nlast", false);
    EXPECT_EQ(r.code, exit_code::done);
    EXPECT_EQ(r.output, "an error\r\nx\xff\r\nlast\r\n");
    EXPECT_TRUE(r.applied.empty());
    // Filters are still compiled first.
    const run_result bad = run({"0c,a)"}, "a\n", false);
    EXPECT_EQ(bad.code, exit_code::usage_error);
    EXPECT_EQ(bad.reads, 0);
}

TEST(FilterMode, RunawayBacktrackingIsReportedOnceAndNoTextIsLost) {
    const std::string runaway(40, 'a');
    const run_result r = run({"0c,(a+)+$", "0a,b"}, runaway + "b\n" + runaway + "b\nab\n");
    EXPECT_EQ(r.code, exit_code::done);
    EXPECT_EQ(r.output, runaway + "{0A}b{07}\n{07}" + runaway + "{0A}b{07}\n{07}a{0A}b{07}\n{07}");
    EXPECT_EQ(r.errors,
              "huecast: warning: filter 1 \"0c,(a+)+$\" gave up on line 1 (too much backtracking) and colours "
              "nothing from there to the line's end; later cases are not reported\n");
}

}  // namespace
}  // namespace huecast
