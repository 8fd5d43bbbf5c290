// The standard output stream: UTF-8 text in, bytes of the process code page out, through
// one buffer that also carries the terminal's control sequences, so that colour changes and
// text stay in order. Every line feed, in the text and at a line's end, is written as the
// chosen line end (LF, or CR LF for files and pipes). Nothing is held back past `flush()`.
#pragma once

#include <string>
#include <string_view>

#include "io/byte_stream.h"
#include "io/codec.h"
#include "io/line_ends.h"

namespace io {

class text_output {
public:
    text_output(byte_sink& sink, const codec& text_codec, line_end ending);
    text_output(const text_output&) = delete;
    text_output& operator=(const text_output&) = delete;

    // Encodes `text` in the code page; an unrepresentable character becomes "?".
    void write(std::string_view text);
    // The same for text that holds no line feed (a piece of an input line's text).
    void write_piece(std::string_view text);
    // Bytes already in the code page that hold no line feed: a line copied as read.
    void write_bytes(std::string_view bytes);
    // Whole lines already in the code page, each with its line feed (the last may lack
    // one, and then gets no line end when `last_continues`), as line_reader::next_lines
    // gives them: the same bytes as write_bytes and end_line per line, without the cost
    // per line.
    void write_lines(std::string_view lines, bool last_continues = false);
    // Bytes for the terminal itself (escape sequences), passed on untranslated. A sequence
    // of up to a few hundred bytes always finds room in the buffer: only passing the buffer on
    // may need memory.
    void write_control(std::string_view bytes);
    // A line end.
    void end_line();
    // Passes every buffered byte on. False once the output has failed.
    bool flush();
    // Passes every buffered byte on and waits until all has gone out (see byte_sink::finish).
    bool finish();

    // False once a transfer failed or the reader went away; later writes are dropped.
    bool good() const { return status_ == transfer_status::ok; }
    transfer_status status() const { return status_; }
    std::string error_text() const { return sink_.error_text(); }
    const codec& text_codec() const { return codec_; }
    // The whole input is about to be written through (see byte_sink::prepare_for_bulk).
    void prepare_for_bulk() { sink_.prepare_for_bulk(); }

private:
    void encode_in_pieces(std::string_view text, bool may_hold_line_feeds);
    void encode_piece(std::string_view text, bool may_hold_line_feeds);
    void flush_if_full() {
        if (buffer_.size() >= flush_threshold) flush();
    }

    // Four times a pipe's usual capacity: fewer, larger writes made copying into a pipe
    // markedly cheaper, and larger blocks gained nothing more.
    static constexpr std::size_t flush_threshold = 256 * 1024;
    static constexpr std::size_t piece_bytes = 32 * 1024;

    byte_sink& sink_;
    const codec& codec_;
    const bool utf8_;
    const line_end line_end_;
    transfer_status status_ = transfer_status::ok;
    std::string buffer_;
    std::string scratch_;
};

}  // namespace io
