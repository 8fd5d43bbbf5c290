#include "io/text_output.h"

#include <cstring>

#include "io/utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace io {

text_output::text_output(byte_sink& sink, const codec& text_codec, line_end ending)
    : sink_(sink), codec_(text_codec), utf8_(text_codec.is_utf8()), line_end_(ending) {
    buffer_.reserve(2 * flush_threshold);
}

void text_output::write(std::string_view text) {
    if (utf8_ && (line_end_ == line_end::lf || text.find('\n') == std::string_view::npos)) {
        write_bytes(text);
        return;
    }
    encode_in_pieces(text, true);
}

void text_output::write_piece(std::string_view text) {
    if (utf8_) {
        write_bytes(text);
        return;
    }
    encode_in_pieces(text, false);
}

// A long text goes in pieces, each passed on before the next is encoded, so that the buffer
// never holds more than about a block: a 50 MB line costs no 150 MB of bytes.
void text_output::encode_in_pieces(std::string_view text, bool may_hold_line_feeds) {
    while (text.size() > piece_bytes && good()) {
        std::size_t n = piece_bytes;
        // A character stays in one piece, to be encoded whole.
        while (n > 0 && utf8::is_continuation(static_cast<unsigned char>(text[n]))) --n;
        if (n == 0) n = piece_bytes;
        encode_piece(text.substr(0, n), may_hold_line_feeds);
        text.remove_prefix(n);
    }
    encode_piece(text, may_hold_line_feeds);
}

void text_output::encode_piece(std::string_view text, bool may_hold_line_feeds) {
    if (!good()) return;
    if (line_end_ == line_end::lf || !may_hold_line_feeds || text.find('\n') == std::string_view::npos) {
        if (utf8_) {
            buffer_.append(text);
        } else {
            codec_.encode(text, buffer_);
        }
    } else {
        scratch_.clear();
        codec_.encode(text, scratch_);
        append_with_crlf(scratch_, buffer_);
    }
    flush_if_full();
}

void text_output::write_bytes(std::string_view bytes) {
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

namespace {

// The first line feed in [p, end), or end. Lines are short: a call to memchr for each
// costs more than the search.
const char* find_line_feed(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), lf));
        if (hits != 0) return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
#endif
    const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    return hit != nullptr ? static_cast<const char*>(hit) : end;
}

}  // namespace

void text_output::write_lines(std::string_view lines, bool last_continues) {
    const char* p = lines.data();
    const char* const end = p + lines.size();
    while (p < end && good()) {
        const char* const lf = find_line_feed(p, end);
        // The CR of a CR LF goes with the line end, as line_reader::next drops it.
        const char* const body_end = lf != end && lf > p && lf[-1] == '\r' ? lf - 1 : lf;
        const std::string_view body(p, static_cast<std::size_t>(body_end - p));
        if (body.size() >= flush_threshold) {
            write_bytes(body);
        } else {
            buffer_.append(body);
        }
        if (lf == end) {
            if (!last_continues) end_line();
            break;
        }
        end_line();
        p = lf + 1;
    }
}

void text_output::write_control(std::string_view bytes) {
    if (!good()) return;
    buffer_.append(bytes);
    flush_if_full();
}

void text_output::end_line() {
    if (!good()) return;
    if (line_end_ == line_end::lf) {
        buffer_.push_back('\n');
    } else {
        buffer_.append("\r\n", 2);
    }
    flush_if_full();
}

bool text_output::flush() {
    if (good() && !buffer_.empty()) status_ = sink_.write_block(buffer_);
    buffer_.clear();
    // The sink may have kept the buffer and handed back a smaller one: at rest the buffer never
    // holds more than flush_threshold, so this leaves room for any control sequence, which a
    // colour scope that ends as an exception goes by must be able to write without memory.
    if (buffer_.capacity() < 2 * flush_threshold) buffer_.reserve(2 * flush_threshold);
    return good();
}

bool text_output::finish() {
    if (flush()) status_ = sink_.finish();
    return good();
}

}  // namespace io
