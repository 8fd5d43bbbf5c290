#include "filter/prefilter/prefilter_scan.h"

#if defined(HUECAST_PREFILTER_X86)
#include <immintrin.h>
#endif
#if defined(HUECAST_PREFILTER_NEON)
#include <arm_neon.h>
#endif

#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace huecast {

// A literal may begin where the three places from there all allow its group.
void scan_portable(prefilter_line_scan& s) {
    const auto& t0 = s.t.group_table[0];
    const auto& t1 = s.t.group_table[1];
    const auto& t2 = s.t.group_table[2];
    // Group bits two places back (first table) and one place back (first and second).
    std::uint64_t two_back = 0;
    std::uint64_t one_back_0 = 0;
    std::uint64_t one_back_1 = 0;
    const std::size_t n = s.line.size();
    // A literal of one or two bytes may begin at either of the last two places.
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

#if defined(HUECAST_PREFILTER_X86)

// The SIMD scans: the block scan of prefilter_block_scan.h over 128-bit vectors (SSSE3) and
// over 256-bit ones (AVX2), each compiled for its own instructions alone, chosen at run time.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("ssse3"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("ssse3")
#endif

namespace ssse3 {

struct vector {
    using type = __m128i;
    // A nibble set of the prefilter's tables, each 16-entry lookup in every 16 lanes.
    struct tables {
        type nibble[2 * prefilter_tables::checked_units];
        const type& operator[](std::size_t j) const { return nibble[j]; }
    };
    static constexpr std::size_t lanes = 16;
    using mask = std::uint32_t;
    static constexpr int lane_bits = 1;
    static constexpr mask all_lanes = 0xFFFF;

    static type splat(std::uint8_t byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
    static type both(type a, type b) { return _mm_and_si128(a, b); }
    static type shuffle(type table, type indices) { return _mm_shuffle_epi8(table, indices); }
    // x86 shifts no single bytes: the 16-bit shift carries bits over from the next byte.
    static type high_nibbles(type bytes) { return both(_mm_srli_epi16(bytes, 4), splat(0x0F)); }
    static type load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static std::uint32_t nonzero_lanes(type v) {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128()))) ^ all_lanes;
    }
    static void store(std::uint8_t* lanes_out, type v) { _mm_store_si128(reinterpret_cast<__m128i*>(lanes_out), v); }
    // `now` moved up by `places` bytes, the last bytes of `before` filling the front.
    template <int places>
    static type shifted_in(type now, type before) {
        return _mm_alignr_epi8(now, before, 16 - places);
    }
    // `now` moved down by `places` bytes, `after` filling the end.
    template <int places>
    static type shifted_out(type now, type after) {
        return _mm_alignr_epi8(after, now, places);
    }
    static void load_tables(tables& t, const prefilter_tables::nibble_set& set) {
        for (std::size_t j = 0; j < std::size(t.nibble); ++j) {
            t.nibble[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(set[j].data()));
        }
    }
};

#include "filter/prefilter/prefilter_block_scan.h"

}  // namespace ssse3

void scan_ssse3(prefilter_line_scan& s) { ssse3::scan_blocks<ssse3::vector>(s); }

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(HUECAST_PREFILTER_AVX2)

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace avx2 {

struct vector {
    using type = __m256i;
    // A nibble set of the prefilter's tables, each 16-entry lookup in every 16 lanes.
    struct tables {
        type nibble[2 * prefilter_tables::checked_units];
        const type& operator[](std::size_t j) const { return nibble[j]; }
    };
    static constexpr std::size_t lanes = 32;
    using mask = std::uint32_t;
    static constexpr int lane_bits = 1;
    static constexpr mask all_lanes = 0xFFFFFFFF;

    static type splat(std::uint8_t byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
    static type both(type a, type b) { return _mm256_and_si256(a, b); }
    static type shuffle(type table, type indices) { return _mm256_shuffle_epi8(table, indices); }
    static type high_nibbles(type bytes) { return both(_mm256_srli_epi16(bytes, 4), splat(0x0F)); }
    static type load(const char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static std::uint32_t nonzero_lanes(type v) {
        return ~static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_setzero_si256())));
    }
    static void store(std::uint8_t* lanes_out, type v) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes_out), v);
    }
    // Across the whole vector: the byte shift works within each half, so the half that
    // crosses over is put beside it first.
    template <int places>
    static type shifted_in(type now, type before) {
        return _mm256_alignr_epi8(now, _mm256_permute2x128_si256(before, now, 0x21), 16 - places);
    }
    template <int places>
    static type shifted_out(type now, type after) {
        return _mm256_alignr_epi8(_mm256_permute2x128_si256(now, after, 0x21), now, places);
    }
    // The same 16-entry lookups in both halves.
    static void load_tables(tables& t, const prefilter_tables::nibble_set& set) {
        for (std::size_t j = 0; j < std::size(t.nibble); ++j) {
            t.nibble[j] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(set[j].data())));
        }
    }
};

#include "filter/prefilter/prefilter_block_scan.h"

}  // namespace avx2

void scan_avx2(prefilter_line_scan& s) { avx2::scan_blocks<avx2::vector>(s); }

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif

#endif

#if defined(HUECAST_PREFILTER_NEON)

// The block scan over 128-bit NEON vectors, which every aarch64 processor has.
namespace neon {

struct vector {
    using type = uint8x16_t;
    struct tables {
        type nibble[2 * prefilter_tables::checked_units];
        const type& operator[](std::size_t j) const { return nibble[j]; }
    };
    static constexpr std::size_t lanes = 16;
    // NEON has no byte movemask; narrowing each 16-bit pair by 4 bits keeps a nibble of
    // each byte's compare in one 64-bit word, the cheapest mask to get out of a vector.
    using mask = std::uint64_t;
    static constexpr int lane_bits = 4;
    static constexpr mask all_lanes = 0x1111111111111111;

    static type splat(std::uint8_t byte) { return vdupq_n_u8(byte); }
    static type both(type a, type b) { return vandq_u8(a, b); }
    static type shuffle(type table, type indices) { return vqtbl1q_u8(table, indices); }
    static type high_nibbles(type bytes) { return vshrq_n_u8(bytes, 4); }
    static type load(const char* p) { return vld1q_u8(reinterpret_cast<const std::uint8_t*>(p)); }
    static mask nonzero_lanes(type v) {
        const uint8x8_t nibbles = vshrn_n_u16(vreinterpretq_u16_u8(vtstq_u8(v, v)), 4);
        return vget_lane_u64(vreinterpret_u64_u8(nibbles), 0);
    }
    static void store(std::uint8_t* lanes_out, type v) { vst1q_u8(lanes_out, v); }
    // `now` moved up by `places` bytes, the last bytes of `before` filling the front.
    template <int places>
    static type shifted_in(type now, type before) {
        return vextq_u8(before, now, 16 - places);
    }
    // `now` moved down by `places` bytes, `after` filling the end.
    template <int places>
    static type shifted_out(type now, type after) {
        return vextq_u8(now, after, places);
    }
    static void load_tables(tables& t, const prefilter_tables::nibble_set& set) {
        for (std::size_t j = 0; j < std::size(t.nibble); ++j) t.nibble[j] = vld1q_u8(set[j].data());
    }
};

#include "filter/prefilter/prefilter_block_scan.h"

}  // namespace neon

void scan_neon(prefilter_line_scan& s) { neon::scan_blocks<neon::vector>(s); }

#endif

}  // namespace huecast
