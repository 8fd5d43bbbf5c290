// One scan of one line by a literal prefilter: what is found so far, and how a place that
// the tables allow is verified. Every scan method drives the same verification, so they
// can differ only in which places they hand it, and all hand them in order from the front.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "filter/prefilter/prefilter_tables.h"

namespace huecast {

// Which groups and buckets still have a literal of a filter not yet let through.
struct prefilter_line_scan {
    using tables = prefilter_tables;

    const tables& t;
    std::string_view line;
    char* may_match;
    std::uint32_t* first_at;  // null when not asked for
    std::uint64_t pending_groups;
    std::uint8_t live;  // buckets

    bool pending(const tables::literal& l) const {
        for (std::uint32_t k = 0; k < l.filter_count; ++k) {
            if (may_match[t.literal_filters[l.filters + k]] == 0) return true;
        }
        return false;
    }

    bool group_pending(std::size_t g) const {
        for (std::size_t l = g; l < t.literals.size(); l += tables::groups) {
            if (pending(t.literals[l])) return true;
        }
        return false;
    }

    bool occurs_at(const tables::literal& l, std::size_t start) const {
        if (l.length > line.size() - start) return false;
        const char* text = t.texts.data() + l.text;
        const char* unit = line.data() + start;
        std::uint32_t k = 0;
#if defined(__SSE2__)
        // The head in one comparison: a loop that stops at the first difference costs a
        // mispredicted branch on many candidates.
        if (line.size() - start >= tables::head_units) {
            const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(unit));
            // Upper-case ASCII letters are the bytes that, less 'A', lie below 26 unsigned.
            const __m128i upper = _mm_cmpeq_epi8(
                _mm_subs_epu8(_mm_sub_epi8(u, _mm_set1_epi8('A')), _mm_set1_epi8('Z' - 'A')), _mm_setzero_si128());
            const __m128i lower = _mm_add_epi8(u, _mm_and_si128(upper, _mm_set1_epi8(0x20)));
            const __m128i same = _mm_cmpeq_epi8(lower, _mm_load_si128(reinterpret_cast<const __m128i*>(l.head.data())));
            const unsigned wanted = l.length >= tables::head_units ? 0xFFFF : (1u << l.length) - 1;
            if ((static_cast<unsigned>(_mm_movemask_epi8(same)) & wanted) != wanted) return false;
            k = tables::head_units;
        }
#endif
        for (; k < l.length; ++k) {
            if (folded_byte(static_cast<unsigned char>(unit[k])) != static_cast<unsigned char>(text[k])) return false;
        }
        return true;
    }

    // A group or a bucket stops taking part once none of its literals can tell anything new.
    void let_through(std::uint32_t f) {
        may_match[f] = 1;
        for (std::uint32_t k = t.filter_literal_begin[f]; k < t.filter_literal_begin[f + 1]; ++k) {
            const std::size_t g = t.filter_literals[k] % tables::groups;
            if ((pending_groups >> g & 1) != 0 && !group_pending(g)) pending_groups &= ~(std::uint64_t{1} << g);
        }
        unsigned affected = t.buckets_of_filter[f] & live;
        while (affected != 0) {
            const int b = std::countr_zero(affected);
            affected &= affected - 1;
            const std::uint32_t* first = t.bucket_filters.data() + t.bucket_filter_begin[b];
            const std::uint32_t* last = t.bucket_filters.data() + t.bucket_filter_begin[b + 1];
            if (std::all_of(first, last, [&](std::uint32_t other) { return may_match[other] != 0; })) {
                live = static_cast<std::uint8_t>(live & ~(1u << b));
            }
        }
    }

    void verify_literal(std::size_t l, std::size_t start) {
        const tables::literal& lit = t.literals[l];
        if (!pending(lit) || !occurs_at(lit, start)) return;
        for (std::uint32_t k = 0; k < lit.filter_count; ++k) {
            const std::uint32_t f = t.literal_filters[lit.filters + k];
            if (may_match[f] != 0) continue;
            // Places are tried from the front, so the first let-through is the first place.
            if (first_at != nullptr) first_at[f] = static_cast<std::uint32_t>(start);
            let_through(f);
        }
    }

    // The literals of the groups in `candidates` that may begin at `start` (< line.size()).
    void verify(std::size_t start, std::uint64_t candidates) {
        while (candidates != 0) {
            const std::size_t g = static_cast<std::size_t>(std::countr_zero(candidates));
            candidates &= candidates - 1;
            for (std::size_t l = g; l < t.literals.size(); l += tables::groups) verify_literal(l, start);
        }
    }

    // A place where the SIMD tables allow the literals of `buckets`: a bucket of one
    // literal names it; otherwise the group tables tell which to compare.
    void verify_buckets(std::size_t start, unsigned buckets) {
        buckets &= live;
        if (buckets == 0) return;
        const int b = std::countr_zero(buckets);
        if ((buckets & (buckets - 1)) == 0 && t.sole_literal[b] != tables::no_literal) {
            verify_literal(t.sole_literal[b], start);
        } else {
            verify_at(start);
        }
    }

    std::size_t folded_at(std::size_t k) const {
        return k < line.size() ? folded_byte(static_cast<unsigned char>(line[k])) : tables::past_end;
    }

    // The literals that may begin at `start`, told apart by the group tables.
    void verify_at(std::size_t start) {
        const std::uint64_t candidates = t.group_table[0][folded_at(start)] & t.group_table[1][folded_at(start + 1)] &
                                         t.group_table[2][folded_at(start + 2)] & pending_groups;
        if (candidates != 0) verify(start, candidates);
    }
};

}  // namespace huecast
