#include "filter/paint/painter.h"

namespace huecast {

void painter::paint(std::string_view line, std::vector<segment>& segments) {
    segment_sink_of collect([&](const segment& piece) { segments.push_back(piece); });
    segments.clear();
    paint(line, collect);
}

void painter::paint(std::string_view line, segment_sink& out) {
    filters_.begin_line(line);
    if (line.empty()) return;
    std::size_t position = 0;
    while (position < line.size()) {
        const found_match* winner = nullptr;
        std::size_t best = 0;
        // Front first, so that a later filter wins only by starting strictly earlier.
        filters_.each_first_match_from(position, [&](std::size_t f, const found_match& match) {
            if (winner == nullptr || match.begin < winner->begin) {
                winner = &match;
                best = f;
            }
        });
        if (winner == nullptr) {
            out.take({position, line.size(), std::nullopt});
            return;
        }
        if (winner->begin > position) out.take({position, winner->begin, std::nullopt});
        out.take({winner->begin, winner->end, filters_[best].colour});
        position = winner->end;
    }
}

}  // namespace huecast
