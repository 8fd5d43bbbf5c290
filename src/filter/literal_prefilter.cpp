#include "filter/literal_prefilter.h"

#include <algorithm>
#include <bit>
#include <map>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#define HUECAST_PREFILTER_X86 1
#include <immintrin.h>
#define HUECAST_TARGET(features) __attribute__((target(features)))
#endif

// GCC does not keep the stack aligned for 32-byte vectors on Windows (it assumes an
// alignment that the Windows x64 ABI does not give), so a spilled AVX register could fault.
#if defined(HUECAST_PREFILTER_X86) && !defined(_WIN32)
#define HUECAST_PREFILTER_AVX2 1
#endif

namespace huecast {

namespace {

// How the SIMD methods see a unit: _mm_packus_epi16 reads it as signed and saturates, so a
// unit below U+0100 keeps its value, one below U+8000 becomes 0xFF and any other 0.
constexpr std::uint8_t packed_unit(char16_t c) {
    return c < 0x100 ? static_cast<std::uint8_t>(c) : c < 0x8000 ? 0xFF : 0x00;
}

// Every equivalent packs to a byte with its high bit set, so a block that holds one shows it.
constexpr bool equivalents_pack_high() {
    for (const ascii_case_equivalent& e : ascii_case_equivalents) {
        if (packed_unit(e.unit) < 0x80) return false;
    }
    return true;
}
static_assert(equivalents_pack_high());

// Verification compares each unit with one equivalent at most.
constexpr bool one_equivalent_each() {
    for (const ascii_case_equivalent& a : ascii_case_equivalents) {
        for (const ascii_case_equivalent& b : ascii_case_equivalents) {
            if (&a != &b && a.letter == b.letter) return false;
        }
    }
    return true;
}
static_assert(one_equivalent_each());

}  // namespace

// One scan of one line: what is found so far, and which buckets still have a literal of a
// filter not yet let through.
struct literal_prefilter::scan_state {
    const literal_prefilter& filter;
    std::u16string_view line;
    char* may_match;
    std::uint8_t live;

    bool pending(const literal& l) const {
        for (std::uint32_t k = 0; k < l.filter_count; ++k) {
            if (may_match[filter.literal_filters_[l.filters + k]] == 0) return true;
        }
        return false;
    }

    bool occurs_at(const literal& l, std::size_t start) const {
        if (start >= line.size() || l.length > line.size() - start) return false;
        const char16_t* text = filter.texts_.data() + l.text;
        const char16_t* unit = line.data() + start;
        std::uint32_t k = 0;
#if defined(__SSE2__)
        // The head in one comparison: a loop that stops at the first difference costs a
        // mispredicted branch on most candidates.
        if (line.size() - start >= head_units) {
            const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(unit));
            const __m128i upper = _mm_cmpeq_epi16(
                _mm_subs_epu16(_mm_sub_epi16(u, _mm_set1_epi16(u'A')), _mm_set1_epi16(u'Z' - u'A')),
                _mm_setzero_si128());
            const __m128i lower = _mm_add_epi16(u, _mm_and_si128(upper, _mm_set1_epi16(0x20)));
            const __m128i same = _mm_or_si128(
                _mm_cmpeq_epi16(lower, _mm_load_si128(reinterpret_cast<const __m128i*>(l.head.data()))),
                _mm_cmpeq_epi16(u, _mm_load_si128(reinterpret_cast<const __m128i*>(l.head_equivalent.data()))));
            const unsigned wanted = l.length >= head_units ? 0xFFFF : (1u << (2 * l.length)) - 1;
            if ((static_cast<unsigned>(_mm_movemask_epi8(same)) & wanted) != wanted) return false;
            k = head_units;
        }
#endif
        for (; k < l.length; ++k) {
            if (folded_unit(unit[k]) != text[k]) return false;
        }
        return true;
    }

    // A bucket stops taking part once every filter with a literal in it is let through.
    void let_through(std::uint32_t f) {
        may_match[f] = 1;
        unsigned affected = filter.buckets_of_filter_[f] & live;
        while (affected != 0) {
            const int b = std::countr_zero(affected);
            affected &= affected - 1;
            const std::uint32_t* first = filter.bucket_filters_.data() + filter.bucket_filter_begin_[b];
            const std::uint32_t* last = filter.bucket_filters_.data() + filter.bucket_filter_begin_[b + 1];
            if (std::all_of(first, last, [&](std::uint32_t other) { return may_match[other] != 0; })) {
                live = static_cast<std::uint8_t>(live & ~(1u << b));
            }
        }
    }

