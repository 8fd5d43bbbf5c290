#include "io/input_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "io/utf8.h"
#include "memory_streams.h"

namespace {

using testing_support::memory_sink;
using testing_support::memory_source;

// What the loop hands on, and what writing each line and its pieces gives, with the input
// decoded by `in` and written by `out`.
struct looped {
    std::vector<std::string> texts;
    std::string whole;   // each line written whole
    std::string pieces;  // each line written one character (or stray byte) at a time
};

// How a printer writes a whole line: its bytes where the codecs agree, else its text.
void write_whole(io::text_output& out, const io::input_line& line) {
    if (line.copies_as_bytes(out.text_codec())) {
        out.write_bytes(line.bytes());
    } else {
        out.write_piece(line.text());
    }
}

looped loop(const std::string& input, const io::codec& in, const io::codec& out) {
    memory_source source(input, 3);
    memory_sink whole_sink, piece_sink;
    io::text_output whole(whole_sink, out, io::line_end::lf), pieces(piece_sink, out, io::line_end::lf);
    io::line_reader reader(source);
    io::input_lines lines(reader, in);
    looped result;
    lines.for_each(whole, [&](const io::input_line& line) {
        write_whole(whole, line);
        whole.end_line();
        const std::string_view text = line.text();
        for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
            n = std::max<std::size_t>(io::utf8::sequence_length(text, i), 1);
            pieces.write_piece(text.substr(i, n));
        }
        pieces.end_line();
        result.texts.emplace_back(line.text());
    });
    whole.flush();
    pieces.flush();
    result.whole = whole_sink.bytes;
    result.pieces = piece_sink.bytes;
    EXPECT_EQ(lines.status(), io::transfer_status::end);
    return result;
}

TEST(InputLines, DecodeWithTheInputsCodecAndWriteWithTheOutputs) {
    const auto utf8 = io::make_utf8_codec();
    const auto bytes = io::make_byte_codec();
    const std::string input = "caf\xC3\xA9\n\xFF" "a\r\n\n";
    // The same lossless codec both ways: every byte comes back, whole or piece by piece.
    const looped same = loop(input, *utf8, *utf8);
    EXPECT_EQ(same.texts, (std::vector<std::string>{"café", "\xFF" "a", ""}));
    EXPECT_EQ(same.whole, "caf\xC3\xA9\n\xFF" "a\n\n");
    EXPECT_EQ(same.pieces, same.whole);
    // Another codec for the output: the text is encoded, never the input's bytes copied.
    const looped other = loop(input, *utf8, *bytes);
    EXPECT_EQ(other.whole, "caf\xE9\n\xFF" "a\n\n");
    EXPECT_EQ(other.pieces, other.whole);
    // A legacy code page in: its text is UTF-8, and its bytes come back.
    const looped legacy = loop("caf\xE9\n", *bytes, *bytes);
    EXPECT_EQ(legacy.texts, (std::vector<std::string>{"café"}));
    EXPECT_EQ(legacy.pieces, "caf\xE9\n");
}

// Copying every line: in runs of bytes for the same codec both ways, line by line through
// the codecs otherwise; the output is the same, both ends hear that a bulk copy is coming,
// and a failed output ends it.
TEST(InputLines, CopyingEveryLine) {
    const std::string input = "one\r\ntwo\nx\xFFy\nlast";
    const std::string expected = "one\r\ntwo\r\nx\xFFy\r\nlast\r\n";
    const auto utf8 = io::make_utf8_codec();
    const auto other_utf8 = io::make_utf8_codec();
    for (const io::codec* out_codec : {utf8.get(), other_utf8.get()}) {
        memory_source source(input, 4);
        memory_sink sink;
        io::text_output out(sink, *out_codec, io::line_end::crlf);
        io::line_reader reader(source);
        io::input_lines lines(reader, *utf8);
        lines.copy_to(out);
        out.flush();
        EXPECT_EQ(sink.bytes, expected) << "same codec " << (out_codec == utf8.get());
        EXPECT_EQ(source.bulk, 1);
        EXPECT_EQ(sink.bulk, 1);
    }

    memory_source endless(std::string(1 << 20, '\n'), 4096);
    memory_sink closed;
    closed.fail_after = 0;
    closed.failure = io::transfer_status::closed;
    io::text_output out(closed, *utf8, io::line_end::crlf);
    io::line_reader reader(endless);
    reader.before_waiting([&out] { out.flush(); });
    io::input_lines lines(reader, *utf8);
    lines.copy_to(out);
    EXPECT_EQ(out.status(), io::transfer_status::closed);
    EXPECT_LT(endless.reads, 10) << "reading went on after the reader had gone";
}

}  // namespace
