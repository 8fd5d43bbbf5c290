// The standard input stream: lines of bytes in the process code page, each without its
// line feed. A CR directly before the LF goes with it; any other CR stays in the line.
// Byte 0x1A is what the source says it is (data, or on Windows the end of a file or pipe,
// or from a console a byte after which the rest of that read is dropped). A last line
// without a line feed is still a line. When asked to, a line whose rest is slow to come is
// delivered in pieces: what has come, when input pauses, then the rest.
#pragma once

#include <chrono>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "io/byte_stream.h"
#include "io/codec.h"

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

    // From now on, when a line has begun and no more input comes for `patience`, what has
    // come of it is delivered as a piece of its own (line_continues() then says so), so that a
    // prompt or a progress line shows while the program waits. Held back: a last CR, which may
    // be the start of a CR LF, and the bytes of a character that `characters` says more bytes
    // would complete.
    void deliver_partial_lines_after(std::chrono::milliseconds patience, const codec& characters) {
        patience_ = patience;
        characters_ = &characters;
    }
    // True when what next() or next_lines() delivered last ends in a piece of a line whose
    // rest is still to come, and so has no line end of its own.
    bool line_continues() const { return continues_; }

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
    bool take_partial(std::string_view& piece);

    byte_source& source_;
    text_output* tied_ = nullptr;
    // Bytes that grow in place where the system allows it (realloc moves a large block's
    // pages rather than copying them and touching fresh ones) and are never zeroed first:
    // a line of tens of megabytes costs no more per byte than short lines do.
    class byte_buffer {
    public:
        byte_buffer() = default;
        ~byte_buffer() { std::free(data_); }
        byte_buffer(const byte_buffer&) = delete;
        byte_buffer& operator=(const byte_buffer&) = delete;
        // Never null, so that a search of no bytes is a search of an empty range.
        char* data() { return data_ != nullptr ? data_ : nothing_; }
        std::size_t size() const { return size_; }
        // Keeps the bytes there are; throws std::bad_alloc where there is no room.
        void resize(std::size_t size) {
            void* grown = std::realloc(data_, size);
            if (grown == nullptr) throw std::bad_alloc();
            data_ = static_cast<char*>(grown);
            size_ = size;
        }

    private:
        static inline char nothing_[1] = {};
        char* data_ = nullptr;
        std::size_t size_ = 0;
    };

    byte_buffer buffer_;
    std::size_t begin_ = 0;    // first unconsumed byte
    std::size_t end_ = 0;      // one past the last valid byte
    std::size_t scanned_ = 0;  // bytes from begin_ already known to hold no LF
    std::size_t block_size_;
    bool input_over_ = false;
    transfer_status status_ = transfer_status::ok;
    std::optional<std::chrono::milliseconds> patience_;
    const codec* characters_ = nullptr;
    bool continues_ = false;
    bool waited_ = false;  // input paused since the last read: the next wait is a read
};

}  // namespace io