    // The literals of the buckets in `candidates` that may begin at `start`.
    void verify(std::size_t start, unsigned candidates) {
        candidates &= live;
        while (candidates != 0) {
            const int b = std::countr_zero(candidates);
            candidates &= candidates - 1;
            for (std::uint32_t l = filter.bucket_literals_[b]; l < filter.bucket_literals_[b + 1]; ++l) {
                const literal& lit = filter.literals_[l];
                if (!pending(lit) || !occurs_at(lit, start)) continue;
                for (std::uint32_t k = 0; k < lit.filter_count; ++k) {
                    const std::uint32_t f = filter.literal_filters_[lit.filters + k];
                    if (may_match[f] == 0) let_through(f);
                }
            }
        }
    }

    // The buckets whose literals may begin at `start`, from the unit tables.
    unsigned candidates_at(std::size_t start) const {
        const auto unit = [this](std::size_t k) { return k < line.size() ? folded_unit(line[k]) : past_end; };
        return filter.unit_table_[0][unit(start)] & filter.unit_table_[1][unit(start + 1)] &
               filter.unit_table_[2][unit(start + 2)];
    }

    // The last two places, where only literals of one or two units fit.
    void scan_last_two() {
        for (std::size_t start = line.size() < 2 ? 0 : line.size() - 2; start < line.size() && live != 0; ++start) {
            const unsigned candidates = candidates_at(start) & live;
            if (candidates != 0) verify(start, candidates);
        }
    }

    void scan_portable();
#if defined(HUECAST_PREFILTER_X86)
    HUECAST_TARGET("ssse3") void scan_ssse3();
    HUECAST_TARGET("ssse3") bool report_16(__m128i candidates, std::size_t base, unsigned lanes_wanted);
#endif
#if defined(HUECAST_PREFILTER_AVX2)
    HUECAST_TARGET("avx2") void scan_avx2();
    HUECAST_TARGET("avx2") bool report_32(__m256i candidates, std::size_t base, std::uint32_t lanes_wanted);
#endif
};

literal_prefilter::literal_prefilter(const std::vector<required_literals>& filters)
    : literal_prefilter(filters, fastest()) {}

