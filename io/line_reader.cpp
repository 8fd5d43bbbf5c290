#include "io/line_reader.h"

#include <algorithm>
#include <cstring>

namespace io {

namespace {
constexpr char end_of_file_byte = 0x1A;
}

line_reader::line_reader(byte_source& source, std::size_t block_size)
    : source_(source), block_size_(block_size) {
    // The buffer comes with the first read: a run that reads nothing (text mode, help)
    // pays nothing for it.
}

// Hands on the next `size` bytes.
void line_reader::take(std::string_view& bytes, std::size_t size) {
    bytes = std::string_view(buffer_.data() + begin_, size);
    begin_ += size;
    scanned_ = 0;
    // What is left came with the last read at the earliest, and input has not been seen to
    // pause since.
    pending_since_ = last_read_at_;
    paused_since_pending_ = false;
}

// A whole line from the buffer, when it holds one.
bool line_reader::take_line(std::string_view& line) {
    const std::size_t from = begin_ + scanned_;
    const void* lf = std::memchr(buffer_.data() + from, '\n', end_ - from);
    if (lf == nullptr) {
        scanned_ = end_ - begin_;
        return false;
    }
    const auto at = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data());
    const std::size_t start = begin_;
    const std::size_t stop = at > start && buffer_.data()[at - 1] == '\r' ? at - 1 : at;
    take(line, at + 1 - start);
    line = std::string_view(buffer_.data() + start, stop - start);
    return true;
}

bool line_reader::next(std::string_view& line) {
    continues_ = paused_ = false;
    for (;;) {
        if (take_line(line)) return true;
        if (!input_over_ && take_piece(line)) return true;
        if (input_over_ || !fill()) {
            if (begin_ == end_) return false;
            take(line, end_ - begin_);
            continues_ = last_unended_;
            return true;
        }
    }
}

bool line_reader::next_lines(std::string_view& lines) {
    continues_ = paused_ = false;
    for (;;) {
        // Only the bytes read since the last look can hold a new line feed.
        const std::string_view fresh(buffer_.data() + begin_ + scanned_, end_ - begin_ - scanned_);
        const std::size_t lf = fresh.rfind('\n');
        if (lf != std::string_view::npos) {
            take(lines, scanned_ + lf + 1);
            return true;
        }
        scanned_ = end_ - begin_;
        if (!input_over_ && take_piece(lines)) return true;
        if (input_over_ || !fill()) {
            if (begin_ == end_) return false;
            take(lines, end_ - begin_);
            continues_ = last_unended_;
            return true;
        }
    }
}

bool line_reader::read_ready() {
    if (input_over_ || !source_.wait_for_input(std::chrono::milliseconds{0})) return false;
    fill();
    return true;
}

bool line_reader::next_ready(std::string_view& line) {
    continues_ = paused_ = false;
    due_.reset();
    if (take_line(line)) return true;
    if (!input_over_) return take_piece(line, false);
    if (begin_ == end_) return false;
    take(line, end_ - begin_);
    continues_ = last_unended_;
    return true;
}

// What of `pending`, bytes without a line feed, may go out before the line ends: not a last
// CR, which may be the start of a CR LF, nor the bytes of a character that is not complete.
std::size_t line_reader::showable(std::string_view pending) const {
    if (!pending.empty() && pending.back() == '\r') pending.remove_suffix(1);
    return characters_->complete_prefix(pending);
}

// The buffered part of a line, when the policy lets it go before the line ends. Every byte
// in the buffer is known to hold no line feed. Without `may_wait`, a piece that is not due
// yet leaves its time in due_.
bool line_reader::take_piece(std::string_view& piece, bool may_wait) {
    if (!policy_ || begin_ == end_) return false;
    const std::string_view pending(buffer_.data() + begin_, end_ - begin_);
    if (pending.size() < policy_->longest) {
        if (!policy_->idle) return false;
        // What has come already is read first: only a line that input has paused in is shown.
        // Once it has, it is shown when it has waited long enough, even if more has come by
        // now (bursts that come faster than this looks, or a program kept from running).
        const bool more_now = source_.wait_for_input(std::chrono::milliseconds{0});
        if (!more_now) paused_since_pending_ = true;
        if (!paused_since_pending_) return false;
        const auto waited = clock::now() - pending_since_;
        if (more_now && waited < *policy_->idle && !policy_->at_carriage_return) return false;
        // What is written already shows while this waits.
        if (before_waiting_) before_waiting_();
        const std::size_t last_cr = policy_->at_carriage_return && pending.size() > 1
                                        ? pending.substr(0, pending.size() - 1).rfind('\r')
                                        : std::string_view::npos;
        if (last_cr != std::string_view::npos) {
            take(piece, last_cr + 1);
            pending_since_ = clock::now();
            continues_ = paused_ = true;
            return true;
        }
        if (waited < *policy_->idle) {
            if (!may_wait) {
                due_ = pending_since_ + *policy_->idle;
                return false;
            }
            if (more_now) return false;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*policy_->idle - waited);
            if (source_.wait_for_input(left)) return false;
        }
    }
    const std::size_t shown = showable(pending);
    if (shown == 0) return false;
    paused_ = pending.size() < policy_->longest;
    take(piece, shown);
    pending_since_ = clock::now();
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
    if (before_waiting_ && !source_.never_waits()) before_waiting_();
    const bool nothing_pending = end_ == 0;
    started_ = true;
    std::size_t got = 0;
    const transfer_status result = source_.read(buffer_.data() + end_, buffer_.size() - end_, got);
    if (policy_ && policy_->idle) {
        last_read_at_ = clock::now();
        if (nothing_pending) pending_since_ = last_read_at_;
    }
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
