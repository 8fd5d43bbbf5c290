#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "io/line_reader.h"
#include "io/text_output.h"
#include "memory_streams.h"

namespace {

using testing_support::memory_sink;
using testing_support::memory_source;

std::vector<std::string> lines_of(const std::string& input, std::size_t chunk,
                                  io::control_z rule = io::control_z::ends_input, std::size_t block = 128 * 1024) {
    memory_source source(input, chunk, rule);
    io::line_reader reader(source, block);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) lines.emplace_back(line);
    EXPECT_FALSE(reader.next(line)) << "the end of input persists";
    return lines;
}

using lines = std::vector<std::string>;

TEST(LineReader, LineEndsAndLastLineWithoutLineFeed) {
    EXPECT_EQ(lines_of("", 7), lines{});
    EXPECT_EQ(lines_of("\n", 7), lines{""});
    EXPECT_EQ(lines_of("abc\n", 7), lines{"abc"});
    EXPECT_EQ(lines_of("a\r\nb", 7), (lines{"a", "b"}));
    EXPECT_EQ(lines_of("a\r\r\nb\rc\n\r", 7), (lines{"a\r", "b\rc", "\r"}));
    EXPECT_EQ(lines_of(std::string("n\0l\n", 4), 7), lines{std::string("n\0l", 3)});
}

TEST(LineReader, TheSameLinesWhateverTheReadSizes) {
    const std::string input = "first\r\nsecond\r\r\nthird\n\r\nlast\r";
    const lines expected{"first", "second\r", "third", "", "last\r"};
    for (std::size_t chunk = 1; chunk <= input.size(); ++chunk) {
        for (std::size_t block : {std::size_t{2}, std::size_t{3}, std::size_t{16}, std::size_t{4096}}) {
            EXPECT_EQ(lines_of(input, chunk, io::control_z::ends_input, block), expected) << "chunk " << chunk << " block " << block;
        }
    }
}

TEST(LineReader, ControlZEndsWindowsFileAndPipeInputAndIsDataElsewhere) {
    for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{100}}) {
        EXPECT_EQ(lines_of("one\ntw\x1Ao\nthree\n", chunk), (lines{"one", "tw"})) << chunk;
        EXPECT_EQ(lines_of("one\r\x1A\n", chunk), lines{"one\r"}) << chunk;
        EXPECT_EQ(lines_of("\x1A" "after", chunk), lines{}) << chunk;
        EXPECT_EQ(lines_of("one\ntw\x1Ao\n\x1A", chunk, io::control_z::data), (lines{"one", "tw\x1Ao", "\x1A"})) << chunk;
    }
}

TEST(LineReader, ControlZFromAConsoleIsAByteAndDropsTheRestOfThatRead) {
    // Each chunk is one read from the console.
    memory_source source("ab\x1A" "cd\nef\n", 6, io::control_z::ends_read);
    io::line_reader reader(source);
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "ab\x1A" "ef");
    EXPECT_FALSE(reader.next(line));
}

TEST(LineReader, ALineLongerThanTheBufferArrivesWhole) {
    const std::string long_line(1'000'003, 'x');
    EXPECT_EQ(lines_of(long_line + "\r\nshort\n", 4096, io::control_z::ends_input, 64), (lines{long_line, "short"}));
}

TEST(LineReader, FlushesTiedOutputBeforeWaitingForInput) {
    memory_source source("one\ntwo\n", 4);
    memory_sink sink;
    const auto codec = io::make_byte_codec();
    io::text_output output(sink, *codec, io::line_end::crlf);
    io::line_reader reader(source);
    reader.before_waiting([&output] { output.flush(); });
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    output.write_bytes(line);
    output.end_line();
    EXPECT_EQ(sink.bytes, "");
    // "two" is not complete in the buffer, so the reader must read again: "one" goes out first.
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(sink.bytes, "one\r\n");
}

// Bursts of a line, one a read, `gap` apart; input is seen to pause once, after the first, and
// is there whenever asked after that: the bursts come faster than the reader looks.
class bursts final : public io::byte_source {
public:
    bursts(std::vector<std::string> pieces, std::chrono::milliseconds gap) : pieces_(std::move(pieces)), gap_(gap) {}
    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
        got = 0;
        if (reads == pieces_.size()) return io::transfer_status::end;
        if (reads > 0) std::this_thread::sleep_for(gap_);
        got = pieces_[reads++].copy(buffer, capacity);
        return io::transfer_status::ok;
    }
    bool wait_for_input(std::chrono::milliseconds) override { return reads != 1 || std::exchange(paused_, true); }
    io::control_z control_z_rule() const override { return io::control_z::data; }
    std::string error_text() const override { return "no error"; }
    std::size_t reads = 0;

private:
    std::vector<std::string> pieces_;
    std::chrono::milliseconds gap_;
    bool paused_ = false;
};

TEST(LineReader, WhatWaitedIsHandedOnWhileMoreKeepsComing) {
    const auto codec = io::make_utf8_codec();
    // What the first piece begins (and is, for a redraw), handed on before the line ends, by the read given.
    const struct {
        std::vector<std::string> pieces;
        std::string first;
        std::size_t by;
    } rows[] = {
        {{"error 1%\r", "error 2%\r", "error 3%\r", "error 4%\r", "done\n"}, "error 1%\r", 2},  // at once
        {{"a", ".", ".", ".", ".", ".", ".", "\n"}, "a...", 4},  // once it waited 50 ms
    };
    for (const auto& row : rows) {
        bursts source(row.pieces, std::chrono::milliseconds{20});
        io::line_reader reader(source);
        reader.hand_on_pieces({std::chrono::milliseconds{50}, true, std::size_t{16} << 20}, *codec);
        std::string_view piece;
        ASSERT_TRUE(reader.next(piece)) << row.first;
        EXPECT_TRUE(reader.line_continues()) << piece;
        const bool whole = row.first.ends_with('\r');
        EXPECT_TRUE(whole ? piece == row.first : !piece.empty() && row.first.starts_with(piece)) << piece;
        EXPECT_LE(source.reads, row.by) << row.first;
    }
}

}  // namespace

