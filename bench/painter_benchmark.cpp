// The painter alone: the sample log's lines, decoded beforehand, painted with the four
// filters of the comparison. Throughput is in input (UTF-8) bytes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "filter/painter.h"
#include "io/codec.h"

namespace {

std::vector<huecast::painter_filter> four_filters() {
    std::vector<huecast::painter_filter> filters;
    const std::pair<qel::ColourAttribute, const char16_t*> list[] = {
        {0x0C, u"error"}, {0x0E, u"warn(ing)?"}, {0x0A, u"\\bok\\b"}, {0x0B, u"\\d+\\.\\d+\\.\\d+\\.\\d+"}};
    for (const auto& [attribute, text] : list) {
        auto expression = huecast::matcher::compile(text);
        if (!expression) continue;
        filters.push_back({huecast::text_colour::from_attribute(attribute), std::move(expression).value()});
    }
    return filters;
}

void paint(benchmark::State& state, std::vector<huecast::painter_filter> filters) {
    const auto codec = io::make_utf8_codec();
    std::vector<std::u16string> lines;
    for (const std::string_view line : bench::sample_lines()) codec->decode(line, lines.emplace_back());
    if (filters.empty()) {
        state.SkipWithError("a filter did not compile");
        return;
    }
    huecast::painter painter(std::move(filters));
    std::vector<huecast::segment> segments;
    std::size_t coloured = 0;
    for (auto _ : state) {
        coloured = 0;
        for (const std::u16string& line : lines) {
            painter.paint(line, segments);
            for (const huecast::segment& s : segments) coloured += s.colour.has_value();
        }
    }
    state.counters["coloured_per_line"] = static_cast<double>(coloured) / static_cast<double>(lines.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench::sample_log().size()));
}
void paint_four_filters(benchmark::State& state) { paint(state, four_filters()); }
BENCHMARK(paint_four_filters)->Unit(benchmark::kMillisecond);

// Each of the four alone, to see which one the time goes to.
void paint_one_filter(benchmark::State& state) {
    std::vector<huecast::painter_filter> filters = four_filters();
    std::vector<huecast::painter_filter> one;
    one.push_back(std::move(filters[static_cast<std::size_t>(state.range(0))]));
    paint(state, std::move(one));
}
BENCHMARK(paint_one_filter)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
