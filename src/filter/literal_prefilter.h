// Tells, for a line, which filters can possibly match it, from the literals that every match
// of each must contain: all filters at once, in one pass over the line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filter/case_folding.h"
#include "filter/expression_facts.h"

namespace huecast {

// How a line is scanned. Every method gives the same answers; they differ only in speed and
// in what the processor must offer.
enum class scan_method {
    portable,  // plain C++, everywhere
    ssse3,     // 16 units at a time (x86-64 with SSSE3)
    avx2,      // 32 units at a time (x86-64 with AVX2; not in Windows builds)
};

// Copyable, immutable after construction, and safe to share between threads.
class literal_prefilter {
public:
    // One entry per filter, in the filters' order. Uses the fastest method this processor has.
    explicit literal_prefilter(const std::vector<required_literals>& filters);
    // With a method of one's choosing, which must be supported.
    literal_prefilter(const std::vector<required_literals>& filters, scan_method method);

    static bool supported(scan_method method);
    static scan_method fastest();

    // Sets may_match (resized to the number of filters) to 0 only for a filter that has no
    // match anywhere in `line`, and to 1 otherwise; 1 is never wrong. A filter with nothing
    // known is always 1. The answer is exact for the literals: 1 exactly when one of the
    // filter's literals occurs in the line as folded_unit folds it. The line may hold
    // anything (lone surrogates, NUL, CR).
    void scan(std::u16string_view line, std::vector<char>& may_match) const;
    // The same, and for every filter let through by a literal, where in the line the first
    // of its literals begins (first_at resized; other entries are left undefined).
    void scan(std::u16string_view line, std::vector<char>& may_match, std::vector<std::uint32_t>& first_at) const;

    // False when no filter has literals: every answer is 1, and the caller can skip scanning.
    bool useful() const { return used_buckets_ != 0; }

    scan_method method() const { return method_; }

private:
    // The SIMD methods tell candidates apart by bucket, one bit each in a byte.
    static constexpr std::size_t buckets = 8;
    // Verification tells them apart by group: literal l is in group l % groups.
    static constexpr std::size_t groups = 64;
    // How many leading units of a literal the tables check before it is compared whole.
    static constexpr std::size_t checked_units = 3;
    // A folded unit indexes the group tables: 0-127 for ASCII, folded_elsewhere (128) for
    // the rest, and one more for the places past the end of the line.
    static constexpr std::size_t past_end = folded_elsewhere + 1;
    // How many leading units of a literal are compared at once.
    static constexpr std::size_t head_units = 8;

    struct literal {
        std::uint32_t text;    // where it begins in texts_ (folded)
        std::uint32_t length;
        std::uint32_t filters;  // where its filters begin in literal_filters_
        std::uint32_t filter_count;
        // Its first units as they are compared: folded, and the unit outside ASCII that
        // folds to each (or the unit itself).
        alignas(16) std::array<char16_t, head_units> head{};
        alignas(16) std::array<char16_t, head_units> head_equivalent{};
    };

    struct scan_state;
    void scan(std::u16string_view line, std::vector<char>& may_match, std::uint32_t* first_at) const;

    std::u16string texts_;
    std::vector<literal> literals_;
    std::vector<std::uint32_t> literal_filters_;
    // The literals of filter f: filter_literals_[filter_literal_begin_[f] to [f + 1]).
    std::vector<std::uint32_t> filter_literal_begin_;
    std::vector<std::uint32_t> filter_literals_;
    // The filters with a literal in bucket b: bucket_filters_[bucket_filter_begin_[b] to [b + 1]).
    std::array<std::uint32_t, buckets + 1> bucket_filter_begin_{};
    std::vector<std::uint32_t> bucket_filters_;
    std::vector<std::uint8_t> buckets_of_filter_;
    // The one literal of each bucket that has one alone; otherwise no_literal.
    static constexpr std::uint32_t no_literal = ~std::uint32_t{0};
    std::array<std::uint32_t, buckets> sole_literal_{};
    std::vector<char> always_;  // 1 for each filter with nothing known
    std::uint64_t used_groups_ = 0;
    std::uint8_t used_buckets_ = 0;
    scan_method method_ = scan_method::portable;

    // Group bits of the literals whose unit at a place (0 to checked_units - 1) may be a
    // given folded one; a literal shorter than that place accepts any unit there.
    std::array<std::array<std::uint64_t, past_end + 1>, checked_units> group_table_{};
    // Bucket bits likewise for the units packed to bytes as the SIMD methods pack them, by
    // nibble: low nibble for each place, then high nibble. Blocks of a line in ASCII alone
    // use the first set; the second also lets through the bytes that the equivalents pack
    // to, which collide with letters' nibbles.
    alignas(16) std::array<std::array<std::array<std::uint8_t, 16>, 2 * checked_units>, 2> nibble_tables_{};
};

}  // namespace huecast