namespace {

// What a mode writes for `input` when it copies lines unchanged: line by line (next,
// write_encoded, end_line) or in runs (next_lines, write_lines).
std::string copied(const std::string& input, bool in_runs, bool terminal, std::size_t chunk, io::control_z rule) {
    memory_source source(input, chunk, rule);
    memory_sink sink;
    const auto codec = io::make_utf8_codec();
    io::text_output out(sink, *codec, terminal ? io::line_end::lf : io::line_end::crlf);
    io::line_reader reader(source, 64);
    std::string_view piece;
    if (in_runs) {
        while (reader.next_lines(piece)) out.write_lines(piece);
    } else {
        while (reader.next(piece)) {
            out.write_bytes(piece);
            out.end_line();
        }
    }
    out.flush();
    return sink.bytes;
}

TEST(LineReader, CopyingInRunsGivesTheBytesOfCopyingLineByLine) {
    // CR LF, CR CR LF, lone CRs, a CR at the very end, empty lines, NULs, ^Z, lines far
    // longer than the reader's block and than the writer's, and no final line feed.
    std::string soup;
    unsigned state = 7;
    const std::string pieces[] = {"\n", "\r\n", "\r", "\r\r\n", "ab", "\xD0\x96", std::string(1, '\0'),
                                  "0123456789abcdef0123456789", "\x1A"};
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        soup += pieces[(state >> 16) % 9];
    }
    const std::string long_line(600 * 1024, 'x');
    const std::string inputs[] = {"", "\n", "a", "a\r", "a\r\n\r\nb\n\n", soup, "x\n" + long_line + "\r\ny", long_line};
    for (const std::string& input : inputs) {
        for (const bool terminal : {false, true}) {
            for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{100000}}) {
                if (chunk == 1 && input.size() > 100000) continue;
                for (const io::control_z rule : {io::control_z::data, io::control_z::ends_input, io::control_z::ends_read}) {
                    ASSERT_EQ(copied(input, true, terminal, chunk, rule), copied(input, false, terminal, chunk, rule))
                        << "input of " << input.size() << " bytes, terminal " << terminal << ", reads of " << chunk
                        << ", Ctrl-Z rule " << static_cast<int>(rule);
                }
            }
        }
    }
}

}  // namespace

namespace {

// A source read together with another: what has arrived, and a read never while nothing has.
class arriving_source final : public io::byte_source {
public:
    io::transfer_status read(char* buffer, std::size_t capacity, std::size_t& got) override {
        EXPECT_TRUE(wait_for_input(std::chrono::milliseconds{0})) << "a read that would wait";
        got = arrived.copy(buffer, capacity);
        arrived.erase(0, got);
        return got > 0 ? io::transfer_status::ok : io::transfer_status::end;
    }
    io::control_z control_z_rule() const override { return io::control_z::data; }
    bool wait_for_input(std::chrono::milliseconds) override { return !arrived.empty() || ended; }
    std::string error_text() const override { return "no error"; }
    std::string arrived;
    bool ended = false;
};

// What a reader that never waits hands on as the chunks of `rounds` arrive, one a round,
// then the end of input: each line, "+" after a piece that has no line end, "," after the
// others; "~" where a piece waits to be due by time, and "|" after each round.
std::string handed_on(const std::vector<std::string>& rounds, std::optional<io::piece_policy> policy) {
    arriving_source source;
    io::line_reader reader(source);
    const auto codec = io::make_utf8_codec();
    if (policy) reader.hand_on_pieces(*policy, *codec);
    reader.leave_last_line_unended();
    std::string seen;
    const auto round = [&] {
        reader.read_ready();
        std::string_view line;
        while (reader.next_ready(line)) seen.append(line).append(reader.line_continues() ? "+" : ",");
        seen += reader.piece_due() ? "~|" : "|";
    };
    for (const std::string& chunk : rounds) {
        source.arrived += chunk;
        round();
    }
    source.ended = true;
    round();
    EXPECT_TRUE(reader.exhausted());
    EXPECT_FALSE(reader.read_ready()) << "input is over";
    return seen;
}

TEST(LineReaderNeverWaiting, HandsOnWhatHasArrivedAndNothingMore) {
    const io::piece_policy at_once = io::piece_policy::copying(1 << 20);
    const io::piece_policy after_an_hour = {std::chrono::hours{1}, true, std::size_t{1} << 20};
    const struct {
        std::vector<std::string> rounds;
        std::optional<io::piece_policy> policy;
        std::string expected;
    } cases[] = {
        {{"one\ntw", "o\r\nthree"}, std::nullopt, "one,|two,|three+|"},
        // A piece of a line once input pauses in it, the rest as a line of its own.
        {{"Password: ", "x\n"}, at_once, "Password: +|x,||"},
        {{"Password: ", "x\n"}, after_an_hour, "~|Password: x,||"},
        // A CR at the end may begin a CR LF: it waits for what follows it, never for time (a
        // loop that waited for its time would not wait at all).
        {{"50%\r", "\n"}, at_once, "50%+|,||"},
        // A redraw in place goes as soon as input pauses; the rest waits for its time.
        {{"10%\r20%\r30"}, after_an_hour, "10%\r20%\r+~|30+|"},
    };
    for (const auto& c : cases) EXPECT_EQ(handed_on(c.rounds, c.policy), c.expected) << c.expected;
}

}  // namespace