literal_prefilter::literal_prefilter(const std::vector<required_literals>& filters, scan_method method)
    : buckets_of_filter_(filters.size(), 0), always_(filters.size(), 0), method_(method) {
    if (!supported(method)) throw std::invalid_argument("scan method not supported by this processor");

    // Each distinct literal once, with the filters it lets through.
    std::map<std::u16string, std::vector<std::uint32_t>> users;
    for (std::size_t f = 0; f < filters.size(); ++f) {
        const auto& any_of = filters[f].any_of;
        const bool known = !any_of.empty() && std::none_of(any_of.begin(), any_of.end(),
                                                           [](const std::u16string& t) { return t.empty(); });
        if (!known) {
            always_[f] = 1;
            continue;
        }
        for (const std::u16string& text : any_of) {
            auto& u = users[text];
            if (u.empty() || u.back() != f) u.push_back(static_cast<std::uint32_t>(f));
        }
    }

    // Literals that share a bucket should look alike where the tables check them: short
    // ones (which pass anything past their end) go together, the rest by their start. The
    // map gives them sorted by text.
    std::vector<const std::pair<const std::u16string, std::vector<std::uint32_t>>*> order;
    for (const auto& entry : users) order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        return std::min(a->first.size(), checked_units) < std::min(b->first.size(), checked_units);
    });

    std::array<std::vector<std::uint32_t>, buckets> filters_in_bucket;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto& [text, literal_users] = *order[k];
        const std::size_t b = k * buckets / order.size();
        const auto bit = static_cast<std::uint8_t>(1u << b);
        literal& added = literals_.emplace_back();
        added.text = static_cast<std::uint32_t>(texts_.size());
        added.length = static_cast<std::uint32_t>(text.size());
        added.filters = static_cast<std::uint32_t>(literal_filters_.size());
        added.filter_count = static_cast<std::uint32_t>(literal_users.size());
        for (std::size_t k = 0; k < std::min(text.size(), head_units); ++k) {
            added.head[k] = text[k];
            added.head_equivalent[k] = text[k];
            for (const ascii_case_equivalent& e : ascii_case_equivalents) {
                if (e.letter == text[k]) added.head_equivalent[k] = e.unit;
            }
        }
        texts_ += text;
        literal_filters_.insert(literal_filters_.end(), literal_users.begin(), literal_users.end());
        bucket_literals_[b + 1] = static_cast<std::uint32_t>(literals_.size());
        used_buckets_ = static_cast<std::uint8_t>(used_buckets_ | bit);
        for (const std::uint32_t f : literal_users) {
            buckets_of_filter_[f] = static_cast<std::uint8_t>(buckets_of_filter_[f] | bit);
            auto& in = filters_in_bucket[b];
            if (std::find(in.begin(), in.end(), f) == in.end()) in.push_back(f);
        }

        for (std::size_t j = 0; j < checked_units; ++j) {
            if (j >= text.size()) {
                for (auto& entry : unit_table_[j]) entry |= bit;
                for (auto& set : nibble_tables_) {
                    for (auto& entry : set[j]) entry |= bit;
                    for (auto& entry : set[j + checked_units]) entry |= bit;
                }
                continue;
            }
            const char16_t c = text[j];
            unit_table_[j][c] |= bit;
            // Every unit of a line that folds to c, as the SIMD methods see it.
            std::vector<char16_t> units = {c};
            if (c >= u'a' && c <= u'z') units.push_back(static_cast<char16_t>(c - 0x20));
            const std::size_t ascii_units = units.size();
            for (const ascii_case_equivalent& e : ascii_case_equivalents) {
                if (e.letter == c) units.push_back(e.unit);
            }
            for (std::size_t set = 0; set < nibble_tables_.size(); ++set) {
                for (std::size_t k = 0; k < (set == 0 ? ascii_units : units.size()); ++k) {
                    nibble_tables_[set][j][packed_unit(units[k]) & 0x0F] |= bit;
                    nibble_tables_[set][j + checked_units][packed_unit(units[k]) >> 4] |= bit;
                }
            }
        }
    }
    // A bucket left empty begins where the one before it ends.
    for (std::size_t b = 1; b <= buckets; ++b) {
        bucket_literals_[b] = std::max(bucket_literals_[b], bucket_literals_[b - 1]);
    }
    for (std::size_t b = 0; b < buckets; ++b) {
        bucket_filters_.insert(bucket_filters_.end(), filters_in_bucket[b].begin(), filters_in_bucket[b].end());
        bucket_filter_begin_[b + 1] = static_cast<std::uint32_t>(bucket_filters_.size());
    }
}

bool literal_prefilter::supported(scan_method method) {
    switch (method) {
        case scan_method::portable:
            return true;
        case scan_method::ssse3:
#if defined(HUECAST_PREFILTER_X86)
            __builtin_cpu_init();
            return __builtin_cpu_supports("ssse3");
#else
            return false;
#endif
        case scan_method::avx2:
#if defined(HUECAST_PREFILTER_AVX2)
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
#else
            return false;
#endif
    }
    return false;
}

scan_method literal_prefilter::fastest() {
    for (const scan_method m : {scan_method::avx2, scan_method::ssse3}) {
        if (supported(m)) return m;
    }
    return scan_method::portable;
}

void literal_prefilter::scan(std::u16string_view line, std::vector<char>& may_match) const {
    may_match.assign(always_.begin(), always_.end());
    if (used_buckets_ == 0) return;
    scan_state state{*this, line, may_match.data(), used_buckets_};
    // A SIMD method needs a line of one block and two units more; a line too short for the
    // method falls to the next one down.
#if defined(HUECAST_PREFILTER_AVX2)
    if (method_ == scan_method::avx2 && line.size() >= 32 + 2) {
        state.scan_avx2();
        return;
    }
#endif
#if defined(HUECAST_PREFILTER_X86)
    if (method_ != scan_method::portable && line.size() >= 16 + 2) {
        state.scan_ssse3();
        return;
    }
#endif
    state.scan_portable();
}

