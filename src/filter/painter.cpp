#include "filter/painter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace huecast {
namespace {

bool is_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

bool is_ascii(std::u16string_view text) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
#if defined(__SSE2__)
    __m128i all = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        all = _mm_or_si128(all, _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8))));
    }
    // Units at or above U+0080 have a bit set outside the low seven.
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(all, _mm_set1_epi16(static_cast<short>(0xFF80))),
                                          _mm_setzero_si128())) != 0xFFFF) {
        return false;
    }
#endif
    char16_t rest = 0;
    for (; p < end; ++p) rest |= *p;
    return rest < 0x80;
}

found_match shifted(found_match m, std::size_t by) {
    m.attempt += by;
    m.begin += by;
    m.end += by;
    return m;
}

}  // namespace

painter::painter(std::vector<painter_filter> filters) : filters_(std::move(filters)), next_(filters_.size()) {
    for (const painter_filter& f : filters_) any_faster_on_ascii_ = any_faster_on_ascii_ || f.expression.faster_on_ascii();
}

void painter::search_from(std::size_t filter, std::u16string_view line, std::size_t position) {
    next_match& next = next_[filter];
    found_match m;
    switch (filters_[filter].expression.find(line.substr(position), m, ascii_line_)) {
        case search_result::found:
            next.state = next_match::found;
            next.match = shifted(m, position);
            break;
        case search_result::none:
            next.state = next_match::none;
            break;
        case search_result::gave_up:
            next.state = next_match::given_up;
            gave_up_.push_back(filter);
            break;
    }
}

// The filter's next match (or the lack of one) is known from a search that began at an
// earlier position q; the rest of the line now begins at `position` (> q). An attempt that
// starts after `position` sees the same characters as it did from q, because the
// expression looks back at most one character (\b, \B) and no verb ties its attempts
// together (see reaches_behind_start): such attempts fail or succeed as they did. Only the
// attempt at `position` itself can differ, since `^`, `\A`, `\G`, `\b` and `\B` there now
// see the start of a text. So one attempt anchored at `position` settles it: if it
// succeeds, that match is the first; if not, the known result stands. That holds only
// while the known match's own attempt (where it began before any \K) lies after
// `position`; otherwise the filter is searched again from `position`. An expression that
// cannot see the start of a text (matcher::sees_start_of_text) needs not even that attempt:
// the search from q already made it, at the same place, and it failed.
void painter::revisit(std::size_t filter, std::u16string_view line, std::size_t position) {
    next_match& next = next_[filter];
    const matcher& expression = filters_[filter].expression;
    // A surrogate at the new start may be half of a pair that the earlier search read whole.
    const bool needs_full_search = next.state == next_match::unknown || expression.reaches_behind_start() ||
                                   is_surrogate(line[position]) ||
                                   (next.state == next_match::found && next.match.attempt <= position);
    if (needs_full_search) {
        search_from(filter, line, position);
        return;
    }
    if (!expression.sees_start_of_text()) return;
    found_match m;
    switch (filters_[filter].expression.find_at_front(line.substr(position), m, ascii_line_)) {
        case search_result::found:
            next.state = next_match::found;
            next.match = shifted(m, position);
            break;
        case search_result::none:
            break;
        case search_result::gave_up:
            next.state = next_match::given_up;
            gave_up_.push_back(filter);
            break;
    }
}

void painter::paint(std::u16string_view line, std::vector<segment>& segments) {
    segments.clear();
    gave_up_.clear();
    ascii_line_ = any_faster_on_ascii_ && is_ascii(line);
    for (next_match& next : next_) next.state = next_match::unknown;

    std::size_t position = 0;
    while (position < line.size()) {
        std::size_t best = filters_.size();
        for (std::size_t f = 0; f < filters_.size(); ++f) {
            if (next_[f].state == next_match::given_up) continue;
            revisit(f, line, position);
            if (next_[f].state != next_match::found) continue;
            if (best == filters_.size() || next_[f].match.begin < next_[best].match.begin) best = f;
        }
        if (best == filters_.size()) {
            segments.push_back({position, line.size(), std::nullopt});
            return;
        }
        const found_match& winner = next_[best].match;
        if (winner.begin > position) segments.push_back({position, winner.begin, std::nullopt});
        segments.push_back({winner.begin, winner.end, filters_[best].colour});
        position = winner.end;
    }
}

}  // namespace huecast
