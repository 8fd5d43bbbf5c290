// The line loop that every mode shares: standard input handed on line by line, each line
// as the bytes it was read as and as UTF-8 text (the same bytes in a UTF-8 code page;
// decoded from any other only when asked for), until input ends or the output has failed.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "io/byte_stream.h"
#include "io/codec.h"
#include "io/line_reader.h"
#include "io/text_output.h"

namespace io {

// One line, without its line end; valid until the loop moves on.
class input_line {
public:
    std::string_view bytes() const { return bytes_; }
    // True for a piece of a line that input paused in: its rest comes as the next line,
    // and it has no line end of its own.
    bool continues() const { return continues_; }
    // True for such a piece when input paused in the line (see line_reader::input_paused).
    bool input_paused() const { return paused_; }
    // The line's text, decoded on the first call where the code page is not UTF-8.
    std::string_view text() const;
    // True when writing the text with `output` gives exactly bytes(): the same codec, since
    // every codec round-trips. Then the line can be copied without decoding it.
    bool copies_as_bytes(const codec& output) const { return &output == codec_; }

private:
    friend class input_lines;

    std::string_view bytes_;
    bool continues_ = false;
    bool paused_ = false;
    const codec* codec_ = nullptr;
    std::string* buffer_ = nullptr;  // where the text is decoded into
    mutable std::string_view text_;
    mutable bool decoded_ = false;
};

class input_lines {
public:
    input_lines(line_reader& reader, const codec& input_codec);
    input_lines(const input_lines&) = delete;
    input_lines& operator=(const input_lines&) = delete;

    // From now on, pieces of lines are handed on as `policy` says (input_line::continues).
    void hand_on_pieces(const piece_policy& policy) { reader_.hand_on_pieces(policy, codec_); }

    // Calls `each(const input_line&)` for every line, until input ends or `output` has failed.
    // The whole input streams through to `output`: both ends hear that it comes in bulk.
    template <class Each>
    void for_each(text_output& output, Each each) {
        prepare_for_bulk(output);
        input_line line;
        while (output.good() && next(line)) each(static_cast<const input_line&>(line));
    }

    // Writes every line still to come to `output`, each with its line end, until input ends
    // or `output` has failed: whole runs of lines at once where the code page allows it,
    // otherwise line by line through the codec. What has come of a line shows at once when
    // input pauses in it, and a long line goes through in pieces, in bounded memory.
    void copy_to(text_output& output);

    // For lines read together with another source's (see line_reader::read_ready): one
    // block read when the source has input now, and the next line of what has been read,
    // never waiting.
    bool read_ready() { return reader_.read_ready(); }
    bool next_ready(input_line& line);
    std::optional<std::chrono::steady_clock::time_point> piece_due() const { return reader_.piece_due(); }
    // True once every line has been handed on.
    bool exhausted() const { return reader_.exhausted(); }

    // `ok` while input lasts, `end` at its end, `failed` after a read error.
    transfer_status status() const { return reader_.status(); }
    std::string error_text() const { return reader_.error_text(); }
    // True once input has been read from.
    bool started() const { return reader_.started(); }

    // How much of a line is held at most while it is copied.
    static constexpr std::size_t copy_block = 256 * 1024;

private:
    bool next(input_line& line);
    void fill_in(input_line& line);
    void prepare_for_bulk(text_output& output) {
        reader_.prepare_for_bulk();
        output.prepare_for_bulk();
    }

    line_reader& reader_;
    const codec& codec_;
    std::string text_;
};

}  // namespace io