// The reference method: each place of the line is looked up in the unit tables, and a
// literal may begin where the three places from there all allow one of its bucket.
void literal_prefilter::scan_state::scan_portable() {
    const auto& t0 = filter.unit_table_[0];
    const auto& t1 = filter.unit_table_[1];
    const auto& t2 = filter.unit_table_[2];
    // Bucket bits two places back (first table) and one place back (first and second).
    std::uint8_t two_back = 0;
    std::uint8_t one_back_0 = 0;
    std::uint8_t one_back_1 = 0;
    const std::size_t n = line.size();
    // A literal of one or two units may begin at either of the last two places.
    for (std::size_t end = 0; end < n + 2; ++end) {
        const std::size_t x = end < n ? folded_unit(line[end]) : past_end;
        const unsigned candidates = two_back & one_back_1 & t2[x] & live;
        two_back = one_back_0;
        one_back_0 = t0[x];
        one_back_1 = t1[x];
        if (candidates == 0) continue;
        verify(end - 2, candidates);
        if (live == 0) return;
    }
}

#if defined(HUECAST_PREFILTER_X86)

// The SIMD methods (Teddy): a block of units is packed to bytes; for each byte, two 16-entry
// lookups (low and high nibble) give the buckets whose literals may have it at each of the
// first three places; the places are lined up by shifting in the lookups of the block before,
// and a literal of a bucket may begin where all three agree. The end of a line is read as one
// block more that overlaps the one before, each place from its own units, so nothing is read
// past the end; the last two places are left to the unit tables.

namespace {

HUECAST_TARGET("ssse3") inline __m128i packed_16(const char16_t* p) {
    return _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)));
}

// The buckets that allow each byte of `bytes` at place j.
HUECAST_TARGET("ssse3") inline __m128i lookup_16(__m128i bytes, const __m128i (&t)[6], int j) {
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i low = _mm_and_si128(bytes, nibble);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble);
    return _mm_and_si128(_mm_shuffle_epi8(t[j], low), _mm_shuffle_epi8(t[j + 3], high));
}

}  // namespace

// The lanes of `c` set in `lanes_wanted`: lane k is the end of a three-unit window that begins at base + k - 2.
bool literal_prefilter::scan_state::report_16(__m128i c, std::size_t base, unsigned lanes_wanted) {
    unsigned found = (static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(c, _mm_setzero_si128()))) ^ 0xFFFF) &
                     lanes_wanted;
    if (found == 0) return true;
    alignas(16) std::uint8_t lanes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), c);
    while (found != 0) {
        const int lane = std::countr_zero(found);
        found &= found - 1;
        verify(base + static_cast<std::size_t>(lane) - 2, lanes[lane]);
    }
    return live != 0;
}

void literal_prefilter::scan_state::scan_ssse3() {
    const std::size_t n = line.size();
    const char16_t* const units = line.data();
    __m128i t[6];
    bool outside_ascii = false;
    const auto load_tables = [&](bool set) HUECAST_TARGET("ssse3") {
        for (std::size_t j = 0; j < 2 * checked_units; ++j) {
            t[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(filter.nibble_tables_[set][j].data()));
        }
    };
    load_tables(false);
    __m128i previous_0 = _mm_setzero_si128();
    __m128i previous_1 = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = packed_16(units + i);
        if (!outside_ascii && _mm_movemask_epi8(bytes) != 0) {
            outside_ascii = true;
            load_tables(true);
        }
        const __m128i r0 = lookup_16(bytes, t, 0);
        const __m128i r1 = lookup_16(bytes, t, 1);
        const __m128i r2 = lookup_16(bytes, t, 2);
        const __m128i c = _mm_and_si128(
            _mm_and_si128(_mm_alignr_epi8(r0, previous_0, 14), _mm_alignr_epi8(r1, previous_1, 15)),
            _mm_and_si128(r2, _mm_set1_epi8(static_cast<char>(live))));
        previous_0 = r0;
        previous_1 = r1;
        if (!report_16(c, i, 0xFFFF)) return;
    }
    if (i < n) {
        const std::size_t o = n - 16;
        const __m128i b0 = packed_16(units + o - 2);
        const __m128i b1 = packed_16(units + o - 1);
        const __m128i b2 = packed_16(units + o);
        if (!outside_ascii && _mm_movemask_epi8(_mm_or_si128(b0, b2)) != 0) load_tables(true);
        const __m128i c = _mm_and_si128(_mm_and_si128(lookup_16(b0, t, 0), lookup_16(b1, t, 1)),
                                        _mm_and_si128(lookup_16(b2, t, 2), _mm_set1_epi8(static_cast<char>(live))));
        if (!report_16(c, o, 0xFFFFu << (i - o) & 0xFFFF)) return;
    }
    scan_last_two();
}

