// The standard output stream: text in, bytes of the process code page out, through one
// buffer that also carries the terminal's control sequences, so that colour changes and
// text stay in order. On a terminal a line feed is written as LF; to files and pipes every
// LF becomes CR LF. Nothing is held back past `flush()`.
#pragma once

#include <string>
#include <string_view>

#include "io/byte_stream.h"
#include "io/codec.h"

namespace io {

class text_output {
public:
    text_output(byte_sink& sink, const codec& text_codec, bool terminal);
    text_output(const text_output&) = delete;
    text_output& operator=(const text_output&) = delete;

    // Encodes `text` in the code page; an unrepresentable character becomes "?".
    void write(std::u16string_view text);
    // Bytes already in the code page that hold no line feed: a line copied as read.
    void write_encoded(std::string_view bytes);
    // Whole lines already in the code page, each with its line feed (the last may lack
    // one), as line_reader::next_lines gives them: the same bytes as write_encoded and
    // end_line per line, without the cost per line.
    void write_lines(std::string_view lines);
    // Bytes for the terminal itself (escape sequences), passed on untranslated.
    void write_control(std::string_view bytes);
    // A line feed (CR LF to files and pipes).
    void end_line();
    // Passes every buffered byte on. False once the output has failed.
    bool flush();

    // False once a transfer failed or the reader went away; later writes are dropped.
    bool good() const { return status_ == transfer_status::ok; }
    transfer_status status() const { return status_; }
    std::string error_text() const { return sink_.error_text(); }
    bool terminal() const { return terminal_; }
    const codec& text_codec() const { return codec_; }

private:
    void write_piece(std::u16string_view text);
    void append_translated(std::string_view bytes);
    void flush_if_full() {
        if (buffer_.size() >= flush_threshold) flush();
    }

    // Four times a pipe's capacity: copying into a pipe took 1.85 x cat's time with 64 KiB
    // blocks and 1.6 x with these; larger ones gained nothing more.
    static constexpr std::size_t flush_threshold = 256 * 1024;
    static constexpr std::size_t piece_units = 16 * 1024;

    byte_sink& sink_;
    const codec& codec_;
    const bool terminal_;
    transfer_status status_ = transfer_status::ok;
    std::string buffer_;
    std::string scratch_;
};

}  // namespace io
