#include "command/command_mode.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "filter/filter_mode.h"
#include "filter/paint/compiled_filter.h"
#include "filter/paint/painter.h"
#include "io/input_lines.h"
#include "io/line_reader.h"
#include "messages.h"
#include "print/printer.h"
#include "program_streams.h"

namespace huecast {
namespace {

using clock = std::chrono::steady_clock;

// One of the command's streams on its way to one of huecast's.
class stream {
public:
    stream(io::byte_source& source, std::string_view name, io::text_output& out, const output_policy& policy,
           qel::console_device* console, const io::codec& codec)
        : source_(source), name_(name), reader_(source), lines_(reader_, codec), out_(out) {
        // The command's output comes out as it wrote it: a last line gets no line end it lacked.
        reader_.leave_last_line_unended();
        if (policy.colours()) {
            colours_ = make_colour_writer(policy, out, console);
            print_.emplace(out, *colours_);
            lines_.hand_on_pieces(painting_pieces);
        } else {
            // What has come of a line shows at once, as when lines are copied from standard input.
            lines_.hand_on_pieces(io::piece_policy::copying(io::input_lines::copy_block));
        }
    }

    bool open() const { return open_; }
    io::text_output& out() { return out_; }

    // Reads what has come, when anything has, and passes on every line it completes.
    template <class Paint>
    void pass_on_what_came(started_command& command, Paint paint) {
        lines_.read_ready();
        io::input_line line;
        while (out_.good() && lines_.next_ready(line)) {
            if (!rest_of_line_) ++line_number_;
            rest_of_line_ = line.continues();
            if (print_) {
                print_->print(line, [&](auto emit) {
                    segment_sink_of pieces(emit);
                    paint(line.text(), pieces, name_, line_number_);
                });
            } else {
                copy(line);
            }
        }
        if (!out_.good()) {
            // Where nothing can be written, the command learns so as it would from a pipe.
            command.stop_reading(source_);
            open_ = false;
        } else if (lines_.exhausted()) {
            open_ = false;
        }
    }

    std::optional<clock::time_point> piece_due() const { return open_ ? lines_.piece_due() : std::nullopt; }

    // The line on the error stream for a read that failed, if one did.
    std::optional<std::string> failure() const {
        if (lines_.status() != io::transfer_status::failed) return std::nullopt;
        std::string why;
        out_.text_codec().decode(lines_.error_text(), why);
        return messages::stream_failed(name_, why);
    }

private:
    void copy(const io::input_line& line) {
        if (line.copies_as_bytes(out_.text_codec())) {
            out_.write_bytes(line.bytes());
        } else {
            out_.write_piece(line.text());
        }
        if (!line.continues()) out_.end_line();
    }

    io::byte_source& source_;
    std::string_view name_;
    io::line_reader reader_;
    io::input_lines lines_;
    io::text_output& out_;
    std::unique_ptr<colour_writer> colours_;
    std::optional<printer> print_;
    bool open_ = true;
    std::size_t line_number_ = 0;
    bool rest_of_line_ = false;
};

// Until the first of the pieces that wait for time is due; none: until input comes.
std::optional<std::chrono::milliseconds> patience(const stream& a, const stream& b) {
    std::optional<clock::time_point> due = a.piece_due();
    if (const auto other = b.piece_due(); other && (!due || *other < *due)) due = other;
    if (!due) return std::nullopt;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - clock::now());
    return std::max(left, std::chrono::milliseconds{0});
}

}  // namespace

exit_code command_mode(std::span<const char* const> command, const FilterList& filters, program_streams& streams) {
    auto compiled = compile_filters(filters);
    if (!compiled) {
        report_error(streams, compiled.error());
        return exit_code::usage_error;
    }
    command_streams& run = *streams.command;
    auto started = run.runner.start(command);
    if (!started) {
        const start_failure& failure = started.error();
        if (failure.reason.empty()) {
            report_error(streams, messages::command_not_found(command.front()));
        } else {
            std::string why;
            streams.output.text_codec().decode(failure.reason, why);
            report_error(streams, messages::cannot_run(command.front(), why));
        }
        return failure.found ? exit_code::cannot_run : exit_code::not_found;
    }
    started_command& running = **started;
    run.started = true;

    // Both streams are written on this one thread, where the signals are met; neither is
    // handed to a writer of its own (prepare_for_bulk), which would start one.
    const io::codec& codec = streams.output.text_codec();
    stream output(running.output(), "the command's output", streams.output, streams.policy, streams.console, codec);
    stream errors(running.errors(), "the command's errors", run.errors, run.error_policy, run.error_console, codec);
    painter painter(std::move(compiled).value());
    bool warned = false;
    const auto paint = [&](std::string_view text, segment_sink& pieces, std::string_view stream, std::size_t line) {
        painter.paint(text, pieces);
        if (!warned && !painter.gave_up().empty()) {
            warned = true;
            run.errors.flush();
            const std::size_t f = painter.gave_up().front();
            report_error(streams, messages::gave_up_in(painter.filter(f).label, stream, line, painter.reached_by(f)));
        }
    };
    while (output.open() || errors.open()) {
        // Each stream's lines go out before the other's next ones: where both reach one
        // terminal or console, they show in the order they were read.
        for (stream* s : {&output, &errors}) {
            if (!s->open()) continue;
            s->pass_on_what_came(running, paint);
            s->out().flush();
        }
        if (output.open() || errors.open()) running.wait_for_either(patience(output, errors));
    }
    run.ended = running.wait();
    run.errors.finish();

    exit_code code = exit_code::done;
    for (const stream* s : {&output, &errors}) {
        if (const auto failure = s->failure()) {
            report_error(streams, *failure);
            code = exit_code::io_failure;
        }
    }
    if (run.errors.status() == io::transfer_status::failed) {
        std::string why;
        codec.decode(run.errors.error_text(), why);
        report_error(streams, messages::stream_failed("standard error", why));
        code = exit_code::io_failure;
    }
    return code;
}

}  // namespace huecast
