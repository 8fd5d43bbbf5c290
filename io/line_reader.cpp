#include "io/line_reader.h"

#include <cstring>

#include "io/text_output.h"

namespace io {

namespace {
constexpr char end_of_file_byte = 0x1A;
}

line_reader::line_reader(byte_source& source, std::size_t block_size)
    : source_(source), block_size_(block_size) {
    // The buffer comes with the first read: a run that reads nothing (text mode, help)
    // pays nothing for it.
}

bool line_reader::next(std::string_view& line) {
    continues_ = false;
    for (;;) {
        const std::size_t from = begin_ + scanned_;
        const void* lf = std::memchr(buffer_.data() + from, '\n', end_ - from);
        if (lf != nullptr) {
            const auto at = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data());
            std::size_t stop = at;
            if (stop > begin_ && buffer_.data()[stop - 1] == '\r') --stop;
            line = std::string_view(buffer_.data() + begin_, stop - begin_);
            begin_ = at + 1;
            scanned_ = 0;
            return true;
        }
        scanned_ = end_ - begin_;
        if (take_partial(line)) return true;
        if (input_over_ || !fill()) {
            if (begin_ == end_) return false;
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            scanned_ = 0;
            return true;
        }
    }
}

bool line_reader::next_lines(std::string_view& lines) {
    continues_ = false;
    for (;;) {
        // Only the bytes read since the last look can hold a new line feed.
        const std::string_view fresh(buffer_.data() + begin_ + scanned_, end_ - begin_ - scanned_);
        const std::size_t lf = fresh.rfind('\n');
        if (lf != std::string_view::npos) {
            const std::size_t n = scanned_ + lf + 1;
            lines = std::string_view(buffer_.data() + begin_, n);
            begin_ += n;
            scanned_ = 0;
            return true;
        }
        scanned_ = end_ - begin_;
        if (take_partial(lines)) return true;
        if (input_over_ || !fill()) {
            if (begin_ == end_) return false;
            lines = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            scanned_ = 0;
            return true;
        }
    }
}

// The buffered part of a line, when input has paused and it may be shown. Every byte in the
// buffer is known to hold no line feed.
bool line_reader::take_partial(std::string_view& piece) {
    if (!patience_ || input_over_ || waited_ || begin_ == end_) return false;
    // What is written already shows while this waits.
    if (tied_ != nullptr) tied_->flush();
    if (source_.wait_for_input(*patience_)) return false;
    waited_ = true;
    std::string_view pending(buffer_.data() + begin_, end_ - begin_);
    if (pending.back() == '\r') pending.remove_suffix(1);
    const std::size_t shown = characters_->complete_prefix(pending);
    if (shown == 0) return false;
    piece = pending.substr(0, shown);
    begin_ += shown;
    scanned_ = end_ - begin_;
    continues_ = true;
    return true;
}

// Makes room after the unconsumed bytes and reads one block; false when input is over.
bool line_reader::fill() {
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buffer_.size() - end_ < block_size_ / 2) buffer_.resize(buffer_.size() + std::max(buffer_.size(), block_size_));
    if (tied_ != nullptr) tied_->flush();
    std::size_t got = 0;
    const transfer_status result = source_.read(buffer_.data() + end_, buffer_.size() - end_, got);
    waited_ = false;
    if (result != transfer_status::ok || got == 0) {
        input_over_ = true;
        status_ = result == transfer_status::failed ? transfer_status::failed : transfer_status::end;
        return false;
    }
    char* const fresh = buffer_.data() + end_;
    const control_z rule = source_.control_z_rule();
    if (const void* eof = rule == control_z::data ? nullptr : std::memchr(fresh, end_of_file_byte, got)) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(eof) - fresh);
        if (rule == control_z::ends_read) {
            got = at + 1;
        } else {
            got = at;
            input_over_ = true;
            status_ = transfer_status::end;
        }
    }
    end_ += got;
    return got > 0 || !input_over_;
}

}  // namespace io
