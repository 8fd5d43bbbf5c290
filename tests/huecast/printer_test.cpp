// The printer through a writer that marks every colour call in the text, and the escape
// writer's exact bytes.
#include "print/printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "colour/parse_style.h"
#include "memory_streams.h"
#include "print/console_writer.h"
#include "print/escape_writer.h"

namespace {

using huecast::colour_depth;
using huecast::text_colour;
using testing_support::memory_sink;

text_colour style(std::string_view text) {
    const auto parsed = huecast::parse_style(text);
    EXPECT_TRUE(parsed) << text;
    return parsed ? *parsed : text_colour();
}

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

// Each style's bytes; those of the colour codes are what they have always been.
TEST(EscapeWriter, TheSequenceOfEachStyle) {
    constexpr auto palette = colour_depth::palette_256;
    constexpr auto direct = colour_depth::true_colour;
    const std::string longest = "\x1b[0;1;2;3;4;5;7;9;38;2;255;255;255;48;2;255;255;255m";
    const struct {
        text_colour colour;
        colour_depth depth;
        std::string bytes;
    } cases[] = {
        {text_colour::terminal_default(), palette, "\x1b[0m"},
        {style("0c"), palette, "\x1b[0;91;49m"},
        {style("70"), direct, "\x1b[0;30;47m"},
        {text_colour::from_attribute(0xC087), palette, "\x1b[0;37;100;4;7m"},
        // By name, black is black; a colour code's black background is the terminal's own.
        {style("bold red black"), palette, "\x1b[0;1;31;40m"},
        {style("brightwhite brightblack"), palette, "\x1b[0;97;100m"},
        {style("normal blue"), palette, "\x1b[0;39;44m"},
        {style("strike bold"), palette, "\x1b[0;1;9;39;49m"},
        {style("1 208"), palette, "\x1b[0;38;5;1;48;5;208m"},
        {style("#ff8000 #000000"), direct, "\x1b[0;38;2;255;128;0;48;2;0;0;0m"},
        {style("#ff8000 #000000"), palette, "\x1b[0;38;5;208;48;5;16m"},
        {style("bold dim italic ul blink reverse strike #fff #FFFFFF"), direct, longest},
        {style("bold").over(style("0c")), palette, "\x1b[0;1;91;49m"},
        // A colour code's underscore is not written again beside a style's underline.
        {style("ul").over(text_colour::from_attribute(0xC087)), palette, "\x1b[0;4;37;100;7m"},
    };
    for (const auto& c : cases) EXPECT_EQ(huecast::sgr_sequence(c.colour, c.depth), c.bytes) << c.bytes.substr(1);
    EXPECT_EQ(longest.size(), huecast::longest_sgr_sequence);
}

// More styles than the writer keeps, each in turn beside colour codes, twice over: each
// goes out as its own sequence, in the writer's depth.
TEST(EscapeWriter, EveryStyleInItsOwnSequenceHoweverManyARunHas) {
    memory_sink sink;
    const auto codec = io::make_utf8_codec();
    io::text_output output(sink, *codec, io::line_end::lf);
    huecast::escape_writer writer(output, colour_depth::true_colour);
    std::string expected;
    for (int round = 0; round < 2; ++round) {
        for (unsigned n = 0; n < 200; ++n) {
            const text_colour colour(huecast::colour_value::rgb(static_cast<std::uint8_t>(n), 1, 2),
                                     huecast::colour_value::palette(static_cast<std::uint8_t>(n)));
            const text_colour code = text_colour::from_attribute(static_cast<qel::ColourAttribute>(n));
            writer.set(colour);
            writer.set(code);
            writer.restore();
            expected += huecast::sgr_sequence(colour, colour_depth::true_colour) + huecast::sgr_sequence(code) + "\x1b[0m";
        }
    }
    output.flush();
    EXPECT_EQ(sink.bytes, expected);
}

// What the console is given for each style: its nearest word, the colours it leaves open
// taken from the word found at the start, underline and reverse as the console's own marks.
TEST(ConsoleWriter, TheNearestWordOfEachStyle) {
    const struct {
        text_colour colour;
        qel::ColourAttribute found;
        const char* applied;
    } cases[] = {
        {style("0c"), 0x1F, "apply 000C"},
        {text_colour::from_attribute(0xC087), 0x07, "apply C087"},
        {style("red"), 0x07, "apply 0004"},
        {style("normal blue"), 0x2E, "apply 001E"},
        {style("green"), 0x2E, "apply 0022"},
        {style("ul reverse red"), 0x07, "apply C004"},
        {style("bold italic #ff8800"), 0x07, "apply 000E"},
        {style("196 #000080"), 0x07, "apply 001C"},
        {style("strike"), 0x1F, "apply 001F"},
    };
    for (const auto& c : cases) {
        testing_support::recording_console console(true, c.found);
        char found[16];
        std::snprintf(found, sizeof found, "apply %04X", c.found);
        {
            huecast::console_writer writer(console);
            huecast::colour_scope scope(writer);
            scope.set(c.colour);
        }
        EXPECT_EQ(console.calls, (std::vector<std::string>{"query", c.applied, found})) << c.applied;
    }
}

// On a console that interprets escapes, what its word cannot show goes as escapes, with
// the colours the style leaves open as the console had them; colour codes still go as
// words, and leaving escapes resets them first.
TEST(ConsoleWriter, EscapesOnlyForWhatTheWordCannotShow) {
    memory_sink sink;
    const auto codec = io::make_utf8_codec();
    io::text_output output(sink, *codec, io::line_end::lf);
    testing_support::marking_console console(output);
    huecast::console_writer writer(console, &output, colour_depth::true_colour);
    {
        huecast::colour_scope scope(writer);
        scope.set(style("0c"));
        output.write("a");
        scope.set(style("bold #ff8800"));
        output.write("b");
        scope.set(style("bold #ff8800"));
        scope.set(style("italic"));
        output.write("c");
        scope.set(style("red"));
        output.write("d");
        scope.set(style("dim"));
    }
    output.flush();
    EXPECT_EQ(sink.bytes,
              "[0C]a\x1b[0;1;38;2;255;136;0;49mb\x1b[0;3;37;49mc\x1b[0m[04]d\x1b[0;2;37;49m\x1b[0m[/]");
}

}  // namespace
