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
    if (!reader_.next(line.bytes_)) return false;
    fill_in(line);
    return true;
}

bool input_lines::next_ready(input_line& line) {
    if (!reader_.next_ready(line.bytes_)) return false;
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
    if (&output.text_codec() == &codec_) {
        std::string_view lines;
        while (output.good() && reader_.next_lines(lines)) output.write_lines(lines, reader_.line_continues());
        return;
    }
    input_line line;
    while (output.good() && next(line)) {
        output.write_piece(line.text());
        if (!line.continues()) output.end_line();
    }
}

}  // namespace io
