#include <gtest/gtest.h>

#include <string>

#include "io/text_output.h"
#include "memory_streams.h"

namespace {

using testing_support::memory_sink;

TEST(TextOutput, FilesAndPipesGetCrLfForEveryLineFeed) {
    memory_sink sink;
    const auto codec = io::make_utf8_codec();
    io::text_output out(sink, *codec, io::line_end::crlf);
    out.write("a\r\nb\nc");
    out.end_line();
    out.write_bytes("raw\r");
    out.end_line();
    EXPECT_EQ(sink.bytes, "");
    EXPECT_TRUE(out.flush());
    EXPECT_EQ(sink.bytes, "a\r\r\nb\r\nc\r\nraw\r\r\n");
}

TEST(TextOutput, ATerminalGetsLineFeedsAsTheyAre) {
    memory_sink sink;
    const auto codec = io::make_utf8_codec();
    io::text_output out(sink, *codec, io::line_end::lf);
    out.write("é\n");
    out.write_control("\x1b[0m");
    out.end_line();
    out.flush();
    EXPECT_EQ(sink.bytes, "\xC3\xA9\n\x1b[0m\n");
}

TEST(TextOutput, LargeOutputIsPassedOnInBlocksWithNothingLost) {
    memory_sink sink;
    const auto codec = io::make_byte_codec();
    io::text_output out(sink, *codec, io::line_end::crlf);
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        const std::string line = "line " + std::to_string(i);
        out.write_bytes(line);
        out.end_line();
        expected += line + "\r\n";
    }
    const std::string huge(300000, 'h');
    out.write_bytes(huge);
    expected += huge;
    out.flush();
    EXPECT_EQ(sink.bytes, expected);
    EXPECT_LT(sink.writes, 20);
}

// A long text is encoded piece by piece; the bytes must be those of the whole, with
// characters kept whole wherever the pieces meet, and the buffer must not hold it all at once.
TEST(TextOutput, ALongTextIsWrittenInPiecesWithNothingChanged) {
    const auto codec = io::make_byte_codec();
    // The first character straddles the first place where a piece could end.
    std::string text(32767, 'a');
    for (int i = 0; i < 400000; ++i) {
        text += (i % 7 == 0) ? "\xC3\xBF" : (i % 5 == 0) ? "\n" : (i % 3 == 0) ? "\xC3\xA9" : "ab";
    }
    for (const bool terminal : {false, true}) {
        memory_sink sink;
        io::text_output out(sink, *codec, terminal ? io::line_end::lf : io::line_end::crlf);
        out.write(text);
        out.flush();
        std::string expected;
        codec->encode(text, expected);
        if (!terminal) {
            std::string translated;
            for (const char b : expected) b == '\n' ? translated += "\r\n" : translated += b;
            expected = translated;
        }
        EXPECT_EQ(sink.bytes, expected) << "terminal " << terminal;
        EXPECT_GT(sink.writes, 2) << "passed on in blocks as it was encoded";
    }
}

TEST(TextOutput, AFailedTransferStopsAllLaterOutput) {
    for (const auto failure : {io::transfer_status::closed, io::transfer_status::failed}) {
        memory_sink sink;
        sink.fail_after = 0;
        sink.failure = failure;
        const auto codec = io::make_byte_codec();
        io::text_output out(sink, *codec, io::line_end::crlf);
        out.write("lost");
        EXPECT_TRUE(out.good()) << "nothing is passed on before a flush";
        EXPECT_FALSE(out.flush());
        EXPECT_EQ(out.status(), failure);
        const int writes = sink.writes;
        out.write("more");
        out.end_line();
        out.flush();
        EXPECT_EQ(sink.writes, writes);
    }
}

}  // namespace
