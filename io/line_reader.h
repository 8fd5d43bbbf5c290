// The standard input stream: lines of bytes in the process code page, each without its
// line feed. A CR directly before the LF goes with it; any other CR stays in the line.
// Byte 0x1A is what the source says it is (data, or on Windows the end of a file or pipe,
// or from a console a byte after which the rest of that read is dropped). A last line
// without a line feed is still a line. What a piece_policy allows is handed on before its
// line ends: what has come of a line when input pauses in it, and a very long line in
// pieces, so that memory never grows with a line.
#pragma once

#include <chrono>
#include <cstdlib>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "io/byte_stream.h"
#include "io/codec.h"

namespace io {

// When the reader hands on a piece of a line whose end has not come: the one timing rule
// of every mode. A piece never ends in a CR that may be the start of a CR LF, nor inside a
// character (as the codec tells); it may end anywhere else.
struct piece_policy {
    // Once input has paused and what has come of the line has waited this long, it is handed
    // on, even while more input keeps arriving, however soon; none: never for time.
    std::optional<std::chrono::milliseconds> idle;
    // Once input has paused, the line up to its last carriage return is handed on at once,
    // even while more keeps arriving: a terminal shows it (a progress line redrawn in place).
    bool at_carriage_return = false;
    // What has come of a line is handed on once it is this long, whatever the timing.
    std::size_t longest = static_cast<std::size_t>(-1);

    // Copying: whatever has come, as soon as input pauses, and never more than `block` held.
    static piece_policy copying(std::size_t block) { return {std::chrono::milliseconds{0}, false, block}; }
};

class line_reader {
public:
    explicit line_reader(byte_source& source, std::size_t block_size = 128 * 1024);
    line_reader(const line_reader&) = delete;
    line_reader& operator=(const line_reader&) = delete;

    // Called whenever reading is about to wait for input, so that no complete line written
    // is held back while the program waits (the output's flush).
    void before_waiting(std::function<void()> flush) { before_waiting_ = std::move(flush); }

    // From now on, pieces of lines are handed on as `policy` says; `characters` tells where
    // a character ends.
    void hand_on_pieces(const piece_policy& policy, const codec& characters) {
        policy_ = policy;
        characters_ = &characters;
    }
    // From now on a last line without a line feed is handed on as a piece (line_continues),
    // so that it keeps having no line end, as it came.
    void leave_last_line_unended() { last_unended_ = true; }
    // True when what next() or next_lines() delivered last ends in a piece of a line whose
    // rest is still to come, and so has no line end of its own.
    bool line_continues() const { return continues_; }
    // True when that piece was handed on because input paused: what shows of it may show for
    // a while (a prompt). False for a piece of a long line whose rest is already coming.
    bool input_paused() const { return paused_; }

    // The next line's bytes, valid until the next call; false at the end of input.
    bool next(std::string_view& line);
    // Every complete line buffered now, as one run of bytes that ends in a line feed, or at
    // the end of input the last line, without one. Valid until the next call; false at the
    // end of input. Mixing this with next() is allowed: each byte is delivered once.
    bool next_lines(std::string_view& lines);
    // The whole input is about to be read through (see byte_source::prepare_for_bulk).
    void prepare_for_bulk() { source_.prepare_for_bulk(); }

    // For a source read together with others, where a wait on one would hold up the rest:
    // read_ready() reads one block when the source has input now (false when a read would
    // wait, or input is over), and next_ready() hands on what has been read as next() would,
    // but never reads nor waits. When next_ready() finds nothing, piece_due() says when what
    // has come of a line is due to be handed on, if it waits for time rather than for input.
    bool read_ready();
    bool next_ready(std::string_view& line);
    std::optional<std::chrono::steady_clock::time_point> piece_due() const { return due_; }
    // True once input is over and every byte of it has been handed on.
    bool exhausted() const { return input_over_ && begin_ == end_; }

    // `ok` while input lasts, `end` at its end, `failed` after a read error.
    transfer_status status() const { return status_; }
    // True once a read of the source was begun.
    bool started() const { return started_; }
    std::string error_text() const { return source_.error_text(); }

private:
    using clock = std::chrono::steady_clock;

    bool fill();
    bool take_line(std::string_view& line);
    bool take_piece(std::string_view& piece, bool may_wait = true);
    std::size_t showable(std::string_view pending) const;
    void take(std::string_view& bytes, std::size_t size);

    byte_source& source_;
    std::function<void()> before_waiting_;
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
        // Keeps the bytes there are; where there is no room, throws std::bad_alloc after the
        // new handler had its say, as operator new does.
        void resize(std::size_t size) {
            void* grown = std::realloc(data_, size);
            while (grown == nullptr) {
                const std::new_handler handler = std::get_new_handler();
                if (handler == nullptr) throw std::bad_alloc();
                handler();
                grown = std::realloc(data_, size);
            }
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
    bool started_ = false;
    transfer_status status_ = transfer_status::ok;
    std::optional<piece_policy> policy_;
    const codec* characters_ = nullptr;
    bool continues_ = false;
    bool paused_ = false;
    bool last_unended_ = false;
    // When the oldest byte not handed on arrived, as near as reads tell (never earlier), and
    // whether input has been seen to pause since.
    clock::time_point pending_since_{};
    bool paused_since_pending_ = false;
    clock::time_point last_read_at_{};
    std::optional<clock::time_point> due_;  // see piece_due()
};

}  // namespace io
