// The literal prefilter alone: every line of the sample log, decoded beforehand, scanned for
// the literals of a few filters and of a rule file's worth, by each method this processor
// has; also on lines in the cache, as a painter meets them. Throughput is in input (UTF-8)
// bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "filter/prefilter/literal_prefilter.h"
#include "filter/match/expression_facts.h"
#include "filter/match/search_text.h"
#include "io/codec.h"

namespace {

const std::vector<std::string>& decoded_lines() {
    static const std::vector<std::string> lines = [] {
        const auto codec = io::make_utf8_codec();
        std::vector<std::string> decoded;
        for (const std::string_view line : bench::sample_lines()) codec->decode(line, decoded.emplace_back());
        return decoded;
    }();
    return lines;
}

// Whether each line may hold an equivalent outside ASCII of a letter, learnt beforehand as
// the painter learns it once a line for all its searches.
const std::vector<char>& lines_with_equivalents() {
    static const std::vector<char> holds = [] {
        std::vector<char> each;
        for (const std::string& line : decoded_lines()) {
            each.push_back(huecast::search_text(line).may_hold_equivalents() ? 1 : 0);
        }
        return each;
    }();
    return holds;
}

// One filter for each expression, in the order given.
std::vector<huecast::required_literals> filters_of(const std::vector<const char*>& expressions) {
    std::vector<huecast::required_literals> filters;
    for (const char* e : expressions) filters.push_back(huecast::read_expression(e).required);
    return filters;
}

const std::vector<const char*> three = {"error", "warn", "ok"};
const std::vector<const char*> thirty_two = {
    "error",  "warn",    "ok",       "info",      "debug",   "http",  "pool",    "auth",
    "scheduler", "cache", "worker",  "mailer",    "billing", "user",  "logged",  "session",
    "retry",  "health",  "check",    "nodes",     "load",    "ratio", "keys",    "evicted",
    "slow",   "query",   "table",    "rows",      "finished", "processed", "failed", "refused"};

// The lines as a painter meets them: just decoded, so still in the cache. A window of the
// log that fits in the cache stands for that: it is scanned over and over until as many
// lines are done as the log has.
constexpr std::size_t cached_lines = 1000;

// Scans the log's lines (or, with `cached`, the window, as often); range(0) is the
// scan_method (0 portable, 1 ssse3, 2 avx2, 3 neon).
void prefilter_scan(benchmark::State& state, const std::vector<const char*>& expressions, bool cached) {
    const auto method = static_cast<huecast::scan_method>(state.range(0));
    if (!huecast::literal_prefilter::supported(method)) {
        state.SkipWithError("this processor lacks the method");
        return;
    }
    const huecast::literal_prefilter prefilter(filters_of(expressions), method);
    const std::vector<std::string>& lines = decoded_lines();
    const std::vector<char>& holds = lines_with_equivalents();
    const bool folds = prefilter.folds_beyond_ascii();
    const std::size_t window = cached ? std::min(cached_lines, lines.size()) : lines.size();
    std::vector<char> may_match;
    std::size_t let_through = 0;
    for (auto _ : state) {
        let_through = 0;
        for (std::size_t done = 0; done < lines.size();) {
            for (std::size_t k = 0; k < window && done < lines.size(); ++k, ++done) {
                prefilter.scan(lines[k], folds && holds[k] != 0, may_match);
                for (const char m : may_match) let_through += static_cast<unsigned char>(m);
            }
        }
    }
    // How many filters a line still has to be searched with, on average.
    state.counters["searched_per_line"] = static_cast<double>(let_through) / static_cast<double>(lines.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench::sample_log().size()));
}

void prefilter_3_literals(benchmark::State& state) { prefilter_scan(state, three, false); }
void prefilter_32_literals(benchmark::State& state) { prefilter_scan(state, thirty_two, false); }
void prefilter_3_literals_cached(benchmark::State& state) { prefilter_scan(state, three, true); }
void prefilter_32_literals_cached(benchmark::State& state) { prefilter_scan(state, thirty_two, true); }
BENCHMARK(prefilter_3_literals)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(prefilter_32_literals)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(prefilter_3_literals_cached)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(prefilter_32_literals_cached)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// What reading every byte of every line costs alone, for comparison: the least any scan of
// the log's lines can take.
void prefilter_floor_reading_lines(benchmark::State& state) {
    const std::vector<std::string>& lines = decoded_lines();
    for (auto _ : state) {
        char all = 0;
        for (const std::string& line : lines) {
            for (const char c : line) all |= c;
        }
        benchmark::DoNotOptimize(all);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench::sample_log().size()));
}
BENCHMARK(prefilter_floor_reading_lines)->Unit(benchmark::kMillisecond);

}  // namespace
