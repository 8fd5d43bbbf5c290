// The painter alone: the sample log's lines, decoded beforehand, painted with the four
// filters of the comparison, each of them alone, the four with styled groups, a rule file's
// worth of filters, and that file's plain words.
// Throughput is in input (UTF-8) bytes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "filter/paint/compiled_filter.h"
#include "filter/paint/painter.h"
#include "filter/sources/filter_files.h"
#include "io/codec.h"

namespace {

const std::pair<huecast::text_colour, const char*> readme_four[] = {
    {huecast::text_colour::from_attribute(0x0C), "error"},
    {huecast::text_colour::from_attribute(0x0E), "warn(ing)?"},
    {huecast::text_colour::from_attribute(0x0A), "\\bok\\b"},
    {huecast::text_colour::from_attribute(0x0B), "\\d+\\.\\d+\\.\\d+\\.\\d+"}};

// The first `count` filters of the filter file given with --filters (all of them for 0), or
// the README's four without one.
std::vector<huecast::compiled_filter> filters(std::size_t count) {
    huecast::FilterList list;
    if (bench::filter_file().empty()) {
        for (const auto& [colour, text] : readme_four) list.push_back({colour, text, text});
    } else {
        const auto codec = io::make_utf8_codec();
        auto parsed = huecast::parse_filter_file("filters", bench::filter_file(), *codec);
        if (parsed) list = std::move(*parsed);
    }
    if (count != 0 && list.size() > count) list.erase(list.begin() + static_cast<std::ptrdiff_t>(count), list.end());
    auto compiled = huecast::compile_filters(list);
    if (!compiled) return {};
    return std::move(compiled).value();
}

// Styled filters of the same expressions (groups made where there were none): every match
// is cut where its groups' styles change.
std::vector<huecast::compiled_filter> grouped_filters() {
    huecast::FilterList list;
    for (const char* text : {"bold red;ul,(err)or", "yellow;bold,warn(ing)?", "green,\\bok\\b",
                             "cyan;bold;;;bold,(\\d+)\\.(\\d+)\\.(\\d+)\\.(\\d+)"}) {
        auto filter = huecast::parse_styled_filter(text);
        if (!filter) return {};
        list.push_back(std::move(*filter));
    }
    auto compiled = huecast::compile_filters(list);
    if (!compiled) return {};
    return std::move(compiled).value();
}

void paint(benchmark::State& state, std::vector<huecast::compiled_filter> filters) {
    const auto codec = io::make_utf8_codec();
    std::vector<std::string> lines;
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
        for (const std::string& line : lines) {
            painter.paint(line, segments);
            for (const huecast::segment& s : segments) coloured += s.colour.has_value();
        }
    }
    state.counters["coloured_per_line"] = static_cast<double>(coloured) / static_cast<double>(lines.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench::sample_log().size()));
}
void paint_four_filters(benchmark::State& state) { paint(state, filters(4)); }
BENCHMARK(paint_four_filters)->Unit(benchmark::kMillisecond);

// Every filter of the filter file: a rule file's worth, to set beside the four.
void paint_file_filters(benchmark::State& state) {
    std::vector<huecast::compiled_filter> all = filters(0);
    state.counters["filters"] = static_cast<double>(all.size());
    paint(state, std::move(all));
}
BENCHMARK(paint_file_filters)->Unit(benchmark::kMillisecond);

// The four with styled groups, to set beside the four.
void paint_grouped_filters(benchmark::State& state) { paint(state, grouped_filters()); }
BENCHMARK(paint_grouped_filters)->Unit(benchmark::kMillisecond);

// The filter file's plain words alone (29 of its 32), which the scan finds without PCRE2.
void paint_plain_words(benchmark::State& state) {
    std::vector<huecast::compiled_filter> words;
    for (huecast::compiled_filter& f : filters(0)) {
        if (!f.expression.facts().plain_literal.empty()) words.push_back(std::move(f));
    }
    state.counters["filters"] = static_cast<double>(words.size());
    paint(state, std::move(words));
}
BENCHMARK(paint_plain_words)->Unit(benchmark::kMillisecond);

// Each of the four alone, to see which one the time goes to.
void paint_one_filter(benchmark::State& state) {
    std::vector<huecast::compiled_filter> four = filters(4);
    std::vector<huecast::compiled_filter> one;
    if (static_cast<std::size_t>(state.range(0)) < four.size()) {
        one.push_back(std::move(four[static_cast<std::size_t>(state.range(0))]));
    }
    paint(state, std::move(one));
}
BENCHMARK(paint_one_filter)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
