#include "io/input_lines.h"

namespace io {

std::string_view input_line::text() const {
    if (!decoded_) {
        if (codec_->is_utf8()) {
            text_ = bytes_;
        } else {
            buffer_->clear();
            codec_->decode(bytes_, *buffer_);
            text_ = *buffer_;
        }
        decoded_ = true;
    }
    return text_;
}

input_lines::input_lines(line_reader& reader, const codec& input_codec) : reader_(reader), codec_(input_codec) {}

bool input_lines::next(input_line& line) {
    if (out_of_memory_ || !reader_.next(line.bytes_)) return false;
    fill_in(line);
    return true;
}

bool input_lines::read_ready() {
    if (out_of_memory_) return false;
    try {
        return reader_.read_ready();
    } catch (const std::bad_alloc&) {
        ran_out_of_memory();
        return true;
    }
}

bool input_lines::next_ready(input_line& line) {
    if (out_of_memory_ || !reader_.next_ready(line.bytes_)) return false;
    fill_in(line);
    return true;
}

void input_lines::fill_in(input_line& line) {
    line.continues_ = reader_.line_continues();
    line.paused_ = reader_.input_paused();
    line.codec_ = &codec_;
    line.buffer_ = &text_;
    line.decoded_ = false;
}

void input_lines::copy_to(text_output& output) {
    prepare_for_bulk(output);
    hand_on_pieces(piece_policy::copying(copy_block));
    try {
        if (&output.text_codec() == &codec_) {
            std::string_view lines;
            while (output.good() && !out_of_memory_ && reader_.next_lines(lines)) {
                output.write_lines(lines, reader_.line_continues());
            }
            return;
        }
        input_line line;
        while (output.good() && next(line)) {
            output.write_piece(line.text());
            if (!line.continues()) output.end_line();
        }
    } catch (const std::bad_alloc&) {
        ran_out_of_memory();
    }
}

void input_lines::ran_out_of_memory() {
    out_of_memory_ = true;
    // What the line took is of no more use, and the rest of the run may need it.
    std::string().swap(text_);
}

transfer_status input_lines::status() const {
    return out_of_memory_ ? transfer_status::failed : reader_.status();
}

std::string input_lines::error_text() const {
    return out_of_memory_ ? "line too long for available memory" : reader_.error_text();
}

}  // namespace io
