#include "filter/prefilter_scan.h"

namespace huecast {

// A literal may begin where the three places from there all allow its group.
void scan_portable(prefilter_scan& s) {
    const auto& t0 = s.t.group_table[0];
    const auto& t1 = s.t.group_table[1];
    const auto& t2 = s.t.group_table[2];
    // Group bits two places back (first table) and one place back (first and second).
    std::uint64_t two_back = 0;
    std::uint64_t one_back_0 = 0;
    std::uint64_t one_back_1 = 0;
    const std::size_t n = s.line.size();
    // A literal of one or two units may begin at either of the last two places.
    for (std::size_t end = 0; end < n + 2; ++end) {
        const std::size_t x = s.folded_at(end);
        const std::uint64_t candidates = two_back & one_back_1 & t2[x] & s.pending_groups;
        two_back = one_back_0;
        one_back_0 = t0[x];
        one_back_1 = t1[x];
        if (candidates == 0) continue;
        s.verify(end - 2, candidates);
        if (s.pending_groups == 0) return;
    }
}

}  // namespace huecast
