// The standard input stream: lines of bytes in the process code page, each without its
// line feed. A CR directly before the LF goes with it; any other CR stays in the line.
// Byte 0x1A is what the source says it is (data, or on Windows the end of a file or pipe,
// or from a console a byte after which the rest of that read is dropped). A last line
// without a line feed is still a line.
#pragma once

#include <string>
#include <string_view>

#include "io/byte_stream.h"

namespace io {

class text_output;

class line_reader {
public:
    explicit line_reader(byte_source& source, std::size_t block_size = 128 * 1024);
    line_reader(const line_reader&) = delete;
    line_reader& operator=(const line_reader&) = delete;

    // Output to flush whenever reading is about to wait for more input, so that no
    // complete line is held back while the program waits.
    void tie(text_output* output) { tied_ = output; }

    // The next line's bytes, valid until the next call; false at the end of input.
    bool next(std::string_view& line);
    // Every complete line buffered now, as one run of bytes that ends in a line feed, or at
    // the end of input the last line, without one. Valid until the next call; false at the
    // end of input. Mixing this with next() is allowed: each byte is delivered once.
    bool next_lines(std::string_view& lines);
    // The whole input is about to be read through (see byte_source::prepare_for_bulk).
    void prepare_for_bulk() { source_.prepare_for_bulk(); }

    // `ok` while input lasts, `end` at its end, `failed` after a read error.
    transfer_status status() const { return status_; }
    std::string error_text() const { return source_.error_text(); }

private:
    bool fill();

    byte_source& source_;
    text_output* tied_ = nullptr;
    std::string buffer_;
    std::size_t begin_ = 0;    // first unconsumed byte
    std::size_t end_ = 0;      // one past the last valid byte
    std::size_t scanned_ = 0;  // bytes from begin_ already known to hold no LF
    std::size_t block_size_;
    bool input_over_ = false;
    transfer_status status_ = transfer_status::ok;
};

}  // namespace io
