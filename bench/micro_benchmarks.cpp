// Micro benchmarks of the hot paths, each over the sample log given with --log=PATH:
// a legacy code page's codec (ISO-8859-1, bytes as characters) on a buffer and per line,
// which a UTF-8 locale never calls, the line reader, the line writer to a file or
// pipe and to a terminal, the escape writer's colour changes, and whole runs of the modes
// in-process (no system calls).
// Throughput is counted in input bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "colour/parse_style.h"
#include "entry.h"
#include "io/codec.h"
#include "io/input_lines.h"
#include "io/line_reader.h"
#include "io/text_output.h"
#include "print/escape_writer.h"

namespace bench {
namespace {

std::string log_text;
std::vector<std::string_view> log_lines;

// The buffer benchmarks work on the front of the log, small enough to stay in the cache as
// a stream buffer would.
constexpr std::size_t buffer_bytes = 256 * 1024;

std::string_view buffer_sample() {
    std::string_view front(log_text.data(), std::min(buffer_bytes, log_text.size()));
    // End on a line end, so no character is cut.
    const std::size_t last = front.rfind('\n');
    return last == std::string_view::npos ? front : front.substr(0, last + 1);
}

void set_bytes(benchmark::State& state, std::size_t per_iteration) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * per_iteration));
}

void decode_buffer(benchmark::State& state) {
    const auto codec = io::make_byte_codec();
    const std::string_view bytes = buffer_sample();
    std::string text;
    for (auto _ : state) {
        text.clear();
        codec->decode(bytes, text);
        benchmark::DoNotOptimize(text.data());
    }
    set_bytes(state, bytes.size());
}
BENCHMARK(decode_buffer);

void encode_buffer(benchmark::State& state) {
    const auto codec = io::make_byte_codec();
    const std::string_view bytes = buffer_sample();
    std::string text;
    codec->decode(bytes, text);
    std::string out;
    for (auto _ : state) {
        out.clear();
        codec->encode(text, out);
        benchmark::DoNotOptimize(out.data());
    }
    if (out != bytes) state.SkipWithError("encode(decode(b)) differs from b");
    set_bytes(state, bytes.size());
}
BENCHMARK(encode_buffer);

// Line by line, as the modes call the codec.
void decode_lines(benchmark::State& state) {
    const auto codec = io::make_byte_codec();
    std::string text;
    for (auto _ : state) {
        for (const std::string_view line : log_lines) {
            text.clear();
            codec->decode(line, text);
            benchmark::DoNotOptimize(text.data());
        }
    }
    set_bytes(state, log_text.size());
}
BENCHMARK(decode_lines);

void encode_lines(benchmark::State& state) {
    const auto codec = io::make_byte_codec();
    std::vector<std::string> texts;
    for (const std::string_view line : log_lines) codec->decode(line, texts.emplace_back());
    std::string out;
    for (auto _ : state) {
        for (const std::string& text : texts) {
            out.clear();
            codec->encode(text, out);
            benchmark::DoNotOptimize(out.data());
        }
    }
    set_bytes(state, log_text.size());
}
BENCHMARK(encode_lines);

// The line reader over an in-memory source, as bytes (the lossless code pages) and decoded.
void read_lines(benchmark::State& state) {
    view_source source(log_text);
    std::size_t lines = 0;
    for (auto _ : state) {
        source.rewind();
        io::line_reader reader(source);
        std::string_view line;
        while (reader.next(line)) ++lines;
    }
    if (lines != state.iterations() * log_lines.size()) state.SkipWithError("line count differs");
    set_bytes(state, log_text.size());
}
BENCHMARK(read_lines);

void read_lines_decoded(benchmark::State& state) {
    const auto codec = io::make_utf8_codec();
    view_source source(log_text);
    counting_sink sink;
    io::text_output output(sink, *codec, io::line_end::lf);
    for (auto _ : state) {
        source.rewind();
        io::line_reader reader(source);
        io::input_lines lines(reader, *codec);
        lines.for_each(output, [](const io::input_line& line) { benchmark::DoNotOptimize(line.text().data()); });
    }
    set_bytes(state, log_text.size());
}
BENCHMARK(read_lines_decoded);

// Lines written as copied bytes (write_bytes) or as text (write), to a file or pipe
// (LF becomes CR LF) and to a terminal.
void write_lines(benchmark::State& state) {
    const bool terminal = state.range(0) != 0;
    const bool as_text = state.range(1) != 0;
    const auto codec = io::make_utf8_codec();
    std::vector<std::string> texts;
    if (as_text) {
        for (const std::string_view line : log_lines) codec->decode(line, texts.emplace_back());
    }
    counting_sink sink;
    for (auto _ : state) {
        io::text_output out(sink, *codec, terminal ? io::line_end::lf : io::line_end::crlf);
        if (as_text) {
            for (const std::string& text : texts) {
                out.write(text);
                out.end_line();
            }
        } else {
            for (const std::string_view line : log_lines) {
                out.write_bytes(line);
                out.end_line();
            }
        }
        out.flush();
    }
    benchmark::DoNotOptimize(sink.checksum);
    set_bytes(state, log_text.size());
}
BENCHMARK(write_lines)->ArgNames({"terminal", "text"})->ArgsProduct({{0, 1}, {0, 1}});

