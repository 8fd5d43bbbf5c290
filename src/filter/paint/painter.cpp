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
        for (const std::size_t f : filters_.live()) {
            const found_match* match = filters_.first_match_from(f, position);
            if (match != nullptr && (winner == nullptr || match->begin < winner->begin)) {
                winner = match;
                best = f;
            }
        }
        filters_.drop_finished();
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