#endif

#if defined(HUECAST_PREFILTER_AVX2)

namespace {

HUECAST_TARGET("avx2") inline __m256i packed_32(const char16_t* p) {
    // Packing works within each 16-byte half; the permutation puts the quarters in order.
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                                                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 16))),
                                    0xD8);
}

HUECAST_TARGET("avx2") inline __m256i lookup_32(__m256i bytes, const __m256i (&t)[6], int j) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i low = _mm256_and_si256(bytes, nibble);
    const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
    return _mm256_and_si256(_mm256_shuffle_epi8(t[j], low), _mm256_shuffle_epi8(t[j + 3], high));
}

// `now` moved up by `places` bytes across the whole vector, the last bytes of `before`
// filling the front.
template <int places>
HUECAST_TARGET("avx2") inline __m256i shifted_in(__m256i now, __m256i before) {
    return _mm256_alignr_epi8(now, _mm256_permute2x128_si256(before, now, 0x21), 16 - places);
}

}  // namespace

bool literal_prefilter::scan_state::report_32(__m256i c, std::size_t base, std::uint32_t lanes_wanted) {
    std::uint32_t found =
        ~static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(c, _mm256_setzero_si256()))) & lanes_wanted;
    if (found == 0) return true;
    alignas(32) std::uint8_t lanes[32];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), c);
    while (found != 0) {
        const int lane = std::countr_zero(found);
        found &= found - 1;
        verify(base + static_cast<std::size_t>(lane) - 2, lanes[lane]);
    }
    return live != 0;
}

void literal_prefilter::scan_state::scan_avx2() {
    const std::size_t n = line.size();
    const char16_t* const units = line.data();
    __m256i t[6];
    bool outside_ascii = false;
    const auto load_tables = [&](bool set) HUECAST_TARGET("avx2") {
        for (std::size_t j = 0; j < 2 * checked_units; ++j) {
            t[j] = _mm256_broadcastsi128_si256(
                _mm_load_si128(reinterpret_cast<const __m128i*>(filter.nibble_tables_[set][j].data())));
        }
    };
    load_tables(false);
    __m256i previous_0 = _mm256_setzero_si256();
    __m256i previous_1 = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i bytes = packed_32(units + i);
        if (!outside_ascii && _mm256_movemask_epi8(bytes) != 0) {
            outside_ascii = true;
            load_tables(true);
        }
        const __m256i r0 = lookup_32(bytes, t, 0);
        const __m256i r1 = lookup_32(bytes, t, 1);
        const __m256i r2 = lookup_32(bytes, t, 2);
        const __m256i c =
            _mm256_and_si256(_mm256_and_si256(shifted_in<2>(r0, previous_0), shifted_in<1>(r1, previous_1)),
                             _mm256_and_si256(r2, _mm256_set1_epi8(static_cast<char>(live))));
        previous_0 = r0;
        previous_1 = r1;
        if (!report_32(c, i, 0xFFFFFFFFu)) return;
    }
    if (i < n) {
        const std::size_t o = n - 32;
        const __m256i b0 = packed_32(units + o - 2);
        const __m256i b1 = packed_32(units + o - 1);
        const __m256i b2 = packed_32(units + o);
        if (!outside_ascii && _mm256_movemask_epi8(_mm256_or_si256(b0, b2)) != 0) load_tables(true);
        const __m256i c =
            _mm256_and_si256(_mm256_and_si256(lookup_32(b0, t, 0), lookup_32(b1, t, 1)),
                             _mm256_and_si256(lookup_32(b2, t, 2), _mm256_set1_epi8(static_cast<char>(live))));
        if (!report_32(c, o, 0xFFFFFFFFu << (i - o))) return;
    }
    scan_last_two();
}

#endif

}  // namespace huecast