// The escape writer alone, as the printer drives it for each coloured piece: a colour, then
// back to the terminal's own; four colours in turn, as the README's four filters give.
void colour_changes(benchmark::State& state) {
    const auto codec = io::make_utf8_codec();
    counting_sink sink;
    io::text_output out(sink, *codec, io::line_end::lf);
    huecast::escape_writer writer(out);
    const huecast::text_colour colours[] = {
        huecast::text_colour::from_attribute(0x0C), huecast::text_colour::from_attribute(0x0E),
        huecast::text_colour::from_attribute(0x0A), huecast::text_colour::from_attribute(0x0B)};
    std::size_t piece = 0;
    for (auto _ : state) {
        writer.set(colours[piece++ % 4]);
        writer.restore();
    }
    out.flush();
    benchmark::DoNotOptimize(sink.checksum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(colour_changes);

// The same with styles that are no colour code: attributes, palette and 24-bit colours.
void style_changes(benchmark::State& state) {
    const auto codec = io::make_utf8_codec();
    counting_sink sink;
    io::text_output out(sink, *codec, io::line_end::lf);
    huecast::escape_writer writer(out, huecast::colour_depth::true_colour);
    const huecast::text_colour styles[] = {*huecast::parse_style("bold red"), *huecast::parse_style("208 normal"),
                                           *huecast::parse_style("ul #33cc66"),
                                           *huecast::parse_style("italic #ffffff #202020")};
    std::size_t piece = 0;
    for (auto _ : state) {
        writer.set(styles[piece++ % 4]);
        writer.restore();
    }
    out.flush();
    benchmark::DoNotOptimize(sink.checksum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(style_changes);

// A whole run of the program's entry in-process, from the memory source to the counting
// sink: arguments as main passes them, the output policy of a terminal or of a pipe.
void run_entry(benchmark::State& state, std::vector<std::string> arguments, bool terminal) {
    const auto codec = io::make_utf8_codec();
    std::vector<const char*> argv;
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    view_source source(log_text);
    counting_sink sink;
    counting_sink errors;
    std::size_t written = 0;
    for (auto _ : state) {
        source.rewind();
        sink.bytes = 0;
        const huecast::output_policy policy = huecast::decide_output_policy(
            terminal ? huecast::output_kind::terminal : huecast::output_kind::file_or_pipe,
            huecast::colour_when::automatic, {});
        io::text_output output(sink, *codec, policy.line_end);
        io::line_reader reader(source);
        reader.before_waiting([&output] { output.flush(); });
        io::input_lines input(reader, *codec);
        huecast::program_streams streams{input, output, errors, policy};
        const huecast::exit_code code = huecast::dispatch(argv, streams);
        output.flush();
        if (code != huecast::exit_code::done) state.SkipWithError("the run did not end well");
        written = sink.bytes;
    }
    state.counters["out_per_in"] = static_cast<double>(written) / static_cast<double>(log_text.size());
    set_bytes(state, log_text.size());
}

const std::vector<std::string> four_filters = {"0c,error", "0e,warn(ing)?", "0a,\\bok\\b",
                                                  "0b,\\d+\\.\\d+\\.\\d+\\.\\d+"};

void whole_stream_pipe(benchmark::State& state) { run_entry(state, {"0a"}, false); }
void whole_stream_terminal(benchmark::State& state) { run_entry(state, {"0a"}, true); }
void filter_pipe(benchmark::State& state) { run_entry(state, four_filters, false); }
void filter_terminal(benchmark::State& state) { run_entry(state, four_filters, true); }
BENCHMARK(whole_stream_pipe)->Unit(benchmark::kMillisecond);
BENCHMARK(whole_stream_terminal)->Unit(benchmark::kMillisecond);
BENCHMARK(filter_pipe)->Unit(benchmark::kMillisecond);
BENCHMARK(filter_terminal)->Unit(benchmark::kMillisecond);

}  // namespace

std::string filters_text;

const std::string& sample_log() { return log_text; }
const std::string& filter_file() { return filters_text; }
const std::vector<std::string_view>& sample_lines() { return log_lines; }

}  // namespace bench

int main(int argc, char** argv) {
    // --log=PATH and --filters=PATH are ours; every other argument goes to Google Benchmark.
    std::vector<char*> rest;
    const char* path = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--log=", 6) == 0) {
            path = argv[i] + 6;
        } else if (std::strncmp(argv[i], "--filters=", 10) == 0) {
            std::ifstream filters(argv[i] + 10, std::ios::binary);
            if (!filters.is_open()) {
                std::fprintf(stderr, "cannot read %s\n", argv[i] + 10);
                return 2;
            }
            bench::filters_text.assign(std::istreambuf_iterator<char>(filters), std::istreambuf_iterator<char>());
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (path == nullptr) {
        std::fprintf(stderr, "usage: %s --log=PATH [--filters=PATH] [benchmark options]\n", argv[0]);
        return 2;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 2;
    }
    bench::log_text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    std::string_view rest_of_log = bench::log_text;
    while (!rest_of_log.empty()) {
        const std::size_t lf = rest_of_log.find('\n');
        const std::size_t n = lf == std::string_view::npos ? rest_of_log.size() : lf;
        bench::log_lines.push_back(rest_of_log.substr(0, n));
        rest_of_log.remove_prefix(std::min(rest_of_log.size(), n + 1));
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    if (benchmark::ReportUnrecognizedArguments(count, rest.data())) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
