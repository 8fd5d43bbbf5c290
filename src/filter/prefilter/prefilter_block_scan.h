// The SIMD scan (Teddy), written once over a vector type V of V::lanes bytes. For each byte
// of a block of V::lanes bytes, two 16-entry lookups (low and high
// nibble) give the buckets whose literals may have it at each of the first three places;
// the places are lined up by shifting in the lookups of the block before, and a literal of
// a bucket may begin where all three agree. The end of a line is read as one block more
// that overlaps the one before, so that nothing is read past the end.
//
// A lane mask (V::mask) gives each lane V::lane_bits bits, lane k's lowest at bit
// k * V::lane_bits, so that each width can keep the form its instructions make cheapest;
// V::all_lanes holds the lowest bit of every lane alone.
//
// Included by prefilter_scan.cpp once for each vector type, inside a namespace of its
// own and a region compiled for that type's instructions, so it has no include guard and
// includes nothing: what it uses is included before the region.

// The buckets that allow each byte of `bytes` at place j.
template <class V>
typename V::type lookup(typename V::type bytes, const typename V::tables& t, std::size_t j) {
    const typename V::type nibble = V::splat(0x0F);
    return V::both(V::shuffle(t[j], V::both(bytes, nibble)),
                   V::shuffle(t[j + prefilter_tables::checked_units], V::high_nibbles(bytes)));
}

// Verifies the places of the lanes of `c` set in `wanted`, in order: lane k holds the
// buckets of the literals that may begin at base + k - 2. False once nothing is left to find.
template <class V>
bool report(prefilter_line_scan& s, typename V::type c, std::size_t base, typename V::mask wanted) {
    // One bit a lane is left, so that clearing the lowest bit moves on to the next lane.
    typename V::mask found = V::nonzero_lanes(c) & wanted;
    if (found == 0) return true;
    alignas(V::lanes) std::uint8_t lanes[V::lanes];
    V::store(lanes, c);
    while (found != 0) {
        const int lane = std::countr_zero(found) / V::lane_bits;
        found &= found - 1;
        s.verify_buckets(base + static_cast<std::size_t>(lane) - 2, lanes[lane]);
    }
    return s.live != 0;
}

// Needs a line of one block at least.
template <class V>
void scan_blocks(prefilter_line_scan& s) {
    constexpr std::size_t lanes = V::lanes;
    const std::size_t n = s.line.size();
    const char* const units = s.line.data();
    typename V::tables t;
    V::load_tables(t, s.t.nibble_tables);
    typename V::type previous_0 = V::splat(0);
    typename V::type previous_1 = V::splat(0);
    std::size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        const typename V::type bytes = V::load(units + i);
        const typename V::type r0 = lookup<V>(bytes, t, 0);
        const typename V::type r1 = lookup<V>(bytes, t, 1);
        const typename V::type r2 = lookup<V>(bytes, t, 2);
        const typename V::type c =
            V::both(V::both(V::template shifted_in<2>(r0, previous_0), V::template shifted_in<1>(r1, previous_1)),
                    V::both(r2, V::splat(s.live)));
        previous_0 = r0;
        previous_1 = r1;
        if (!report<V>(s, c, i, V::all_lanes)) return;
    }
    // The rest, from i - 2 on: the last block of the line again, each place shifted along it
    // with padding past the end.
    const std::size_t o = n - lanes;
    const typename V::type bytes = V::load(units + o);
    const typename V::type padding = V::splat(padding_byte);
    const typename V::type c = V::both(
        V::both(lookup<V>(bytes, t, 0), lookup<V>(V::template shifted_out<1>(bytes, padding), t, 1)),
        V::both(lookup<V>(V::template shifted_out<2>(bytes, padding), t, 2), V::splat(s.live)));
    const std::size_t rest = n - i;
    // Places in order, so that a filter's first let-through is its first place.
    if (rest == lanes - 1) s.verify_at(o - 1);
    report<V>(s, c, o + 2,
              rest < lanes - 2 ? V::all_lanes << V::lane_bits * (lanes - 2 - rest) & V::all_lanes : V::all_lanes);
}
