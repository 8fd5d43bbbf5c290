// Random filter sets and lines for the painter. The input is split at line feeds into up
// to 64 filter expressions and then the line, all raw bytes as UTF-8 input reaches the
// painter: bytes that are no character (escaped bytes among them) stay as they are, and an
// expression that does not compile is skipped. The line is the input's own memory, so that
// a read past its end is caught. Every painted line must be covered by its pieces exactly
// once, in order, with no empty piece and no two plain pieces side by side; on short lines
// the cuts must equal those of the plain loop that searches everything again every round,
// and every filter's search from each place in the line must keep the matcher's promises
// (the same match as the rest alone, with UTF or without; an anchored search agreeing).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "filter/paint/painter.h"
#include "reference_painter.h"

namespace {

using huecast::segment;

[[noreturn]] void fail(const char* what) {
    __builtin_printf("painter_fuzz: %s\n", what);
    std::abort();
}

void check_cover(std::string_view line, const std::vector<segment>& segments) {
    std::size_t at = 0;
    bool last_plain = false;
    for (const segment& s : segments) {
        if (s.begin != at) fail("pieces leave a gap or overlap");
        if (s.end <= s.begin) fail("empty piece");
        if (!s.colour && last_plain) fail("two plain pieces side by side");
        last_plain = !s.colour;
        at = s.end;
    }
    if (at != line.size()) fail("pieces do not reach the end of the line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);

    // Tight limits keep every input quick; what a limit does is checked by the tests.
    huecast::match_limits limits;
    limits.line_steps = 200'000;
    limits.steps_per_byte = 64;
    limits.depth = 10'000;
    limits.most_memory = 8 << 20;

    std::vector<huecast::testing::filter_text> filters;
    std::vector<huecast::compiled_filter> compiled;
    for (int i = 0; i < 64; ++i) {
        const std::size_t lf = input.find('\n');
        if (lf == std::string_view::npos) break;
        const std::string text(input.substr(0, lf));
        input.remove_prefix(lf + 1);
        auto expression = huecast::matcher::compile(text, limits);
        if (!expression) continue;
        const auto attribute = static_cast<qel::ColourAttribute>(0x0A + filters.size());
        filters.push_back({attribute, text});
        compiled.push_back({huecast::testing::colour_of(attribute), std::move(expression).value(), text});
    }
    const std::string_view line = input;

    if (line.size() <= 64) {
        for (huecast::compiled_filter& filter : compiled) {
            for (std::size_t from = 0; from <= line.size(); ++from) {
                bool gave_up = false;
                const char* broken = huecast::testing::broken_search_promise(filter.expression, line, from, gave_up);
                if (broken != nullptr) fail(broken);
            }
        }
    }

    huecast::painter painter(std::move(compiled));
    std::vector<segment> segments;
    painter.paint(line, segments);
    check_cover(line, segments);

    if (line.size() <= 200 && painter.gave_up().empty()) {
        bool gave_up = false;
        const std::vector<segment> expected = huecast::testing::reference_paint(filters, line, gave_up, limits);
        if (!gave_up && segments != expected) fail("the painter and the plain loop cut the line differently");
    }
    return 0;
}
