// The tables a literal prefilter scans with, made once from the filters' literals and never
// changed: which literal is where, which filters each lets through, and for every place a
// literal may begin, lookups that rule out most places before any literal is compared.
// Pure data: building them reads nothing but the literals.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "filter/match/case_folding.h"
#include "filter/match/expression_facts.h"

namespace huecast {

// Fills the places past the end of a line in the last block of the SIMD scans. No literal
// has its high nibble, so only a literal that ends before it passes there.
inline constexpr std::uint8_t padding_byte = 0x80;

struct prefilter_tables {
    // The SIMD scans tell candidates apart by bucket, one bit each in a byte.
    static constexpr std::size_t buckets = 8;
    // Verification tells them apart by group: literal l is in group l % groups.
    static constexpr std::size_t groups = 64;
    // How many leading bytes of a literal the tables check before it is compared whole.
    static constexpr std::size_t checked_units = 3;
    // A folded byte indexes the group tables: 0-127 for ASCII, folded_elsewhere (128) for
    // the rest, and one more for the places past the end of the line.
    static constexpr std::size_t past_end = folded_elsewhere + 1;
    // How many leading bytes of a literal are compared at once.
    static constexpr std::size_t head_units = 16;
    static constexpr std::uint32_t no_literal = ~std::uint32_t{0};

    struct literal {
        std::uint32_t text;  // where it begins in texts (folded)
        std::uint32_t length;
        std::uint32_t filters;  // where its filters begin in literal_filters
        std::uint32_t filter_count;
        // Its first bytes as they are compared: folded.
        alignas(16) std::array<char, head_units> head{};
    };

    // Each distinct literal once, ordered so that those of a bucket are neighbours.
    std::string texts;
    std::vector<literal> literals;
    std::vector<std::uint32_t> literal_filters;
    // The literals of filter f: filter_literals[filter_literal_begin[f] to [f + 1]).
    std::vector<std::uint32_t> filter_literal_begin;
    std::vector<std::uint32_t> filter_literals;
    // The filters with a literal in bucket b: bucket_filters[bucket_filter_begin[b] to [b + 1]).
    std::array<std::uint32_t, buckets + 1> bucket_filter_begin{};
    std::vector<std::uint32_t> bucket_filters;
    std::vector<std::uint8_t> buckets_of_filter;
    // The one literal of each bucket that has one alone; otherwise no_literal.
    std::array<std::uint32_t, buckets> sole_literal{};
    std::vector<char> always;  // 1 for each filter with nothing known
    // The filters with a literal whose letter an equivalent outside ASCII may stand for
    // (case_folding.h): in a line that holds one, these are let through unscanned.
    std::vector<std::uint32_t> folding_beyond_ascii;
    std::uint64_t used_groups = 0;
    std::uint8_t used_buckets = 0;

    // Group bits of the literals whose byte at a place (0 to checked_units - 1) may be a
    // given folded one; a literal shorter than that place accepts any byte there.
    std::array<std::array<std::uint64_t, past_end + 1>, checked_units> group_table{};
    // Bucket bits likewise for the bytes as the SIMD scans read them, by nibble: low nibble
    // for each place, then high nibble.
    using nibble_set = std::array<std::array<std::uint8_t, 16>, 2 * checked_units>;
    alignas(16) nibble_set nibble_tables{};

    static constexpr std::size_t bucket_of(std::size_t literal, std::size_t literal_count) {
        return literal * buckets / literal_count;
    }
};

// One entry per filter, in the filters' order; a filter with no literals is always let through.
prefilter_tables build_prefilter_tables(const std::vector<required_literals>& filters);

}  // namespace huecast
