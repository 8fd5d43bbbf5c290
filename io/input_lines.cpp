#include "io/input_lines.h"

namespace io {

std::u16string_view input_line::text() const {
    if (!decoded_) {
        buffer_->clear();
        codec_->decode(bytes_, *buffer_);
        text_ = *buffer_;
        units_are_bytes_ = codec_->units_are_bytes(bytes_, text_);
        decoded_ = true;
    }
    return text_;
}

bool input_line::pieces_copy_as_bytes(const codec& output) const {
    if (!copies_as_bytes(output)) return false;
    text();
    return units_are_bytes_;
}

input_lines::input_lines(line_reader& reader, const codec& input_codec)
    : reader_(reader), codec_(input_codec) {}

bool input_lines::next(input_line& line) {
    if (out_of_memory_ || !reader_.next(line.bytes_)) return false;
    line.continues_ = reader_.line_continues();
    line.codec_ = &codec_;
    line.buffer_ = &text_;
    line.decoded_ = false;
    return true;
}

void input_lines::copy_to(text_output& output) {
    prepare_for_bulk(output);
    show_partial_lines_after(std::chrono::milliseconds{0});
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
            output.write(line);
            if (!line.continues()) output.end_line();
        }
    } catch (const std::bad_alloc&) {
        ran_out_of_memory();
    }
}

void input_lines::ran_out_of_memory() {
    out_of_memory_ = true;
    // What the line took is of no more use, and the rest of the run may need it.
    std::u16string().swap(text_);
}

transfer_status input_lines::status() const {
    return out_of_memory_ ? transfer_status::failed : reader_.status();
}

std::string input_lines::error_text() const {
    return out_of_memory_ ? "line too long for available memory" : reader_.error_text();
}

}  // namespace io
