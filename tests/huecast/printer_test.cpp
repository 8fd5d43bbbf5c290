// The printer through a writer that marks every colour call in the text, and the escape
// writer's exact bytes.
#include "print/printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "memory_streams.h"
#include "print/console_writer.h"
#include "print/escape_writer.h"

namespace {

using huecast::text_colour;
using testing_support::memory_sink;

// "<" for begin, "[XX]" for a colour (its console attribute word in hex), "/" for restore, ">" for end.
class marking_writer final : public huecast::colour_writer {
public:
    explicit marking_writer(io::text_output& output) : output_(output) {}
    void begin() override { output_.write_control("<"); }
    void set(text_colour c) override {
        char mark[16];
        std::snprintf(mark, sizeof mark, "[%02X]", static_cast<unsigned>(huecast::console_attribute(c)));
        output_.write_control(mark);
    }
    void restore() override { output_.write_control("/"); }
    void end() override { output_.write_control(">"); }

private:
    io::text_output& output_;
};

constexpr text_colour red = text_colour::from_attribute(0x0C);
constexpr text_colour green = text_colour::from_attribute(0x0A);

// Prints every line of `input` with `each(printer, scope, line)`, inside one colour scope
// for the run; returns the output.
template <class Each>
std::string printed(const std::string& input, Each each) {
    testing_support::memory_source source(input);
    memory_sink sink;
    const auto codec = io::make_utf8_codec();
    io::text_output output(sink, *codec, io::line_end::crlf);
    io::line_reader reader(source);
    io::input_lines lines(reader, *codec);
    marking_writer writer(output);
    huecast::printer printer(output, writer);
    {
        huecast::colour_scope scope(writer);
        lines.for_each(output, [&](const io::input_line& line) { each(printer, scope, line); });
    }
    output.flush();
    return sink.bytes;
}

TEST(Printer, ColoursEachPieceAndEndsTheLineInTheColourFoundBeforeIt) {
    const std::vector<std::vector<huecast::segment>> cuts = {
        {{0, 3, std::nullopt}, {3, 8, red}, {8, 10, std::nullopt}, {10, 12, green}}, {}, {{0, 3, green}}};
    std::size_t n = 0;
    const std::string out = printed("an error, ok\n\n\xC3\xA9\xFF\n", [&](auto& printer, auto&, const auto& line) {
        printer.print(line, cuts[n++]);
    });
    EXPECT_EQ(out, "<<an [0C]error/, [0A]ok/\r\n><\r\n><[0A]\xC3\xA9\xFF/\r\n>>");
}

TEST(Printer, AWholeLineInOneColourInsideTheCallersScope) {
    const std::string out = printed("one\ntwo", [&](auto& printer, auto& scope, const auto& line) {
        printer.print(line, red, scope);
    });
    EXPECT_EQ(out, "<[0C]one/\r\n[0C]two/\r\n>");
}

TEST(EscapeWriter, WritesOnlyWhatChangesTheTerminal) {
    memory_sink sink;
    const auto codec = io::make_utf8_codec();
    io::text_output output(sink, *codec, io::line_end::lf);
    huecast::escape_writer writer(output);
    {
        huecast::colour_scope scope(writer);
        scope.restore();  // nothing to undo yet
        scope.set(red);
        scope.set(red);
        output.write("x");
        scope.set(text_colour::from_attribute(0x1F));
        scope.restore();
        scope.restore();
        // Underscore and reverse video, as a Windows console attribute may carry them.
        scope.set(text_colour::from_attribute(0xC087));
    }
    output.flush();
    EXPECT_EQ(sink.bytes, "\x1b[0;91;49mx\x1b[0;97;44m\x1b[0m\x1b[0;37;100;4;7m\x1b[0m");
}

// Every colour a console word can carry, in turn: the console writer gives back the word it
// was read from (bit 13, which the console does not use, aside), and the escape writer's
// kept sequences are those of the colour in hand, never of one that shares its slot.
TEST(ColourWriters, EveryColourOfAConsoleWordGoesOutAsItCameIn) {
    memory_sink sink;
    const auto codec = io::make_utf8_codec();
    io::text_output output(sink, *codec, io::line_end::lf);
    huecast::escape_writer writer(output);
    std::string expected;
    text_colour previous = text_colour::terminal_default();
    for (unsigned word = 0; word <= 0xFFFF; ++word) {
        const text_colour colour = text_colour::from_attribute(static_cast<qel::ColourAttribute>(word));
        ASSERT_EQ(huecast::console_attribute(colour), word & ~0x2000u) << std::hex << word;
        writer.set(colour);
        if (colour != previous) expected += huecast::sgr_sequence(colour);
        previous = colour;
    }
    output.flush();
    EXPECT_EQ(sink.bytes, expected);
}

}  // namespace
