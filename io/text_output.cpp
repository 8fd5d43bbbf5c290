#include "io/text_output.h"

#include <cstring>

namespace io {

text_output::text_output(byte_sink& sink, const codec& text_codec, bool terminal)
    : sink_(sink), codec_(text_codec), terminal_(terminal) {
    buffer_.reserve(2 * flush_threshold);
}

void text_output::write(std::u16string_view text) {
    // A long text goes in pieces, each passed on before the next is encoded, so that the
    // buffer never holds more than about a block: a 50 MB line costs no 150 MB of bytes.
    while (text.size() > piece_units && good()) {
        std::size_t n = piece_units;
        // A surrogate pair stays in one piece, to be encoded as one character.
        if (text[n - 1] >= 0xD800 && text[n - 1] < 0xDC00) --n;
        write_piece(text.substr(0, n));
        text.remove_prefix(n);
    }
    write_piece(text);
}

void text_output::write_piece(std::u16string_view text) {
    if (!good()) return;
    if (terminal_ || text.find(u'\n') == std::u16string_view::npos) {
        codec_.encode(text, buffer_);
    } else {
        scratch_.clear();
        codec_.encode(text, scratch_);
        append_translated(scratch_);
    }
    flush_if_full();
}

void text_output::append_translated(std::string_view bytes) {
    while (!bytes.empty()) {
        const void* lf = std::memchr(bytes.data(), '\n', bytes.size());
        if (lf == nullptr) {
            buffer_.append(bytes);
            return;
        }
        const auto n = static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data());
        buffer_.append(bytes.data(), n);
        buffer_.append("\r\n", 2);
        bytes.remove_prefix(n + 1);
    }
}

void text_output::write_encoded(std::string_view bytes) {
    if (!good()) return;
    if (bytes.size() >= flush_threshold) {
        // A long line goes straight through rather than through a copy.
        if (!flush()) return;
        status_ = sink_.write(bytes.data(), bytes.size());
        return;
    }
    buffer_.append(bytes);
    flush_if_full();
}

void text_output::write_control(std::string_view bytes) {
    if (!good()) return;
    buffer_.append(bytes);
    flush_if_full();
}

void text_output::end_line() {
    if (!good()) return;
    if (terminal_) {
        buffer_.push_back('\n');
    } else {
        buffer_.append("\r\n", 2);
    }
    flush_if_full();
}

bool text_output::flush() {
    if (good() && !buffer_.empty()) status_ = sink_.write(buffer_.data(), buffer_.size());
    buffer_.clear();
    return good();
}

}  // namespace io
